// Run with LC_ALL=ru_RU.UTF-8: the whole process, and the program it starts,
// take the Russian resources from the system's own choice of language,
// without anything in the code choosing.
#include "ExpectedResources.h"
#include "ResourceReader.h"
#include "driver/AppProcess.h"
#include "driver/Wait.h"
#include "res/resource.h"

#include <gtest/gtest.h>

#include <string>

namespace {

const LANGID russian = MAKELANGID(LANG_RUSSIAN, SUBLANG_DEFAULT);

std::wstring windowText(HWND window) {
    wchar_t buffer[512] = {};
    GetWindowTextW(window, buffer, 512);
    return buffer;
}

TEST(RussianProcess, TheSystemPicksRussian) {
    ASSERT_EQ(PRIMARYLANGID(GetUserDefaultUILanguage()), LANG_RUSSIAN)
        << "run this test with LC_ALL=ru_RU.UTF-8 (and a ru_RU.UTF-8 locale on LOCPATH)";
    EXPECT_EQ(GetACP(), 1251u);
}

TEST(RussianProcess, StringsComeOutInRussianThroughTheAnsiCalls) {
    for (const ExpectedString& expected : expectedStrings()) {
        SCOPED_TRACE(expected.id);
        char loaded[260] = {};
        LoadStringA(GetModuleHandleA(nullptr), expected.id, loaded, sizeof loaded);
        char wanted[260] = {};
        WideCharToMultiByte(1251, 0, fromUtf8(expected.russian).c_str(), -1, wanted, sizeof wanted, nullptr, nullptr);
        EXPECT_STREQ(loaded, wanted);
    }
}

TEST(RussianProcess, TheTrayMenuIsRussian) {
    HMENU menu = LoadMenuA(GetModuleHandleA(nullptr), MAKEINTRESOURCEA(IDM_TRAY));
    ASSERT_NE(menu, nullptr);
    HMENU popup = GetSubMenu(menu, 0);
    int position = 0;
    for (const ExpectedMenuItem& expected : expectedMenuItems()) {
        wchar_t text[128] = {};
        GetMenuStringW(popup, position++, text, 128, MF_BYPOSITION);
        if (expected.id != 0) {
            EXPECT_EQ(std::wstring(text), fromUtf8(expected.russian)) << expected.id;
        }
    }
    DestroyMenu(menu);
}

INT_PTR CALLBACK quietProc(HWND, UINT message, WPARAM, LPARAM) {
    return message == WM_INITDIALOG;
}

TEST(RussianProcess, DialogTitlesAreRussian) {
    for (const ExpectedDialog& expected : expectedDialogs()) {
        SCOPED_TRACE(expected.id);
        HWND dialog = CreateDialogParamA(GetModuleHandleA(nullptr), MAKEINTRESOURCEA(expected.id), nullptr,
                                         quietProc, 0);
        ASSERT_NE(dialog, nullptr);
        EXPECT_EQ(windowText(dialog), fromUtf8(expected.title(russian)));
        DestroyWindow(dialog);
    }
}

TEST(RussianProcess, TheProgramShowsItsPropertiesWindowInRussian) {
    AppProcess app;
    ASSERT_TRUE(app.start());
    HWND window = app.waitForMainWindow();
    ASSERT_NE(window, nullptr);
    ASSERT_TRUE(app.flush()) << "the window is whole once its queue is served";
    for (const ExpectedControl& control : expectedDialogs().front().controls) {
        if (control.id == -1 || !control.russian || !*control.russian)
            continue;
        EXPECT_EQ(windowText(GetDlgItem(window, control.id)), fromUtf8(control.russian)) << control.id;
    }
}

}  // namespace
