// The hourglass guard, and message boxes showing the arrow over it.
#include "driver/AppProcess.h"
#include "driver/Wait.h"
#include "test_dialogs.h"
#include "ui/MessageBoxes.h"
#include "ui/WaitCursor.h"

#include <gtest/gtest.h>

#include <atomic>
#include <thread>

namespace {

HCURSOR systemCursor(const char* id) {
    return LoadCursorA(nullptr, id);
}

TEST(WaitCursor, EachGuardPutsBackTheCursorItFound) {
    SetCursor(systemCursor(IDC_ARROW));
    {
        WaitCursor outer;
        EXPECT_EQ(GetCursor(), systemCursor(IDC_WAIT));
        {
            WaitCursor inner;
            EXPECT_EQ(GetCursor(), systemCursor(IDC_WAIT));
        }
        EXPECT_EQ(GetCursor(), systemCursor(IDC_WAIT)) << "the inner guard ends inside the outer one";
    }
    EXPECT_EQ(GetCursor(), systemCursor(IDC_ARROW));
}

// Answers the product-titled box of this process with OK, from another thread.
class BoxCloser {
public:
    BoxCloser()
        : thread([this] {
              waitUntil(
                  [this] {
                      HWND box = findWindowOf(GetCurrentProcessId(), "#32770", "Tolvaran");
                      if (box) {
                          char text[256] = {};
                          GetDlgItemTextA(box, 0xFFFF, text, sizeof text);
                          shownText = text;
                          PostMessageA(box, WM_COMMAND, IDOK, 0);
                      }
                      return box != nullptr;
                  },
                  10000);
          }) {}
    ~BoxCloser() { join(); }
    // What the box said; read after join().
    const std::string& join() {
        if (thread.joinable())
            thread.join();
        return shownText;
    }

private:
    std::string shownText;
    std::thread thread;
};

TEST(MessageBoxes, ShowTheStringTableTextWithTheArrowOverAWaitCursor) {
    WaitCursor outer;
    WaitCursor inner;
    BoxCloser closer;
    EXPECT_EQ(showMessage(IDS_TEST_TEXT, MB_OK, nullptr), IDOK);
    EXPECT_EQ(closer.join(), "Test message");
    EXPECT_EQ(GetCursor(), systemCursor(IDC_ARROW));
}

TEST(MessageBoxes, SystemErrorsShowTheSystemsTextOrTheNumber) {
    {
        BoxCloser closer;
        showSystemError(ERROR_NOT_ENOUGH_MEMORY, MB_ICONHAND);
        EXPECT_FALSE(closer.join().empty());
    }
    BoxCloser closer;
    showSystemError(0x7FFFFFF0, MB_ICONHAND);
    EXPECT_EQ(closer.join(), "System error 2147483632.");
}

}  // namespace
