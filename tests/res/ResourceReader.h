// Reads this executable's compiled resources in one chosen language and takes
// menu templates and string-table blocks apart by hand.
// Every read is checked against the resource's size, so a damaged resource
// gives an error message instead of a read past its end.
#pragma once

#include <windows.h>

#include <map>
#include <string>
#include <vector>

constexpr LANGID kEnglish = MAKELANGID(LANG_ENGLISH, SUBLANG_ENGLISH_US);  // 0x409
constexpr LANGID kRussian = MAKELANGID(LANG_RUSSIAN, SUBLANG_DEFAULT);     // 0x419

// Resource types by number: the RT_ names are narrow strings in this build.
enum ResourceType : WORD {
    kTypeBitmap = 2,
    kTypeIcon = 3,
    kTypeMenu = 4,
    kTypeDialog = 5,
    kTypeString = 6,
    kTypeGroupIcon = 14,
    kTypeVersion = 16,
    kTypeManifest = 24,
};

// The module that holds the resources: this test executable.
HMODULE resourceModule();

// The bytes of one resource in exactly this language; false when it has none.
bool resourceBytes(ResourceType type, WORD id, LANGID language, std::vector<BYTE>& out);

// The integer IDs of every resource of a type that exists in the language.
std::vector<WORD> resourceIds(ResourceType type, LANGID language);

// The languages one resource exists in.
std::vector<LANGID> resourceLanguages(ResourceType type, WORD id);

struct MenuEntry {
    WORD flags = 0;  // the template's option word without MF_END
    WORD id = 0;     // popups have none
    std::wstring text;
    std::vector<MenuEntry> items;  // a popup's own entries

    bool isPopup() const { return (flags & MF_POPUP) != 0; }
    // A separator is stored as an item with neither an ID nor a text.
    bool isSeparator() const { return (flags & MF_SEPARATOR) != 0 || (!isPopup() && id == 0 && text.empty()); }
};

// Each parser returns an empty string on success, otherwise what was wrong.
std::string parseMenu(const std::vector<BYTE>& bytes, std::vector<MenuEntry>& out);
// Block n holds strings 16 * (n - 1) to 16 * n - 1; absent strings are left out.
std::string parseStringBlock(const std::vector<BYTE>& bytes, WORD blockId, std::map<WORD, std::wstring>& out);

// Every string of the table in exactly this language, and one menu.
std::string stringsIn(LANGID language, std::map<WORD, std::wstring>& out);
std::string menuIn(WORD id, LANGID language, std::vector<MenuEntry>& out);

// Text conversions for values written as UTF-8 in the tests.
std::wstring fromUtf8(const char* text);
std::string toUtf8(const std::wstring& text);
// The bytes a code page gives for the text; characters it lacks become '?'.
std::string toCodePage(const std::wstring& text, UINT codePage);
// The text after a trip through a code page and back, as an ANSI window's
// text comes out of its UTF-16 template.
std::wstring throughCodePage(const std::wstring& text, UINT codePage);
