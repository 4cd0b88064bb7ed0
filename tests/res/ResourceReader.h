// Reads this executable's compiled resources in one chosen language and takes
// dialog templates, menu templates and string-table blocks apart by hand.
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

// A class, menu or text field of a template: a name, an ordinal or nothing.
struct NameOrOrdinal {
    bool isOrdinal = false;
    WORD ordinal = 0;
    std::wstring name;

    // The name, "#<ordinal>" for an ordinal, empty for nothing.
    std::wstring text() const;
};

struct DialogControl {
    DWORD style = 0;
    DWORD exStyle = 0;
    short x = 0, y = 0, cx = 0, cy = 0;
    int id = 0;  // sign-extended, so unnamed controls read -1
    NameOrOrdinal windowClass;
    NameOrOrdinal text;
    WORD extraBytes = 0;

    // The class name, with the predefined ordinals turned into their names.
    std::wstring className() const;
};

struct DialogTemplate {
    DWORD style = 0;
    DWORD exStyle = 0;
    short x = 0, y = 0, cx = 0, cy = 0;
    NameOrOrdinal menu;
    NameOrOrdinal windowClass;
    std::wstring title;
    WORD pointSize = 0;
    std::wstring typeface;
    std::vector<DialogControl> controls;
};

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
std::string parseDialog(const std::vector<BYTE>& bytes, DialogTemplate& out);
std::string parseMenu(const std::vector<BYTE>& bytes, std::vector<MenuEntry>& out);
// Block n holds strings 16 * (n - 1) to 16 * n - 1; absent strings are left out.
std::string parseStringBlock(const std::vector<BYTE>& bytes, WORD blockId, std::map<WORD, std::wstring>& out);

// Text conversions for expected values written as UTF-8 in the tests.
std::wstring fromUtf8(const char* text);
std::string toUtf8(const std::wstring& text);
// The bytes a code page gives for the text; characters it lacks become '?'.
std::string toCodePage(const std::wstring& text, UINT codePage);
// The text after a trip through a code page and back, as an ANSI window's
// text comes out of its UTF-16 template.
std::wstring throughCodePage(const std::wstring& text, UINT codePage);
