// Walks the compiled resources of both languages, read with an explicit
// language so that neither the thread's locale nor the loader's fallback
// picks for us, and holds them to the expected tables.
#include "ExpectedResources.h"
#include "ResourceReader.h"

#include <gtest/gtest.h>

#include <winver.h>

#include <algorithm>
#include <set>

namespace {

const LANGID kLanguages[] = {kEnglish, kRussian};

std::string languageName(LANGID language) {
    return language == kRussian ? "Russian" : "English";
}

std::set<WORD> idSet(ResourceType type, LANGID language) {
    std::vector<WORD> ids = resourceIds(type, language);
    return std::set<WORD>(ids.begin(), ids.end());
}

::testing::AssertionResult loadDialog(WORD id, LANGID language, DialogTemplate& out) {
    std::vector<BYTE> bytes;
    if (!resourceBytes(kTypeDialog, id, language, bytes))
        return ::testing::AssertionFailure() << "no dialog " << id << " in " << languageName(language);
    std::string error = parseDialog(bytes, out);
    if (!error.empty())
        return ::testing::AssertionFailure() << "dialog " << id << " in " << languageName(language) << ": " << error;
    return ::testing::AssertionSuccess();
}

::testing::AssertionResult loadStrings(LANGID language, std::map<WORD, std::wstring>& out) {
    for (WORD block : resourceIds(kTypeString, language)) {
        std::vector<BYTE> bytes;
        if (!resourceBytes(kTypeString, block, language, bytes))
            return ::testing::AssertionFailure() << "string block " << block << " vanished";
        std::string error = parseStringBlock(bytes, block, out);
        if (!error.empty())
            return ::testing::AssertionFailure() << languageName(language) << ": " << error;
    }
    return ::testing::AssertionSuccess();
}

::testing::AssertionResult loadMenu(LANGID language, std::vector<MenuEntry>& out) {
    std::vector<BYTE> bytes;
    if (!resourceBytes(kTypeMenu, 103, language, bytes))
        return ::testing::AssertionFailure() << "no menu 103 in " << languageName(language);
    std::string error = parseMenu(bytes, out);
    if (!error.empty())
        return ::testing::AssertionFailure() << "menu 103 in " << languageName(language) << ": " << error;
    return ::testing::AssertionSuccess();
}

bool overlap(const DialogControl& a, const DialogControl& b) {
    return a.x < b.x + b.cx && b.x < a.x + a.cx && a.y < b.y + b.cy && b.y < a.y + a.cy;
}

TEST(ResourceSet, BothLanguagesHoldTheSameDialogsMenusAndStringBlocks) {
    const std::set<WORD> dialogs = {101, 104, 109, 110, 111, 112};
    const std::set<WORD> menus = {103};
    // Strings 101 to 111 are in block 7, 112 to 115 in block 8, 150 in block 10.
    const std::set<WORD> stringBlocks = {7, 8, 10};
    for (LANGID language : kLanguages) {
        SCOPED_TRACE(languageName(language));
        EXPECT_EQ(idSet(kTypeDialog, language), dialogs);
        EXPECT_EQ(idSet(kTypeMenu, language), menus);
        EXPECT_EQ(idSet(kTypeString, language), stringBlocks);
    }
}

TEST(ResourceSet, NoOtherLanguageIsPresent) {
    for (ResourceType type : {kTypeDialog, kTypeMenu, kTypeString}) {
        for (WORD id : resourceIds(type, kEnglish)) {
            std::vector<LANGID> languages = resourceLanguages(type, id);
            std::sort(languages.begin(), languages.end());
            EXPECT_EQ(languages, (std::vector<LANGID>{kEnglish, kRussian}))
                << "resource type " << type << " ID " << id;
        }
    }
}

TEST(ResourceSet, PicturesAndVersionRecordExistOnceInEnglish) {
    const struct {
        ResourceType type;
        WORD id;
    } single[] = {
        {kTypeGroupIcon, 102}, {kTypeGroupIcon, 103}, {kTypeBitmap, 105},
        {kTypeBitmap, 138},     {kTypeBitmap, 139},     {kTypeVersion, 1},
    };
    for (const auto& resource : single) {
        EXPECT_EQ(resourceLanguages(resource.type, resource.id), std::vector<LANGID>{kEnglish})
            << "resource type " << resource.type << " ID " << resource.id;
    }
}

std::wstring versionString(const std::vector<BYTE>& record, const wchar_t* name) {
    std::wstring path = std::wstring(L"\\StringFileInfo\\040904b0\\") + name;
    void* value = nullptr;
    UINT length = 0;
    // VerQueryValueW may write into the record, hence the copy it is given.
    std::vector<BYTE> copy = record;
    if (!VerQueryValueW(copy.data(), path.c_str(), &value, &length) || !value || length == 0)
        return L"<missing>";
    const wchar_t* text = static_cast<const wchar_t*>(value);
    return std::wstring(text, wcsnlen(text, length));
}

TEST(VersionRecord, Holds2011AndTheProductTexts) {
    std::vector<BYTE> record;
    ASSERT_TRUE(resourceBytes(kTypeVersion, 1, kEnglish, record));

    std::vector<BYTE> copy = record;
    void* value = nullptr;
    UINT length = 0;
    ASSERT_TRUE(VerQueryValueW(copy.data(), L"\\", &value, &length));
    ASSERT_GE(length, sizeof(VS_FIXEDFILEINFO));
    const auto* fixed = static_cast<const VS_FIXEDFILEINFO*>(value);
    EXPECT_EQ(fixed->dwSignature, 0xFEEF04BDu);
    EXPECT_EQ(fixed->dwFileVersionMS, 0x00020000u);
    EXPECT_EQ(fixed->dwFileVersionLS, 0x00010001u);
    EXPECT_EQ(fixed->dwProductVersionMS, 0x00020000u);
    EXPECT_EQ(fixed->dwProductVersionLS, 0x00010001u);

    EXPECT_EQ(versionString(record, L"Comments"), fromUtf8("Cliboard manager"));
    EXPECT_EQ(versionString(record, L"CompanyName"), fromUtf8("Quilnor"));
    EXPECT_EQ(versionString(record, L"FileDescription"), fromUtf8("Tolvaran"));
    EXPECT_EQ(versionString(record, L"FileVersion"), fromUtf8("2, 0, 1, 1"));
    EXPECT_EQ(versionString(record, L"InternalName"), fromUtf8("Tolvaran"));
    EXPECT_EQ(versionString(record, L"ProductName"), fromUtf8("Quilnor Tolvaran"));
    EXPECT_EQ(versionString(record, L"ProductVersion"), fromUtf8("2, 0, 1, 1"));
    EXPECT_EQ(versionString(record, L"LegalCopyright"), fromUtf8("Copyright © Quilnor. All rights reserved."));

    copy = record;
    ASSERT_TRUE(VerQueryValueW(copy.data(), L"\\VarFileInfo\\Translation", &value, &length));
    ASSERT_EQ(length, 4u);
    const WORD* translation = static_cast<const WORD*>(value);
    EXPECT_EQ(translation[0], 0x409);
    EXPECT_EQ(translation[1], 1200);
}

class DialogTemplates : public ::testing::TestWithParam<ExpectedDialog> {};

TEST_P(DialogTemplates, MatchTheTableInEachLanguage) {
    const ExpectedDialog& expected = GetParam();
    for (LANGID language : kLanguages) {
        SCOPED_TRACE(languageName(language));
        DialogTemplate dialog;
        ASSERT_TRUE(loadDialog(expected.id, language, dialog));
        EXPECT_EQ(dialog.style, kDialogStyle);
        EXPECT_EQ(dialog.exStyle, 0u);
        EXPECT_EQ(dialog.cx, expected.size(language).cx);
        EXPECT_EQ(dialog.cy, expected.size(language).cy);
        EXPECT_EQ(dialog.menu.text(), L"");
        EXPECT_EQ(dialog.windowClass.text(), L"");
        EXPECT_EQ(dialog.title, fromUtf8(expected.title(language)));
        EXPECT_EQ(dialog.pointSize, kDialogFontSize);
        EXPECT_EQ(dialog.typeface, fromUtf8(kDialogFont));

        ASSERT_EQ(dialog.controls.size(), expected.controls.size());
        for (size_t i = 0; i < expected.controls.size(); ++i) {
            const DialogControl& control = dialog.controls[i];
            const ExpectedControl& want = expected.controls[i];
            SCOPED_TRACE("control " + std::to_string(i) + ", ID " + std::to_string(want.id));
            EXPECT_EQ(control.id, want.id);
            EXPECT_TRUE(sameClass(control.className().c_str(), want.windowClass))
                << toUtf8(control.className()) << " is not " << want.windowClass;
            EXPECT_EQ(control.style, want.style) << std::hex << control.style << " != " << want.style;
            EXPECT_EQ(control.exStyle, 0u);
            EXPECT_EQ(control.text.text(), fromUtf8(inLanguage(want, language)))
                << toUtf8(control.text.text()) << " != " << inLanguage(want, language);
            EXPECT_EQ(control.extraBytes, 0);
        }
    }
}

TEST_P(DialogTemplates, HaveTheSameControlsInBothLanguages) {
    const ExpectedDialog& expected = GetParam();
    DialogTemplate english, russian;
    ASSERT_TRUE(loadDialog(expected.id, kEnglish, english));
    ASSERT_TRUE(loadDialog(expected.id, kRussian, russian));
    EXPECT_EQ(english.style, russian.style);
    ASSERT_EQ(english.controls.size(), russian.controls.size());
    for (size_t i = 0; i < english.controls.size(); ++i) {
        SCOPED_TRACE("control " + std::to_string(i));
        EXPECT_EQ(english.controls[i].id, russian.controls[i].id);
        EXPECT_TRUE(sameClass(english.controls[i].className().c_str(), toUtf8(russian.controls[i].className()).c_str()));
        EXPECT_EQ(english.controls[i].style, russian.controls[i].style);
    }
}

TEST_P(DialogTemplates, KeepEveryControlInsideAndApart) {
    const ExpectedDialog& expected = GetParam();
    for (LANGID language : kLanguages) {
        SCOPED_TRACE(languageName(language));
        DialogTemplate dialog;
        ASSERT_TRUE(loadDialog(expected.id, language, dialog));
        for (size_t i = 0; i < dialog.controls.size(); ++i) {
            const DialogControl& control = dialog.controls[i];
            SCOPED_TRACE("control " + std::to_string(i) + ", ID " + std::to_string(control.id));
            EXPECT_GT(control.cx, 0);
            EXPECT_GT(control.cy, 0);
            EXPECT_GE(control.x, 0);
            EXPECT_GE(control.y, 0);
            EXPECT_LE(control.x + control.cx, dialog.cx);
            EXPECT_LE(control.y + control.cy, dialog.cy);
            for (size_t j = i + 1; j < dialog.controls.size(); ++j)
                EXPECT_FALSE(overlap(control, dialog.controls[j])) << "overlaps control " << j;
        }
    }
}

std::string dialogName(const ::testing::TestParamInfo<ExpectedDialog>& info) {
    return "Dialog" + std::to_string(info.param.id);
}

INSTANTIATE_TEST_SUITE_P(All, DialogTemplates, ::testing::ValuesIn(expectedDialogs()), dialogName);

TEST(MainDialogTemplate, ControlsStandWhereTheLayoutPutsThem) {
    struct Rect {
        short x, y, cx, cy;
    };
    const Rect english[] = {{173, 7, 50, 14}, {7, 7, 20, 20}, {7, 28, 37, 8}, {49, 25, 175, 14}, {104, 7, 50, 14}};
    const Rect russian[] = {{182, 7, 59, 14}, {7, 7, 21, 20}, {7, 28, 58, 8}, {67, 26, 175, 14}, {111, 7, 59, 14}};
    for (LANGID language : kLanguages) {
        SCOPED_TRACE(languageName(language));
        const Rect* want = language == kRussian ? russian : english;
        DialogTemplate dialog;
        ASSERT_TRUE(loadDialog(101, language, dialog));
        ASSERT_EQ(dialog.controls.size(), 5u);
        for (size_t i = 0; i < 5; ++i) {
            SCOPED_TRACE("control " + std::to_string(i));
            const DialogControl& control = dialog.controls[i];
            EXPECT_EQ(control.x, want[i].x);
            EXPECT_EQ(control.y, want[i].y);
            EXPECT_EQ(control.cx, want[i].cx);
            EXPECT_EQ(control.cy, want[i].cy);
        }
    }
}

TEST(TrayMenu, HasOnePopupWithTheCommandsAndSeparatorsInOrder) {
    for (LANGID language : kLanguages) {
        SCOPED_TRACE(languageName(language));
        std::vector<MenuEntry> menu;
        ASSERT_TRUE(loadMenu(language, menu));
        ASSERT_EQ(menu.size(), 1u);
        EXPECT_TRUE(menu[0].isPopup());
        EXPECT_EQ(menu[0].text, fromUtf8(kMenuPopupName));
        const std::vector<ExpectedMenuItem>& expected = expectedMenuItems();
        const std::vector<MenuEntry>& items = menu[0].items;
        ASSERT_EQ(items.size(), expected.size());
        for (size_t i = 0; i < items.size(); ++i) {
            SCOPED_TRACE("item " + std::to_string(i));
            EXPECT_FALSE(items[i].isPopup());
            EXPECT_EQ(items[i].isSeparator(), expected[i].id == 0);
            EXPECT_EQ(items[i].id, expected[i].id);
            EXPECT_EQ(items[i].text, fromUtf8(inLanguage(expected[i], language)))
                << toUtf8(items[i].text) << " != " << inLanguage(expected[i], language);
            // Enabled and unchecked: the code greys items itself.
            EXPECT_EQ(items[i].flags & ~MF_SEPARATOR, 0);
        }
    }
}

TEST(TrayMenu, BothLanguagesHaveTheSameCommandIds) {
    std::vector<MenuEntry> english, russian;
    ASSERT_TRUE(loadMenu(kEnglish, english));
    ASSERT_TRUE(loadMenu(kRussian, russian));
    ASSERT_EQ(english.size(), 1u);
    ASSERT_EQ(russian.size(), 1u);
    ASSERT_EQ(english[0].items.size(), russian[0].items.size());
    for (size_t i = 0; i < english[0].items.size(); ++i) {
        EXPECT_EQ(english[0].items[i].id, russian[0].items[i].id) << "item " << i;
        EXPECT_EQ(english[0].items[i].isSeparator(), russian[0].items[i].isSeparator()) << "item " << i;
    }
}

TEST(StringTable, HoldsExactlyTheExpectedTextsInEachLanguage) {
    for (LANGID language : kLanguages) {
        SCOPED_TRACE(languageName(language));
        std::map<WORD, std::wstring> strings;
        ASSERT_TRUE(loadStrings(language, strings));
        std::map<WORD, std::wstring> expected;
        for (const ExpectedString& text : expectedStrings())
            expected[text.id] = fromUtf8(inLanguage(text, language));
        EXPECT_EQ(strings.size(), expected.size());
        for (const auto& [id, text] : expected) {
            auto found = strings.find(id);
            if (found == strings.end()) {
                ADD_FAILURE() << "string " << id << " is missing";
                continue;
            }
            EXPECT_EQ(found->second, text) << "string " << id << ": " << toUtf8(found->second);
        }
        for (const auto& [id, text] : strings)
            EXPECT_TRUE(expected.count(id)) << "unexpected string " << id << ": " << toUtf8(text);
    }
}

TEST(StringTable, ProductNameIsTheSameInBothLanguages) {
    // A second copy finds the first by this title whatever the language.
    std::map<WORD, std::wstring> english, russian;
    ASSERT_TRUE(loadStrings(kEnglish, english));
    ASSERT_TRUE(loadStrings(kRussian, russian));
    ASSERT_TRUE(english.count(103));
    ASSERT_TRUE(russian.count(103));
    EXPECT_EQ(english[103], russian[103]);
    EXPECT_EQ(english[103], L"Tolvaran");
}

TEST(RussianTexts, AllFitTheCyrillicAnsiCodePage) {
    // The program works in 8-bit text: on a Russian system every Russian text
    // passes through code page 1251 and must come back unchanged.
    std::vector<const char*> texts;
    for (const ExpectedString& text : expectedStrings())
        texts.push_back(text.russian);
    for (const ExpectedMenuItem& item : expectedMenuItems())
        texts.push_back(item.russian);
    for (const ExpectedDialog& dialog : expectedDialogs()) {
        texts.push_back(dialog.russian);
        for (const ExpectedControl& control : dialog.controls)
            texts.push_back(control.russian);
    }
    for (const char* text : texts) {
        std::wstring wide = fromUtf8(text);
        EXPECT_EQ(throughCodePage(wide, 1251), wide) << text;
    }
}

}  // namespace
