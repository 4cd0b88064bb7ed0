// The dialog framework with small dialogs of the test's own.
#include "base/String.h"
#include "driver/AppProcess.h"
#include "driver/Wait.h"
#include "test_dialogs.h"
#include "ui/Dialog.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <functional>
#include <new>
#include <string>
#include <thread>

namespace {

// Runs a check inside the dialog's own initialisation, then ends it.
class ProbeDialog : public Dialog {
public:
    ProbeDialog(WORD id, HWND ownerWindow, std::function<void(ProbeDialog&)> initCheck)
        : Dialog(id, ownerWindow), check(std::move(initCheck)) {}

    bool onInitDialog() override {
        const bool result = Dialog::onInitDialog();
        check(*this);
        EndDialog(hwnd, 7);
        return result;
    }
    bool onCommand(WPARAM wParam, LPARAM lParam) override {
        commands.push_back(wParam);
        return Dialog::onCommand(wParam, lParam);
    }

    std::vector<WPARAM> commands;
    RECT rect() const {
        RECT r{};
        GetWindowRect(hwnd, &r);
        return r;
    }

private:
    std::function<void(ProbeDialog&)> check;
};

// Running out of memory in a handler ends that operation, not the program.
class ThrowingDialog : public Dialog {
public:
    ThrowingDialog() : Dialog(IDD_TEST_EDIT, nullptr) {}
    bool onInitDialog() override {
        PostMessageA(hwnd, WM_COMMAND, commandThatThrows, 0);
        return Dialog::onInitDialog();
    }
    bool onCommand(WPARAM wParam, LPARAM lParam) override {
        if (wParam == commandThatThrows) {
            PostMessageA(hwnd, WM_COMMAND, IDOK, 0);
            throw std::bad_alloc();
        }
        return Dialog::onCommand(wParam, lParam);
    }
    static constexpr WPARAM commandThatThrows = 4711;
};

TEST(Dialog, OutOfMemoryInAHandlerIsToldAndTheDialogGoesOn) {
    ThrowingDialog dialog;
    std::string told;
    std::thread closer([&] {
        if (HWND box = waitForBoxOf(GetCurrentProcessId(), 10000)) {
            told = boxText(box);
            PostMessageA(box, WM_COMMAND, IDOK, 0);
        }
    });
    EXPECT_EQ(dialog.run(), IDOK) << "it went on to handle what came next";
    closer.join();
    EXPECT_FALSE(told.empty()) << "the user was told";
}

TEST(Dialog, RunReturnsTheEndValueOrMinusOne) {
    ProbeDialog dialog(IDD_TEST_EDIT, nullptr, [](ProbeDialog&) {});
    EXPECT_EQ(dialog.run(), 7);
    ProbeDialog missing(4321, nullptr, [](ProbeDialog&) { ADD_FAILURE() << "no window, no calls"; });
    EXPECT_EQ(missing.run(), -1);
}

TEST(Dialog, WithoutOwnerCentresInTheWorkArea) {
    RECT work{};
    SystemParametersInfoA(SPI_GETWORKAREA, 0, &work, 0);
    ProbeDialog dialog(IDD_TEST_EDIT, nullptr, [&](ProbeDialog& d) {
        RECT r = d.rect();
        EXPECT_EQ(r.left, (work.left + work.right - (r.right - r.left)) / 2);
        EXPECT_EQ(r.top, (work.top + work.bottom - (r.bottom - r.top)) / 2);
    });
    dialog.run();
}

TEST(Dialog, WithOwnerCentresOverItEvenOffScreen) {
    // An owner narrower than the dialog at the screen's left edge: the dialog
    // sticks out to the left, with no clamping.
    HWND owner = CreateWindowA("STATIC", "owner", WS_POPUP | WS_VISIBLE, 0, 100, 60, 40, nullptr, nullptr,
                               nullptr, nullptr);
    ASSERT_NE(owner, nullptr);
    ProbeDialog dialog(IDD_TEST_WIDE, owner, [&](ProbeDialog& d) {
        RECT r = d.rect();
        const int width = r.right - r.left;
        const int height = r.bottom - r.top;
        ASSERT_GT(width, 60);
        EXPECT_EQ(r.left, (0 + 60 - width) / 2);
        EXPECT_LT(r.left, 0);
        EXPECT_EQ(r.top, (100 + 140 - height) / 2);
    });
    dialog.run();
    DestroyWindow(owner);
}

TEST(Dialog, MovesWhereTheSystemSuggestsWhenTheScaleChanges) {
    // What Windows sends a per-monitor dialog dragged onto a 150% monitor.
    ProbeDialog dialog(IDD_TEST_EDIT, nullptr, [&](ProbeDialog& d) {
        const RECT before = d.rect();
        RECT suggested{before.left + 300, before.top + 40, 0, 0};
        suggested.right = suggested.left + (before.right - before.left) * 3 / 2;
        suggested.bottom = suggested.top + (before.bottom - before.top) * 3 / 2;
        SendMessageA(d.window(), WM_DPICHANGED, MAKEWPARAM(144, 144), reinterpret_cast<LPARAM>(&suggested));
        const RECT after = d.rect();
        EXPECT_EQ(after.left, suggested.left);
        EXPECT_EQ(after.top, suggested.top);
        EXPECT_EQ(after.right, suggested.right);
        EXPECT_EQ(after.bottom, suggested.bottom);
    });
    dialog.run();
}

TEST(Dialog, NotificationsNeverMatchACommand) {
    ProbeDialog dialog(IDD_TEST_EDIT, nullptr, [](ProbeDialog& d) {
        HWND edit = GetDlgItem(d.window(), IDC_TEST_EDIT);
        SendMessageA(edit, WM_CHAR, 'x', 0);
        EXPECT_EQ(GetWindowTextLengthA(edit), 1);
    });
    dialog.run();
    ASSERT_FALSE(dialog.commands.empty()) << "typing notifies the dialog";
    for (WPARAM command : dialog.commands) {
        EXPECT_NE(command, static_cast<WPARAM>(IDC_TEST_EDIT));
        EXPECT_EQ(LOWORD(command), IDC_TEST_EDIT);
    }
    EXPECT_NE(std::find(dialog.commands.begin(), dialog.commands.end(), MAKEWPARAM(IDC_TEST_EDIT, EN_CHANGE)),
              dialog.commands.end());
}

TEST(Dialog, ItemTextIsCutAt254Characters) {
    String text;
    ProbeDialog dialog(IDD_TEST_EDIT, nullptr, [&](ProbeDialog& d) {
        SetDlgItemTextA(d.window(), IDC_TEST_EDIT, std::string(300, 'a').c_str());
        d.getItemText(IDC_TEST_EDIT, text);
    });
    dialog.run();
    EXPECT_EQ(std::string(text.text()), std::string(254, 'a'));
}

// The object's own handlers run for keys and buttons, and the window goes away.
TEST(Dialog, OkAndCancelEndTheDialog) {
    struct Ending : Dialog {
        Ending() : Dialog(IDD_TEST_EDIT, nullptr) {}
        bool onInitDialog() override {
            PostMessageA(hwnd, WM_KEYDOWN, key, 0);
            return Dialog::onInitDialog();
        }
        void onDestroy() override { destroyed = true; }
        WPARAM key = VK_ESCAPE;
        bool destroyed = false;
    } dialog;
    EXPECT_EQ(dialog.run(), IDCANCEL);
    EXPECT_TRUE(dialog.destroyed);
    dialog.key = VK_RETURN;
    EXPECT_EQ(dialog.run(), IDOK);
}

}  // namespace
