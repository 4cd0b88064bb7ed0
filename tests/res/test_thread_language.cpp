// The program never picks a language: it loads by ID and takes what the
// system's loader gives for the thread. Here the thread is switched to each
// language and the same ANSI calls the program makes must bring out that
// language's texts.
//
// How texts are compared: the resources hold UTF-16. What the W functions
// return is compared with the expected UTF-8 text converted to UTF-16, so the
// Cyrillic is checked letter by letter. The A functions convert with the
// process's ANSI code page, which is 1252 under an English Wine prefix (the
// Cyrillic letters become '?') and 1251 on a Russian system. So LoadStringA
// and GetMenuStringA bytes are compared with the expected text converted to
// that same code page (GetACP), and the texts of a dialog made by
// CreateDialogParamA with the expected text sent there and back through it;
// the same dialog made by CreateDialogParamW must match letter by letter.
// This checks the A path without depending on how the machine is set up, and
// the RussianTexts test makes sure that under 1251 no letter would be lost.
#include "ExpectedResources.h"
#include "ResourceReader.h"
#include "WindowHelpers.h"

#include <gtest/gtest.h>

#include <commctrl.h>

namespace {

class ThreadLanguageTest : public ::testing::TestWithParam<LANGID> {
protected:
    static void SetUpTestSuite() { ASSERT_TRUE(initCommonControls()); }
    HINSTANCE instance() const { return resourceModule(); }
};

TEST_P(ThreadLanguageTest, StringsComeOutInTheThreadLanguage) {
    const LANGID language = GetParam();
    ThreadLanguage switched(language);
    for (const ExpectedString& expected : expectedStrings()) {
        SCOPED_TRACE("string " + std::to_string(expected.id));
        const std::wstring want = fromUtf8(inLanguage(expected, language));

        wchar_t wide[512] = {};
        int length = LoadStringW(instance(), expected.id, wide, 512);
        EXPECT_EQ(std::wstring(wide, static_cast<size_t>(length > 0 ? length : 0)), want);

        char ansi[512] = {};
        length = LoadStringA(instance(), expected.id, ansi, 512);
        EXPECT_EQ(std::string(ansi, static_cast<size_t>(length > 0 ? length : 0)), toCodePage(want, CP_ACP))
            << "code page " << GetACP();
    }
}

TEST_P(ThreadLanguageTest, TrayMenuComesOutInTheThreadLanguage) {
    const LANGID language = GetParam();
    ThreadLanguage switched(language);
    HMENU menu = LoadMenuA(instance(), MAKEINTRESOURCEA(103));
    ASSERT_NE(menu, nullptr);
    ASSERT_EQ(GetMenuItemCount(menu), 1);
    wchar_t name[64] = {};
    GetMenuStringW(menu, 0, name, 64, MF_BYPOSITION);
    EXPECT_EQ(std::wstring(name), fromUtf8(kMenuPopupName));

    HMENU popup = GetSubMenu(menu, 0);
    ASSERT_NE(popup, nullptr);
    const std::vector<ExpectedMenuItem>& expected = expectedMenuItems();
    ASSERT_EQ(GetMenuItemCount(popup), static_cast<int>(expected.size()));
    for (size_t i = 0; i < expected.size(); ++i) {
        SCOPED_TRACE("item " + std::to_string(i));
        wchar_t text[256] = {};
        MENUITEMINFOW info = {};
        info.cbSize = sizeof info;
        info.fMask = MIIM_FTYPE | MIIM_ID | MIIM_STRING | MIIM_SUBMENU;
        info.dwTypeData = text;
        info.cch = 256;
        ASSERT_TRUE(GetMenuItemInfoW(popup, static_cast<UINT>(i), TRUE, &info));
        EXPECT_EQ(info.hSubMenu, nullptr);
        if (expected[i].id == 0) {
            EXPECT_TRUE(info.fType & MFT_SEPARATOR);
            continue;
        }
        EXPECT_FALSE(info.fType & MFT_SEPARATOR);
        EXPECT_EQ(info.wID, expected[i].id);
        const std::wstring want = fromUtf8(inLanguage(expected[i], language));
        EXPECT_EQ(std::wstring(text), want);

        char ansi[256] = {};
        GetMenuStringA(popup, static_cast<UINT>(i), ansi, 256, MF_BYPOSITION);
        EXPECT_EQ(std::string(ansi), toCodePage(want, CP_ACP)) << "code page " << GetACP();
    }
    DestroyMenu(menu);
}

// Compares a created dialog's title and control texts with the table, each
// expected text first passed through `convert`.
template <typename Convert>
void checkDialogTexts(HWND dialog, const ExpectedDialog& expected, LANGID language, Convert convert) {
    EXPECT_EQ(windowText(dialog), convert(fromUtf8(expected.title(language))));
    std::vector<HWND> children = childWindows(dialog, expected.controls.size() + 1);
    EXPECT_EQ(children.size(), expected.controls.size());
    for (size_t i = 0; i < children.size() && i < expected.controls.size(); ++i) {
        const ExpectedControl& control = expected.controls[i];
        // An icon's text is the icon's resource ID, not words to translate.
        if ((control.style & SS_TYPEMASK) == SS_ICON && sameClass(L"Static", control.windowClass))
            continue;
        EXPECT_EQ(windowText(children[i]), convert(fromUtf8(inLanguage(control, language))))
            << "control " << i << ", ID " << control.id;
    }
}

TEST_P(ThreadLanguageTest, DialogsComeOutInTheThreadLanguage) {
    const LANGID language = GetParam();
    ThreadLanguage switched(language);
    for (const ExpectedDialog& expected : expectedDialogs()) {
        SCOPED_TRACE("dialog " + std::to_string(expected.id));
        // The program's own call: an ANSI dialog, whose texts pass through
        // the ANSI code page on their way from the template.
        HWND dialog = CreateDialogParamA(instance(), MAKEINTRESOURCEA(expected.id), nullptr, plainDialogProc, 0);
        ASSERT_NE(dialog, nullptr);
        checkDialogTexts(dialog, expected, language,
                         [](const std::wstring& text) { return throughCodePage(text, CP_ACP); });
        DestroyWindow(dialog);

        // The same template as a Unicode dialog keeps every letter.
        dialog = CreateDialogParamW(instance(), MAKEINTRESOURCEW(expected.id), nullptr, plainDialogProc, 0);
        ASSERT_NE(dialog, nullptr);
        checkDialogTexts(dialog, expected, language, [](const std::wstring& text) { return text; });
        DestroyWindow(dialog);
    }
}

std::string languageName(const ::testing::TestParamInfo<LANGID>& info) {
    return info.param == kRussian ? "Russian" : "English";
}

INSTANTIATE_TEST_SUITE_P(Both, ThreadLanguageTest, ::testing::Values(kRussian, kEnglish), languageName);

}  // namespace
