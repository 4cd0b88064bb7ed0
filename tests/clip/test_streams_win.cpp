// The file and registry streams against the system: the stack-file record
// through a real file, loads of short files, and registry values that are
// there, missing or empty.
#include "ItemCopies.h"
#include "SampleRecord.h"
#include "StreamBytes.h"

#include "clip/ClipFormats.h"
#include "clip/ClipStack.h"
#include "clip/FileStream.h"
#include "clip/FormatNames.h"
#include "clip/RegistryStream.h"
#include "clip/SavedState.h"
#include "clip/SnapshotList.h"

#include <gtest/gtest.h>

#include <windows.h>

#include <string>

namespace {

std::string tempFile(const char* name) {
    char folder[MAX_PATH];
    GetTempPathA(sizeof folder, folder);
    return std::string(folder) + name;
}

// The file's bytes, read past the streams.
std::string fileBytes(const std::string& path) {
    HANDLE file = CreateFileA(path.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING, 0, nullptr);
    if (file == INVALID_HANDLE_VALUE)
        return "<missing>";
    std::string bytes(GetFileSize(file, nullptr), '\0');
    DWORD got = 0;
    ReadFile(file, &bytes[0], static_cast<DWORD>(bytes.size()), &got, nullptr);
    CloseHandle(file);
    return bytes.substr(0, got);
}

void writeFileBytes(const std::string& path, const std::string& bytes) {
    HANDLE file = CreateFileA(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr);
    ASSERT_NE(file, INVALID_HANDLE_VALUE);
    DWORD written = 0;
    WriteFile(file, bytes.data(), static_cast<DWORD>(bytes.size()), &written, nullptr);
    CloseHandle(file);
}

class FileStreams : public ::testing::Test {
protected:
    void TearDown() override {
        SetFileAttributesA(path.c_str(), FILE_ATTRIBUTE_NORMAL);
        DeleteFileA(path.c_str());
    }
    bool openForReading(FileStream& file) {
        return file.open(path.c_str(), GENERIC_READ, 0, OPEN_EXISTING, FILE_ATTRIBUTE_HIDDEN);
    }

    std::string path = tempFile("tolvaran-test-stream.Tolvaran");
};

TEST_F(FileStreams, TheStackFileRecordRoundTrips) {
    {
        SavedState state;
        fillSampleState(state);
        FileStream file;
        ASSERT_TRUE(file.open(path.c_str(), GENERIC_WRITE, 0, CREATE_ALWAYS, FILE_ATTRIBUTE_HIDDEN));
        Archive archive(file, true);
        ASSERT_TRUE(storeSavedState(archive, state));
    }
    EXPECT_NE(GetFileAttributesA(path.c_str()) & FILE_ATTRIBUTE_HIDDEN, 0u);
    EXPECT_EQ(fileBytes(path), sampleRecordBytes());

    FileStream file;
    ASSERT_TRUE(openForReading(file));
    EXPECT_EQ(file.remaining(), sampleRecordBytes().size());
    Archive archive(file, false);
    SavedState loaded;
    ASSERT_TRUE(loadSavedState(archive, loaded));
    EXPECT_EQ(file.remaining(), 0u);
    EXPECT_EQ(loaded.staticEntries.count(), 3);
    ASSERT_EQ(loaded.buttons.count(), 2);
    EXPECT_EQ(loaded.buttons.button(0)->snapshot.get()->count(), 2);
    EXPECT_STREQ(loaded.userName.text(), "Quill");
    char more;
    EXPECT_FALSE(file.read(&more, 1)) << "the end of the file is a failed read, not an empty one";
}

TEST_F(FileStreams, AShortFileFailsAndKeepsWhatWasRead) {
    const std::string record = sampleRecordBytes();
    writeFileBytes(path, record.substr(0, sampleEnds().settings[0]));
    FileStream file;
    ASSERT_TRUE(openForReading(file));
    Archive archive(file, false);
    SavedState loaded;
    EXPECT_FALSE(loadSavedState(archive, loaded));
    EXPECT_EQ(loaded.staticEntries.count(), 3);
    EXPECT_EQ(loaded.colourCounter, 0x01020304u);
    ASSERT_EQ(loaded.buttons.count(), 1);
    EXPECT_TRUE(loaded.buttons.button(0)->snapshot.get()->isEmpty());
}

TEST_F(FileStreams, AHugeSizeInATinyFileIsRefusedBeforeAllocating) {
    // One static entry of one CF_TEXT item announcing 4 GiB less one byte.
    writeFileBytes(path, byteString({0x01, 0x01, 0x01, 0, 0, 0, 0xFF, 0xFF, 0xFF, 0xFF}) + std::string(10, 'x'));
    FileStream file;
    ASSERT_TRUE(openForReading(file));
    EXPECT_EQ(file.remaining(), 20u);
    Archive archive(file, false);
    SavedState loaded;
    EXPECT_FALSE(loadSavedState(archive, loaded));
    EXPECT_EQ(loaded.staticEntries.count(), 0);
}

TEST_F(FileStreams, ShareModeZeroHoldsTheFileUntilTheStreamGoes) {
    writeFileBytes(path, "x");
    {
        FileStream first;
        ASSERT_TRUE(openForReading(first));
        FileStream second;
        EXPECT_FALSE(openForReading(second));
        EXPECT_FALSE(second.isOpen());
        EXPECT_EQ(second.error(), static_cast<DWORD>(ERROR_SHARING_VIOLATION)) << "told apart from a missing file";
    }
    FileStream again;
    EXPECT_TRUE(openForReading(again)) << "the destructor closed the file";
    again.close();
    EXPECT_FALSE(again.isOpen());
    char c;
    EXPECT_FALSE(again.read(&c, 1));
    EXPECT_EQ(again.remaining(), 0u);
}

TEST_F(FileStreams, NoFileNoStream) {
    FileStream file;
    EXPECT_FALSE(file.open((path + ".missing").c_str(), GENERIC_READ, 0, OPEN_EXISTING, 0));
    EXPECT_EQ(file.error(), static_cast<DWORD>(ERROR_FILE_NOT_FOUND));
    EXPECT_EQ(file.handle(), INVALID_HANDLE_VALUE);
    EXPECT_FALSE(file.write("x", 1));
}

// A key of the test's own under HKEY_CURRENT_USER, gone afterwards.
class RegistryStreams : public ::testing::Test {
protected:
    void SetUp() override { RegDeleteTreeA(HKEY_CURRENT_USER, key.c_str()); }
    void TearDown() override { RegDeleteTreeA(HKEY_CURRENT_USER, key.c_str()); }

    bool keyExists() const {
        HKEY opened = nullptr;
        if (RegOpenKeyExA(HKEY_CURRENT_USER, key.c_str(), 0, KEY_READ, &opened) != ERROR_SUCCESS)
            return false;
        RegCloseKey(opened);
        return true;
    }
    // The value's type and bytes, or "<missing>".
    std::string value(DWORD* type = nullptr) const {
        HKEY opened = nullptr;
        if (RegOpenKeyExA(HKEY_CURRENT_USER, key.c_str(), 0, KEY_READ, &opened) != ERROR_SUCCESS)
            return "<missing>";
        DWORD size = 0;
        std::string bytes = "<missing>";
        if (RegQueryValueExA(opened, "Set", nullptr, type, nullptr, &size) == ERROR_SUCCESS) {
            bytes.assign(size, '\0');
            RegQueryValueExA(opened, "Set", nullptr, type, reinterpret_cast<BYTE*>(&bytes[0]), &size);
        }
        RegCloseKey(opened);
        return bytes;
    }
    void setValue(DWORD type, const std::string& bytes) {
        HKEY created = nullptr;
        ASSERT_EQ(RegCreateKeyExA(HKEY_CURRENT_USER, key.c_str(), 0, nullptr, 0, KEY_ALL_ACCESS, nullptr, &created,
                                  nullptr),
                  ERROR_SUCCESS);
        RegSetValueExA(created, "Set", 0, type, reinterpret_cast<const BYTE*>(bytes.data()),
                       static_cast<DWORD>(bytes.size()));
        RegCloseKey(created);
    }

    std::string key = "Software\\Tolvaran-test-streams-" + std::to_string(GetCurrentProcessId());
};

TEST_F(RegistryStreams, AWrittenValueIsCommittedWhole) {
    RegistryStream stream;
    ASSERT_EQ(stream.openForWriting(key.c_str(), "Set"), ERROR_SUCCESS);
    Archive archive(stream, true);
    String name("Quill");
    ASSERT_TRUE(name.serialize(archive));
    EXPECT_EQ(value(), "<missing>") << "nothing is written before the commit";
    EXPECT_EQ(stream.commit(), ERROR_SUCCESS);
    DWORD type = 0;
    EXPECT_EQ(value(&type), byteString({0x05, 'Q', 'u', 'i', 'l', 'l'}));
    EXPECT_EQ(type, static_cast<DWORD>(REG_BINARY));
}

// A save that fails half-way through its record ends the stream without a
// commit: the value the last whole save wrote is what the next start reads.
TEST_F(RegistryStreams, AStreamEndedWithoutACommitLeavesTheValueAsItWas) {
    setValue(REG_BINARY, byteString({0x04, 'A', 'n', 'n', 'a'}));
    {
        RegistryStream stream;
        ASSERT_EQ(stream.openForWriting(key.c_str(), "Set"), ERROR_SUCCESS);
        Archive archive(stream, true);
        // The count of a longer name, and the record stops there.
        archive.writeCount(5);
    }
    EXPECT_EQ(value(), byteString({0x04, 'A', 'n', 'n', 'a'}));
    {
        RegistryStream stream;
        ASSERT_EQ(stream.openForWriting(key.c_str(), "Set"), ERROR_SUCCESS);
        Archive archive(stream, true);
        ASSERT_TRUE(String("Quill").serialize(archive));
        stream.close();
        EXPECT_EQ(stream.commit(), static_cast<LONG>(ERROR_INVALID_HANDLE)) << "closed: nothing left to commit";
    }
    EXPECT_EQ(value(), byteString({0x04, 'A', 'n', 'n', 'a'}));
}

TEST_F(RegistryStreams, AValueReadsBack) {
    setValue(REG_BINARY, byteString({0x05, 'Q', 'u', 'i', 'l', 'l'}));
    RegistryStream stream;
    ASSERT_EQ(stream.openForReading(key.c_str(), "Set"), ERROR_SUCCESS);
    EXPECT_EQ(stream.remaining(), 6u);
    Archive archive(stream, false);
    String name;
    ASSERT_TRUE(name.serialize(archive));
    EXPECT_STREQ(name.text(), "Quill");
    stream.close();
    EXPECT_EQ(value(), byteString({0x05, 'Q', 'u', 'i', 'l', 'l'})) << "reading writes nothing back";
}

TEST_F(RegistryStreams, TheValueTypePlaysNoPart) {
    setValue(REG_EXPAND_SZ, std::string("%USERPROFILE%\\Documents", 24));
    RegistryStream stream;
    ASSERT_EQ(stream.openForReading(key.c_str(), "Set"), ERROR_SUCCESS);
    EXPECT_EQ(stream.remaining(), 24u);
}

TEST_F(RegistryStreams, AMissingKeyIsNotFoundAndReadingCreatesNothing) {
    ASSERT_FALSE(keyExists());
    RegistryStream stream;
    EXPECT_EQ(stream.openForReading(key.c_str(), "Set"), ERROR_FILE_NOT_FOUND);
    EXPECT_FALSE(stream.isOpen());
    EXPECT_FALSE(keyExists());
}

TEST_F(RegistryStreams, AMissingOrEmptyValueIsNotFound) {
    setValue(REG_BINARY, "");
    RegistryStream stream;
    EXPECT_EQ(stream.openForReading(key.c_str(), "Set"), ERROR_FILE_NOT_FOUND) << "empty";
    EXPECT_EQ(stream.openForReading(key.c_str(), "Other"), ERROR_FILE_NOT_FOUND) << "missing";
}

TEST_F(RegistryStreams, ARecordBiggerThanAStepGrowsTheBlockAndComesBack) {
    SavedState state;
    fillSampleState(state);
    state.staticEntries.entry(0)->append(dataItem(clipformat::dib, std::string(10000, 'd')));
    std::string expected;
    {
        RegistryStream stream;
        ASSERT_EQ(stream.openForWriting(key.c_str(), "Set"), ERROR_SUCCESS);
        Archive archive(stream, true);
        ASSERT_TRUE(storeSavedState(archive, state));
        EXPECT_EQ(memoryblock::size(stream.block()), 12288u);
        expected = storedBytes([&state](Archive& out) { storeSavedState(out, state); });
        ASSERT_EQ(stream.commit(), ERROR_SUCCESS);
    }
    EXPECT_EQ(value(), expected);
    RegistryStream stream;
    ASSERT_EQ(stream.openForReading(key.c_str(), "Set"), ERROR_SUCCESS);
    Archive archive(stream, false);
    SavedState loaded;
    ASSERT_TRUE(loadSavedState(archive, loaded));
    ASSERT_EQ(loaded.staticEntries.entry(0)->count(), 2);
    EXPECT_EQ(dataOf(*loaded.staticEntries.entry(0)->item(1)), std::string(10000, 'd'));
}

// Items as the clipboard gives them: copies of global blocks, and formats
// the system registered.

TEST(ClipboardItems, ACopiedBlockIsStoredWhole) {
    HGLOBAL source = GlobalAlloc(GMEM_MOVEABLE, 3);
    std::memcpy(GlobalLock(source), "AB", 3);
    GlobalUnlock(source);
    ClipSnapshot snapshot;
    snapshot.append(newCopy(CF_TEXT, source));
    GlobalFree(source);
    const std::string bytes = storedBytes([&snapshot](Archive& archive) { snapshot.serialize(archive); });
    EXPECT_EQ(bytes, byteString({0x01, 0x01, 0, 0, 0, 0x03, 0, 0, 0, 0x41, 0x42, 0x00}));

    LoadingArchive in(bytes);
    ClipSnapshot loaded;
    ASSERT_TRUE(loaded.serialize(in.get()));
    HGLOBAL block = loaded.item(0)->block();
    EXPECT_EQ(GlobalSize(block), 3u);
    EXPECT_NE(GlobalFlags(block) & GMEM_DDESHARE, 0u) << "loaded blocks are made to be shared";
}

TEST(ClipboardItems, TheSystemsNameTableIsTheSeam) {
    const UINT format = RegisterClipboardFormatA("Tolvaran Seam Test");
    EXPECT_EQ(registerFormatName("tolvaran seam test"), format);
    EXPECT_STREQ(registeredFormatName(format).text(), "Tolvaran Seam Test");
    EXPECT_STREQ(registeredFormatName(CF_TEXT).text(), "") << "a standard format has no registered name";
    EXPECT_EQ(registerFormatName(""), 0u);
}

// The live stack goes through the same layout as the saved state's list.
TEST(ClipboardItems, AClipStackUsesTheStackLayout) {
    ClipStack stack(ClipStack::staticLimit);
    auto* first = new ClipSnapshot;
    first->append(dataItem(CF_TEXT, std::string("AB", 3)));
    stack.append(first);
    stack.append(new ClipSnapshot);
    const std::string bytes = storedBytes([&stack](Archive& archive) { serializeStack(archive, stack); });
    EXPECT_EQ(bytes, byteString({0x02, 0x01, 0x01, 0, 0, 0, 0x03, 0, 0, 0, 0x41, 0x42, 0x00, 0x00}));

    LoadingArchive in(bytes);
    ASSERT_TRUE(serializeStack(in.get(), stack));
    ASSERT_EQ(stack.count(), 4) << "loading appends after the entries there";
    EXPECT_EQ(stack.entry(0), first);
    EXPECT_EQ(dataOf(*stack.entry(2)->item(0)), std::string("AB", 3));
    EXPECT_TRUE(stack.entry(3)->isEmpty());
}

}  // namespace
