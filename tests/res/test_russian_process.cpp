// Run with LC_ALL=ru_RU.UTF-8: the whole process, and the program it starts,
// take the Russian resources from the system's own choice of language,
// without anything in the code choosing. What comes out is compared with the
// Russian resources read with the language named outright.
#include "ResourceReader.h"
#include "WindowHelpers.h"
#include "driver/AppProcess.h"
#include "res/resource.h"

#include <gtest/gtest.h>

#include <string>

namespace {

TEST(RussianProcess, TheSystemPicksRussian) {
    ASSERT_EQ(PRIMARYLANGID(GetUserDefaultUILanguage()), LANG_RUSSIAN)
        << "run this test with LC_ALL=ru_RU.UTF-8 (and a ru_RU.UTF-8 locale on LOCPATH)";
    EXPECT_EQ(GetACP(), 1251u);
}

TEST(RussianProcess, StringsComeOutInRussianThroughTheAnsiCalls) {
    std::map<WORD, std::wstring> strings;
    ASSERT_EQ(stringsIn(kRussian, strings), "");
    ASSERT_FALSE(strings.empty());
    for (const auto& [id, text] : strings) {
        SCOPED_TRACE(id);
        char loaded[512] = {};
        LoadStringA(GetModuleHandleA(nullptr), id, loaded, sizeof loaded);
        EXPECT_EQ(std::string(loaded), toCodePage(text, 1251));
    }
}

TEST(RussianProcess, TheTrayMenuIsRussian) {
    std::vector<MenuEntry> russian;
    ASSERT_EQ(menuIn(IDM_TRAY, kRussian, russian), "");
    ASSERT_EQ(russian.size(), 1u);
    HMENU menu = LoadMenuA(GetModuleHandleA(nullptr), MAKEINTRESOURCEA(IDM_TRAY));
    ASSERT_NE(menu, nullptr);
    HMENU popup = GetSubMenu(menu, 0);
    int position = 0;
    for (const MenuEntry& item : russian[0].items) {
        wchar_t text[128] = {};
        GetMenuStringW(popup, position++, text, 128, MF_BYPOSITION);
        EXPECT_EQ(std::wstring(text), item.text) << item.id;
    }
    DestroyMenu(menu);
}

TEST(RussianProcess, DialogTitlesAreRussian) {
    for (WORD id : resourceIds(kTypeDialog, kRussian)) {
        SCOPED_TRACE(id);
        HWND russian = createDialogIn(id, kRussian);
        ASSERT_NE(russian, nullptr);
        HWND dialog = CreateDialogParamA(GetModuleHandleA(nullptr), MAKEINTRESOURCEA(id), nullptr, plainDialogProc, 0);
        ASSERT_NE(dialog, nullptr);
        EXPECT_EQ(windowText(dialog), windowText(russian));
        DestroyWindow(dialog);
        DestroyWindow(russian);
    }
}

TEST(RussianProcess, TheProgramShowsItsPropertiesWindowInRussian) {
    AppProcess app;
    ASSERT_TRUE(app.start());
    HWND window = app.waitForMainWindow();
    ASSERT_NE(window, nullptr);
    ASSERT_TRUE(app.flush()) << "the window is whole once its queue is served";
    // Made only now: a window titled like the program's would have been
    // taken by the starting program for a copy already running.
    HWND russian = createDialogIn(IDD_MAIN, kRussian);
    ASSERT_NE(russian, nullptr);
    int compared = 0;
    for (HWND control : childWindows(russian, 100)) {
        const int id = GetDlgCtrlID(control);
        // The user name is the program's own to fill in.
        if (static_cast<short>(id) == -1 || id == IDC_USER_NAME || windowText(control).empty())
            continue;
        EXPECT_EQ(windowText(GetDlgItem(window, id)), windowText(control)) << id;
        ++compared;
    }
    EXPECT_GE(compared, 2);
    DestroyWindow(russian);
}

}  // namespace
