// Every template must turn into a real window with every control the code
// will look for, in both languages: a class that fails to register or a
// misspelt class name only shows when the dialog is created.
#include "ExpectedResources.h"
#include "ResourceReader.h"
#include "WindowHelpers.h"

#include <gtest/gtest.h>

namespace {

const LANGID kLanguages[] = {kEnglish, kRussian};

class DialogCreation : public ::testing::TestWithParam<ExpectedDialog> {
protected:
    static void SetUpTestSuite() { ASSERT_TRUE(initCommonControls()); }

    // Checks the created dialog against the table: hidden, titled in the
    // language, and every control present with its class, in template order.
    // An ANSI dialog's title has passed through the ANSI code page.
    static void checkDialog(HWND dialog, const ExpectedDialog& expected, LANGID language, bool ansi) {
        EXPECT_FALSE(IsWindowVisible(dialog));
        const std::wstring title = fromUtf8(expected.title(language));
        EXPECT_EQ(windowText(dialog), ansi ? throughCodePage(title, CP_ACP) : title);
        std::vector<HWND> children = childWindows(dialog, expected.controls.size() + 1);
        ASSERT_EQ(children.size(), expected.controls.size());
        for (size_t i = 0; i < children.size(); ++i) {
            const ExpectedControl& control = expected.controls[i];
            SCOPED_TRACE("control " + std::to_string(i) + ", ID " + std::to_string(control.id));
            // Template IDs are 16 bits wide: -1 comes back as 0xFFFF.
            EXPECT_EQ(static_cast<WORD>(GetDlgCtrlID(children[i])), static_cast<WORD>(control.id));
            EXPECT_TRUE(sameClass(windowClassName(children[i]).c_str(), control.windowClass))
                << toUtf8(windowClassName(children[i]));
            if (control.id != -1) {
                EXPECT_EQ(GetDlgItem(dialog, control.id), children[i]);
            }
        }
    }
};

TEST_P(DialogCreation, ThroughTheThreadLanguageHasEveryControl) {
    const ExpectedDialog& expected = GetParam();
    for (LANGID language : kLanguages) {
        SCOPED_TRACE(language == kRussian ? "Russian" : "English");
        ThreadLanguage switched(language);
        HWND dialog = CreateDialogParamA(resourceModule(), MAKEINTRESOURCEA(expected.id), nullptr, plainDialogProc, 0);
        ASSERT_NE(dialog, nullptr) << "error " << GetLastError();
        checkDialog(dialog, expected, language, true);
        EXPECT_TRUE(DestroyWindow(dialog));
    }
}

TEST_P(DialogCreation, FromEachLanguagesOwnTemplateHasEveryControl) {
    const ExpectedDialog& expected = GetParam();
    for (LANGID language : kLanguages) {
        SCOPED_TRACE(language == kRussian ? "Russian" : "English");
        HRSRC found = FindResourceExW(resourceModule(), MAKEINTRESOURCEW(kTypeDialog), MAKEINTRESOURCEW(expected.id), language);
        ASSERT_NE(found, nullptr);
        HGLOBAL loaded = LoadResource(resourceModule(), found);
        ASSERT_NE(loaded, nullptr);
        auto dialogTemplate = static_cast<LPCDLGTEMPLATEW>(LockResource(loaded));
        ASSERT_NE(dialogTemplate, nullptr);
        HWND dialog = CreateDialogIndirectParamW(resourceModule(), dialogTemplate, nullptr, plainDialogProc, 0);
        ASSERT_NE(dialog, nullptr) << "error " << GetLastError();
        checkDialog(dialog, expected, language, false);
        EXPECT_TRUE(DestroyWindow(dialog));
    }
}

std::string dialogName(const ::testing::TestParamInfo<ExpectedDialog>& info) {
    return "Dialog" + std::to_string(info.param.id);
}

INSTANTIATE_TEST_SUITE_P(All, DialogCreation, ::testing::ValuesIn(expectedDialogs()), dialogName);

}  // namespace
