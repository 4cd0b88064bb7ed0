#include "ResourceReader.h"

#include <cstring>

namespace {

// Reads little-endian fields from a byte block; the first read past the end
// sets the failure and every later read returns zeros.
class ByteReader {
public:
    explicit ByteReader(const std::vector<BYTE>& bytes) : data(bytes) {}

    bool failed() const { return failure; }

    WORD word() {
        if (!need(2))
            return 0;
        WORD value = static_cast<WORD>(data[pos] | (data[pos + 1] << 8));
        pos += 2;
        return value;
    }
    DWORD dword() {
        DWORD low = word();
        DWORD high = word();
        return low | (high << 16);
    }
    short shortValue() { return static_cast<short>(word()); }

    void skip(size_t count) {
        if (need(count))
            pos += count;
    }
    // Template items start on a 4-byte boundary from the template's start.
    void alignToDword() { skip((4 - pos % 4) % 4); }

    // A NUL-terminated UTF-16 string; the resource's end bounds it.
    std::wstring string() {
        std::wstring text;
        while (!failure) {
            WORD c = word();
            if (c == 0)
                break;
            text.push_back(static_cast<wchar_t>(c));
        }
        return text;
    }
    NameOrOrdinal nameOrOrdinal() {
        NameOrOrdinal field;
        WORD first = word();
        if (first == 0xFFFF) {
            field.isOrdinal = true;
            field.ordinal = word();
        } else if (first != 0) {
            field.name.push_back(static_cast<wchar_t>(first));
            field.name += string();
        }
        return field;
    }

private:
    bool need(size_t count) {
        if (failure || data.size() - pos < count)
            failure = true;
        return !failure;
    }

    const std::vector<BYTE>& data;
    size_t pos = 0;
    bool failure = false;
};

// Menus nest, but never this deep.
constexpr int kMaxMenuDepth = 8;
// No template of the program comes close to these.
constexpr size_t kMaxMenuEntries = 1000;
constexpr WORD kMaxDialogControls = 200;

std::string parseMenuLevel(ByteReader& reader, int depth, size_t& entries, std::vector<MenuEntry>& out) {
    if (depth > kMaxMenuDepth)
        return "menu nested deeper than " + std::to_string(kMaxMenuDepth) + " levels";
    for (;;) {
        if (++entries > kMaxMenuEntries)
            return "more than " + std::to_string(kMaxMenuEntries) + " menu entries";
        MenuEntry entry;
        WORD option = reader.word();
        entry.flags = option & ~MF_END;
        if (!entry.isPopup())
            entry.id = reader.word();
        entry.text = reader.string();
        if (reader.failed())
            return "menu template ends inside an entry";
        if (entry.isPopup()) {
            std::string error = parseMenuLevel(reader, depth + 1, entries, entry.items);
            if (!error.empty())
                return error;
        }
        out.push_back(std::move(entry));
        if (option & MF_END)
            return "";
    }
}

BOOL CALLBACK collectId(HMODULE, LPCWSTR, LPWSTR name, LONG_PTR context) {
    if (IS_INTRESOURCE(name))
        reinterpret_cast<std::vector<WORD>*>(context)->push_back(static_cast<WORD>(reinterpret_cast<ULONG_PTR>(name)));
    return TRUE;
}

BOOL CALLBACK collectLanguage(HMODULE, LPCWSTR, LPCWSTR, WORD language, LONG_PTR context) {
    reinterpret_cast<std::vector<LANGID>*>(context)->push_back(language);
    return TRUE;
}

}  // namespace

HMODULE resourceModule() {
    return GetModuleHandleW(nullptr);
}

bool resourceBytes(ResourceType type, WORD id, LANGID language, std::vector<BYTE>& out) {
    out.clear();
    HRSRC found = FindResourceExW(resourceModule(), MAKEINTRESOURCEW(type), MAKEINTRESOURCEW(id), language);
    if (!found)
        return false;
    DWORD size = SizeofResource(resourceModule(), found);
    HGLOBAL loaded = LoadResource(resourceModule(), found);
    const void* data = loaded ? LockResource(loaded) : nullptr;
    if (!data)
        return false;
    out.resize(size);
    if (size)
        std::memcpy(out.data(), data, size);
    return true;
}

std::vector<WORD> resourceIds(ResourceType type, LANGID language) {
    std::vector<WORD> all;
    EnumResourceNamesW(resourceModule(), MAKEINTRESOURCEW(type), collectId, reinterpret_cast<LONG_PTR>(&all));
    std::vector<WORD> inLanguage;
    for (WORD id : all) {
        if (FindResourceExW(resourceModule(), MAKEINTRESOURCEW(type), MAKEINTRESOURCEW(id), language))
            inLanguage.push_back(id);
    }
    return inLanguage;
}

std::vector<LANGID> resourceLanguages(ResourceType type, WORD id) {
    std::vector<LANGID> languages;
    EnumResourceLanguagesW(resourceModule(), MAKEINTRESOURCEW(type), MAKEINTRESOURCEW(id), collectLanguage,
                           reinterpret_cast<LONG_PTR>(&languages));
    return languages;
}

std::wstring NameOrOrdinal::text() const {
    if (isOrdinal)
        return L"#" + std::to_wstring(ordinal);
    return name;
}

std::wstring DialogControl::className() const {
    if (!windowClass.isOrdinal)
        return windowClass.name;
    switch (windowClass.ordinal) {
    case 0x80: return L"Button";
    case 0x81: return L"Edit";
    case 0x82: return L"Static";
    case 0x83: return L"ListBox";
    case 0x84: return L"ScrollBar";
    case 0x85: return L"ComboBox";
    default: return windowClass.text();
    }
}

std::string parseDialog(const std::vector<BYTE>& bytes, DialogTemplate& out) {
    out = DialogTemplate();
    ByteReader reader(bytes);
    // DIALOGEX templates start with version 1 and the signature 0xFFFF; the
    // program's templates are all the plain kind.
    if (bytes.size() >= 4 && bytes[0] == 1 && bytes[1] == 0 && bytes[2] == 0xFF && bytes[3] == 0xFF)
        return "extended dialog template where a plain one was expected";
    out.style = reader.dword();
    out.exStyle = reader.dword();
    WORD count = reader.word();
    out.x = reader.shortValue();
    out.y = reader.shortValue();
    out.cx = reader.shortValue();
    out.cy = reader.shortValue();
    out.menu = reader.nameOrOrdinal();
    out.windowClass = reader.nameOrOrdinal();
    out.title = reader.string();
    if (out.style & DS_SETFONT) {
        out.pointSize = reader.word();
        out.typeface = reader.string();
    }
    if (reader.failed())
        return "dialog template ends inside its header";
    if (count > kMaxDialogControls)
        return "dialog template claims " + std::to_string(count) + " controls";
    for (WORD i = 0; i < count; ++i) {
        reader.alignToDword();
        DialogControl control;
        control.style = reader.dword();
        control.exStyle = reader.dword();
        control.x = reader.shortValue();
        control.y = reader.shortValue();
        control.cx = reader.shortValue();
        control.cy = reader.shortValue();
        control.id = static_cast<short>(reader.word());
        control.windowClass = reader.nameOrOrdinal();
        control.text = reader.nameOrOrdinal();
        control.extraBytes = reader.word();
        reader.skip(control.extraBytes);
        if (reader.failed())
            return "dialog template ends inside control " + std::to_string(i);
        out.controls.push_back(std::move(control));
    }
    return "";
}

std::string parseMenu(const std::vector<BYTE>& bytes, std::vector<MenuEntry>& out) {
    out.clear();
    ByteReader reader(bytes);
    WORD version = reader.word();
    WORD headerSize = reader.word();
    if (reader.failed())
        return "menu template shorter than its header";
    if (version != 0)
        return "menu template of version " + std::to_string(version) + ", not a plain menu";
    reader.skip(headerSize);
    size_t entries = 0;
    return parseMenuLevel(reader, 0, entries, out);
}

std::string parseStringBlock(const std::vector<BYTE>& bytes, WORD blockId, std::map<WORD, std::wstring>& out) {
    if (blockId == 0)
        return "string block 0 does not exist";
    ByteReader reader(bytes);
    for (WORD i = 0; i < 16; ++i) {
        WORD length = reader.word();
        std::wstring text;
        for (WORD c = 0; c < length && !reader.failed(); ++c)
            text.push_back(static_cast<wchar_t>(reader.word()));
        if (reader.failed())
            return "string block " + std::to_string(blockId) + " ends inside string " + std::to_string(i);
        if (length)
            out[static_cast<WORD>((blockId - 1) * 16 + i)] = text;
    }
    return "";
}

std::wstring fromUtf8(const char* text) {
    int length = MultiByteToWideChar(CP_UTF8, MB_ERR_INVALID_CHARS, text, -1, nullptr, 0);
    if (length <= 0)
        return L"<invalid UTF-8>";
    std::wstring wide(static_cast<size_t>(length), L'\0');
    MultiByteToWideChar(CP_UTF8, MB_ERR_INVALID_CHARS, text, -1, &wide[0], length);
    wide.resize(static_cast<size_t>(length - 1));
    return wide;
}

std::string toCodePage(const std::wstring& text, UINT codePage) {
    if (text.empty())
        return "";
    int length = WideCharToMultiByte(codePage, 0, text.data(), static_cast<int>(text.size()), nullptr, 0, nullptr, nullptr);
    if (length <= 0)
        return "";
    std::string bytes(static_cast<size_t>(length), '\0');
    WideCharToMultiByte(codePage, 0, text.data(), static_cast<int>(text.size()), &bytes[0], length, nullptr, nullptr);
    return bytes;
}

std::wstring throughCodePage(const std::wstring& text, UINT codePage) {
    std::string bytes = toCodePage(text, codePage);
    if (bytes.empty())
        return L"";
    int length = MultiByteToWideChar(codePage, 0, bytes.data(), static_cast<int>(bytes.size()), nullptr, 0);
    if (length <= 0)
        return L"";
    std::wstring back(static_cast<size_t>(length), L'\0');
    MultiByteToWideChar(codePage, 0, bytes.data(), static_cast<int>(bytes.size()), &back[0], length);
    return back;
}

std::string toUtf8(const std::wstring& text) {
    return toCodePage(text, CP_UTF8);
}
