// The compiled resources of both languages, read with an explicit language
// so that neither the thread's locale nor the loader's fallback picks for
// us: both languages show the same windows, menus and messages, only in
// other words, and the Russian words survive the Cyrillic code page.
#include "ResourceReader.h"
#include "WindowHelpers.h"

#include <gtest/gtest.h>

#include <winver.h>

#include <algorithm>
#include <set>

namespace {

const LANGID kLanguages[] = {kEnglish, kRussian};

std::set<WORD> idSet(ResourceType type, LANGID language) {
    std::vector<WORD> ids = resourceIds(type, language);
    return std::set<WORD>(ids.begin(), ids.end());
}

std::set<WORD> stringIds(LANGID language) {
    std::map<WORD, std::wstring> strings;
    EXPECT_EQ(stringsIn(language, strings), "");
    std::set<WORD> ids;
    for (const auto& entry : strings)
        ids.insert(entry.first);
    return ids;
}

// A control as the code finds it: its ID, class and style, not its words.
struct ControlShape {
    WORD id;
    std::wstring className;
    LONG style;
    bool operator==(const ControlShape& other) const {
        return id == other.id && CompareStringOrdinal(className.c_str(), -1, other.className.c_str(), -1, TRUE) ==
                                     CSTR_EQUAL && style == other.style;
    }
};

std::vector<ControlShape> shapes(HWND dialog) {
    std::vector<ControlShape> found;
    for (HWND child : childWindows(dialog, 200))
        found.push_back({static_cast<WORD>(GetDlgCtrlID(child)), windowClassName(child),
                         GetWindowLongW(child, GWL_STYLE)});
    return found;
}

TEST(ResourceSet, BothLanguagesHoldTheSameDialogsMenusAndStrings) {
    ASSERT_FALSE(idSet(kTypeDialog, kEnglish).empty());
    EXPECT_EQ(idSet(kTypeDialog, kEnglish), idSet(kTypeDialog, kRussian));
    EXPECT_EQ(idSet(kTypeMenu, kEnglish), idSet(kTypeMenu, kRussian));
    EXPECT_EQ(stringIds(kEnglish), stringIds(kRussian));
    for (ResourceType type : {kTypeDialog, kTypeMenu, kTypeString}) {
        for (WORD id : resourceIds(type, kEnglish)) {
            std::vector<LANGID> languages = resourceLanguages(type, id);
            std::sort(languages.begin(), languages.end());
            EXPECT_EQ(languages, (std::vector<LANGID>{kEnglish, kRussian})) << "resource type " << type << " ID " << id;
        }
    }
}

TEST(ResourceSet, PicturesAndTheVersionRecordExistOnceTheManifestInNoLanguage) {
    for (ResourceType type : {kTypeBitmap, kTypeGroupIcon, kTypeVersion}) {
        std::vector<WORD> ids = resourceIds(type, kEnglish);
        EXPECT_FALSE(ids.empty()) << "resource type " << type;
        for (WORD id : ids)
            EXPECT_EQ(resourceLanguages(type, id), std::vector<LANGID>{kEnglish}) << "resource type " << type << " ID " << id;
    }
    // The loader reads resource 1 of type 24 before the program runs.
    EXPECT_EQ(resourceLanguages(kTypeManifest, 1), std::vector<LANGID>{MAKELANGID(LANG_NEUTRAL, SUBLANG_NEUTRAL)});
}

TEST(Dialogs, HaveTheSameControlsInBothLanguages) {
    ASSERT_TRUE(initCommonControls());
    for (WORD id : resourceIds(kTypeDialog, kEnglish)) {
        SCOPED_TRACE("dialog " + std::to_string(id));
        HWND english = createDialogIn(id, kEnglish);
        HWND russian = createDialogIn(id, kRussian);
        ASSERT_TRUE(english && russian);
        EXPECT_EQ(GetWindowLongW(english, GWL_STYLE), GetWindowLongW(russian, GWL_STYLE));
        const std::vector<ControlShape> englishShapes = shapes(english);
        EXPECT_FALSE(englishShapes.empty());
        EXPECT_TRUE(englishShapes == shapes(russian));
        DestroyWindow(english);
        DestroyWindow(russian);
    }
}

TEST(TrayMenu, BothLanguagesHaveTheSameCommandsAndSeparators) {
    std::vector<MenuEntry> english, russian;
    ASSERT_EQ(menuIn(103, kEnglish, english), "");
    ASSERT_EQ(menuIn(103, kRussian, russian), "");
    ASSERT_EQ(english.size(), 1u);
    ASSERT_EQ(russian.size(), 1u);
    EXPECT_EQ(english[0].text, russian[0].text) << "the popup's name is no words for the user";
    ASSERT_FALSE(english[0].items.empty());
    ASSERT_EQ(english[0].items.size(), russian[0].items.size());
    for (size_t i = 0; i < english[0].items.size(); ++i) {
        EXPECT_EQ(english[0].items[i].id, russian[0].items[i].id) << "item " << i;
        EXPECT_EQ(english[0].items[i].isSeparator(), russian[0].items[i].isSeparator()) << "item " << i;
        if (!english[0].items[i].isSeparator()) {
            EXPECT_NE(english[0].items[i].text, russian[0].items[i].text) << "item " << i << " is not translated";
        }
    }
}

TEST(StringTable, ProductNameIsTheSameInBothLanguages) {
    // A second copy finds the first by this title whatever the language.
    std::map<WORD, std::wstring> english, russian;
    ASSERT_EQ(stringsIn(kEnglish, english), "");
    ASSERT_EQ(stringsIn(kRussian, russian), "");
    ASSERT_TRUE(english.count(103));
    ASSERT_TRUE(russian.count(103));
    EXPECT_EQ(english[103], russian[103]);
    EXPECT_EQ(english[103], L"Tolvaran");
}

// Every word a Russian user reads: strings, the menu, dialog titles and controls.
std::vector<std::wstring> russianTexts() {
    std::vector<std::wstring> texts;
    std::map<WORD, std::wstring> strings;
    EXPECT_EQ(stringsIn(kRussian, strings), "");
    for (const auto& entry : strings)
        texts.push_back(entry.second);
    std::vector<MenuEntry> menu;
    EXPECT_EQ(menuIn(103, kRussian, menu), "");
    for (const MenuEntry& popup : menu)
        for (const MenuEntry& item : popup.items)
            texts.push_back(item.text);
    for (WORD id : resourceIds(kTypeDialog, kRussian)) {
        HWND dialog = createDialogIn(id, kRussian);
        if (!dialog)
            continue;
        texts.push_back(windowText(dialog));
        for (const std::wstring& text : controlTexts(dialog))
            texts.push_back(text);
        DestroyWindow(dialog);
    }
    return texts;
}

TEST(RussianTexts, AllFitTheCyrillicAnsiCodePage) {
    // The program works in 8-bit text: on a Russian system every Russian text
    // passes through code page 1251 and must come back unchanged.
    ASSERT_TRUE(initCommonControls());
    const std::vector<std::wstring> texts = russianTexts();
    EXPECT_GT(texts.size(), 30u);
    for (const std::wstring& text : texts)
        EXPECT_EQ(throughCodePage(text, 1251), text) << toUtf8(text);
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

}  // namespace
