// The program never picks a language: it loads by ID and takes what the
// system's loader gives for the thread. Here the thread is switched to each
// language, and what the program's own calls bring out must be that
// language's resources, read with the language named outright.
//
// How texts are compared: the resources hold UTF-16. What the W functions
// return must match letter by letter. The A functions convert with the
// process's ANSI code page, which is 1252 under an English Wine prefix (the
// Cyrillic letters become '?') and 1251 on a Russian system, so their bytes
// are compared with the same text sent through that code page (GetACP).
// The RussianTexts test makes sure that under 1251 no letter would be lost.
#include "ResourceReader.h"
#include "WindowHelpers.h"

#include <gtest/gtest.h>

namespace {

class ThreadLanguageTest : public ::testing::TestWithParam<LANGID> {
protected:
    static void SetUpTestSuite() { ASSERT_TRUE(initCommonControls()); }
    HINSTANCE instance() const { return resourceModule(); }
};

TEST_P(ThreadLanguageTest, StringsComeOutInTheThreadLanguage) {
    const LANGID language = GetParam();
    std::map<WORD, std::wstring> strings;
    ASSERT_EQ(stringsIn(language, strings), "");
    ASSERT_FALSE(strings.empty());
    ThreadLanguage switched(language);
    for (const auto& [id, want] : strings) {
        SCOPED_TRACE("string " + std::to_string(id));
        wchar_t wide[512] = {};
        int length = LoadStringW(instance(), id, wide, 512);
        EXPECT_EQ(std::wstring(wide, static_cast<size_t>(length > 0 ? length : 0)), want);

        char ansi[512] = {};
        length = LoadStringA(instance(), id, ansi, 512);
        EXPECT_EQ(std::string(ansi, static_cast<size_t>(length > 0 ? length : 0)), toCodePage(want, CP_ACP))
            << "code page " << GetACP();
    }
}

TEST_P(ThreadLanguageTest, TrayMenuComesOutInTheThreadLanguage) {
    const LANGID language = GetParam();
    std::vector<MenuEntry> expected;
    ASSERT_EQ(menuIn(103, language, expected), "");
    ASSERT_EQ(expected.size(), 1u);
    ThreadLanguage switched(language);
    HMENU menu = LoadMenuA(instance(), MAKEINTRESOURCEA(103));
    ASSERT_NE(menu, nullptr);
    HMENU popup = GetSubMenu(menu, 0);
    ASSERT_NE(popup, nullptr);
    const std::vector<MenuEntry>& items = expected[0].items;
    ASSERT_EQ(GetMenuItemCount(popup), static_cast<int>(items.size()));
    for (size_t i = 0; i < items.size(); ++i) {
        SCOPED_TRACE("item " + std::to_string(i));
        wchar_t text[256] = {};
        MENUITEMINFOW info = {};
        info.cbSize = sizeof info;
        info.fMask = MIIM_FTYPE | MIIM_ID | MIIM_STRING;
        info.dwTypeData = text;
        info.cch = 256;
        ASSERT_TRUE(GetMenuItemInfoW(popup, static_cast<UINT>(i), TRUE, &info));
        EXPECT_EQ((info.fType & MFT_SEPARATOR) != 0, items[i].isSeparator());
        if (items[i].isSeparator())
            continue;
        EXPECT_EQ(info.wID, items[i].id);
        EXPECT_EQ(std::wstring(text), items[i].text);
        char ansi[256] = {};
        GetMenuStringA(popup, static_cast<UINT>(i), ansi, 256, MF_BYPOSITION);
        EXPECT_EQ(std::string(ansi), toCodePage(items[i].text, CP_ACP)) << "code page " << GetACP();
    }
    DestroyMenu(menu);
}

// The title and control texts of a dialog.
std::vector<std::wstring> dialogTexts(HWND dialog) {
    std::vector<std::wstring> texts{windowText(dialog)};
    for (const std::wstring& text : controlTexts(dialog))
        texts.push_back(text);
    return texts;
}

TEST_P(ThreadLanguageTest, DialogsComeOutInTheThreadLanguageWithEveryControl) {
    const LANGID language = GetParam();
    for (WORD id : resourceIds(kTypeDialog, language)) {
        SCOPED_TRACE("dialog " + std::to_string(id));
        HWND own = createDialogIn(id, language);
        ASSERT_NE(own, nullptr) << "error " << GetLastError();
        const std::vector<std::wstring> want = dialogTexts(own);
        DestroyWindow(own);

        ThreadLanguage switched(language);
        // The program's own call: an ANSI dialog, whose texts pass through
        // the ANSI code page on their way from the template.
        HWND dialog = CreateDialogParamA(instance(), MAKEINTRESOURCEA(id), nullptr, plainDialogProc, 0);
        ASSERT_NE(dialog, nullptr) << "error " << GetLastError();
        EXPECT_FALSE(IsWindowVisible(dialog));
        std::vector<std::wstring> wantAnsi;
        for (const std::wstring& text : want)
            wantAnsi.push_back(throughCodePage(text, CP_ACP));
        EXPECT_EQ(dialogTexts(dialog), wantAnsi);
        DestroyWindow(dialog);

        // The same template as a Unicode dialog keeps every letter.
        dialog = CreateDialogParamW(instance(), MAKEINTRESOURCEW(id), nullptr, plainDialogProc, 0);
        ASSERT_NE(dialog, nullptr);
        EXPECT_EQ(dialogTexts(dialog), want);
        DestroyWindow(dialog);
    }
}

std::string languageName(const ::testing::TestParamInfo<LANGID>& info) {
    return info.param == kRussian ? "Russian" : "English";
}

INSTANTIATE_TEST_SUITE_P(Both, ThreadLanguageTest, ::testing::Values(kRussian, kEnglish), languageName);

}  // namespace
