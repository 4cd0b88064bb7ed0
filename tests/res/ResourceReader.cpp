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
    void skip(size_t count) {
        if (need(count))
            pos += count;
    }
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

std::string stringsIn(LANGID language, std::map<WORD, std::wstring>& out) {
    for (WORD block : resourceIds(kTypeString, language)) {
        std::vector<BYTE> bytes;
        if (!resourceBytes(kTypeString, block, language, bytes))
            return "string block " + std::to_string(block) + " vanished";
        std::string error = parseStringBlock(bytes, block, out);
        if (!error.empty())
            return error;
    }
    return "";
}

std::string menuIn(WORD id, LANGID language, std::vector<MenuEntry>& out) {
    std::vector<BYTE> bytes;
    if (!resourceBytes(kTypeMenu, id, language, bytes))
        return "no menu " + std::to_string(id);
    return parseMenu(bytes, out);
}
