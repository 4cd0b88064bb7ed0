// The hot key through the real program: what its properties window shows and
// keeps, seen from the combinations this test can or cannot take itself.
// Pressing them is hotkey_e2e.sh's part.
#include "base/HotKey.h"
#include "driver/AppProcess.h"
#include "driver/AppState.h"
#include "driver/Wait.h"
#include "res/resource.h"
#include "tray/HotKeySetting.h"

#include <gtest/gtest.h>

#include <windows.h>
#include <commctrl.h>

#include <string>

namespace {

using HK = HotKeySetting;

const UINT propertiesCommand = 40001;
const char programKey[] = "Software\\Quilnor\\Tolvaran";

std::wstring controlText(HWND dialog, int id) {
    wchar_t text[512] = {};
    GetDlgItemTextW(dialog, id, text, 512);
    return text;
}

// The English text of a string of the program's resources, which this test carries too.
std::wstring resourceText(int id) {
    wchar_t text[512] = {};
    LoadStringW(GetModuleHandleW(nullptr), static_cast<UINT>(id), text, 512);
    return text;
}

struct BalloonSearch {
    std::wstring text;
    int found = 0;
};

// Counts the shown notification balloons (the shell's balloon tooltips) with that text.
BOOL CALLBACK countBalloon(HWND window, LPARAM param) {
    auto* search = reinterpret_cast<BalloonSearch*>(param);
    char className[64] = {};
    GetClassNameA(window, className, sizeof className);
    if (lstrcmpiA(className, TOOLTIPS_CLASSA) != 0 || !IsWindowVisible(window) ||
        !(GetWindowLongA(window, GWL_STYLE) & TTS_BALLOON))
        return TRUE;
    wchar_t text[600] = {};
    DWORD_PTR length = 0;
    if (SendMessageTimeoutW(window, WM_GETTEXT, 600, reinterpret_cast<LPARAM>(text), SMTO_NORMAL, 2000, &length) &&
        search->text == text)
        ++search->found;
    return TRUE;
}

int balloonsShowing(const std::wstring& text) {
    BalloonSearch search{text};
    EnumWindows(countBalloon, reinterpret_cast<LPARAM>(&search));
    return search.found;
}

bool keptValue(DWORD& value) {
    DWORD size = sizeof value;
    return RegGetValueA(HKEY_CURRENT_USER, programKey, "HotKey", RRF_RT_REG_DWORD, nullptr, &value, &size) ==
           ERROR_SUCCESS;
}

class HotKeyTest : public ::testing::Test {
protected:
    void SetUp() override {
        forgetSavedState();
        own = CreateWindowA("STATIC", "", 0, 0, 0, 0, 0, HWND_MESSAGE, nullptr, nullptr, nullptr);
        ASSERT_NE(own, nullptr);
    }
    void TearDown() override {
        app.stop();
        taken.clear();
        DestroyWindow(own);
    }

    // Started up and through everything it queued at start, hidden.
    void start() {
        ASSERT_TRUE(app.start());
        ASSERT_NE(app.waitForMainWindow(), nullptr);
        ASSERT_TRUE(waitUntil([this] { return !IsWindowVisible(app.mainWindow()); }));
        ASSERT_TRUE(app.flush());
    }
    void showProperties() {
        PostMessageA(app.mainWindow(), WM_COMMAND, propertiesCommand, 0);
        ASSERT_TRUE(waitUntil([this] { return IsWindowVisible(app.mainWindow()) != FALSE; }));
        ASSERT_TRUE(app.flush());
    }
    // What the field and its Win box show.
    HK shown() {
        const auto field =
            static_cast<unsigned>(SendDlgItemMessageA(app.mainWindow(), IDC_HOTKEY, HKM_GETHOTKEY, 0, 0));
        return HK::fromField(field & 0xFFFF, IsDlgButtonChecked(app.mainWindow(), IDC_HOTKEY_WIN) == BST_CHECKED);
    }
    // Sets the field and the box as the user would, then OK; true when the window went.
    bool choose(unsigned fieldValue, bool win) {
        SendDlgItemMessageA(app.mainWindow(), IDC_HOTKEY, HKM_SETHOTKEY, fieldValue, 0);
        CheckDlgButton(app.mainWindow(), IDC_HOTKEY_WIN, win ? BST_CHECKED : BST_UNCHECKED);
        PostMessageA(app.mainWindow(), WM_COMMAND, IDOK, 0);
        return app.flush() && !IsWindowVisible(app.mainWindow());
    }
    // Whether this test can take the combination, which the program then does not hold.
    bool canTake(const HK& combination) {
        return taken.set(own, 1, combination.modifiers, combination.key) == ERROR_SUCCESS;
    }

    HWND own = nullptr;
    HotKey taken;
    AppProcess app;
};

TEST_F(HotKeyTest, OneHeldElsewhereIsToldInThePropertiesWindowAndAChangedOneIsKeptForTheNextStart) {
    ASSERT_TRUE(canTake(HK::standard()));
    start();
    EXPECT_EQ(waitForBoxOf(app.id(), 0), nullptr) << "no box at start";
    showProperties();
    EXPECT_EQ(controlText(app.mainWindow(), IDC_HOTKEY_STATUS), resourceText(IDS_HOTKEY_TAKEN));
    EXPECT_EQ(shown(), HK::standard());

    // OK with a combination that is still taken keeps the window and says so.
    EXPECT_FALSE(choose(HK::standard().fieldValue(), true));
    EXPECT_EQ(controlText(app.mainWindow(), IDC_HOTKEY_STATUS), resourceText(IDS_HOTKEY_TAKEN));

    const HK chosen{HK::alt | HK::shift, 'K'};
    ASSERT_TRUE(choose((HOTKEYF_ALT | HOTKEYF_SHIFT) << 8 | 'K', false));
    DWORD kept = 0;
    ASSERT_TRUE(keptValue(kept));
    EXPECT_EQ(kept, chosen.stored());

    app.stop();
    taken.clear();
    start();
    EXPECT_TRUE(canTake(HK::standard())) << "the program let the old combination go";
    EXPECT_FALSE(canTake(chosen)) << "the program holds the new one";
    showProperties();
    EXPECT_EQ(shown(), chosen);
    EXPECT_EQ(controlText(app.mainWindow(), IDC_HOTKEY_STATUS), L"");
}

TEST_F(HotKeyTest, ADamagedValueGivesTheStandardOneAndAClearedOneStaysCleared) {
    HKEY key = nullptr;
    ASSERT_EQ(RegCreateKeyExA(HKEY_CURRENT_USER, programKey, 0, nullptr, 0, KEY_SET_VALUE, nullptr, &key, nullptr),
              ERROR_SUCCESS);
    const BYTE damaged[64] = {0x56, 0x09, 0xFF};
    RegSetValueExA(key, "HotKey", 0, REG_BINARY, damaged, sizeof damaged);
    RegCloseKey(key);
    start();
    EXPECT_FALSE(canTake(HK::standard())) << "the program holds the standard combination";
    showProperties();
    EXPECT_EQ(shown(), HK::standard());

    ASSERT_TRUE(choose(0, false));
    EXPECT_TRUE(canTake(HK::standard())) << "a cleared hot key is let go at once";
    taken.clear();
    app.stop();
    start();
    EXPECT_TRUE(canTake(HK::standard())) << "and stays cleared after a restart";
    showProperties();
    EXPECT_TRUE(shown().isNone());
}

TEST_F(HotKeyTest, TheFirstStartShowsOneNoticeOfTheHotKeyOnTheButton) {
    std::wstring notice = resourceText(IDS_WELCOME_KEY);
    notice.replace(notice.find(L"%1"), 2, L"Win+Alt+V");
    start();
    // The shell shows it when the icon has settled.
    EXPECT_TRUE(waitUntil([&] { return balloonsShowing(notice) > 0; }, 15000));
    EXPECT_EQ(balloonsShowing(notice), 1);
}

}  // namespace
