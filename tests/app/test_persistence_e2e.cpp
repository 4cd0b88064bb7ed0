// Saved state through the real program: what it loads at start it writes
// back at exit byte for byte, and what the user pins survives an exit the
// program does not see coming.
#include "SampleRecord.h"
#include "TrayFixture.h"
#include "base/Archive.h"
#include "base/MemoryStream.h"
#include "base/String.h"
#include "clip/SavedState.h"
#include "driver/AppState.h"
#include "driver/Clipboard.h"
#include "driver/Menus.h"
#include "driver/Wait.h"
#include "res/resource.h"
#include "tray/ButtonColours.h"

#include <windows.h>

#include <algorithm>
#include <cstring>
#include <fstream>
#include <iterator>
#include <string>
#include <utility>

namespace {

std::string documentsFolder() {
    char raw[MAX_PATH] = {};
    DWORD size = sizeof raw;
    RegGetValueA(HKEY_CURRENT_USER, "Software\\Microsoft\\Windows\\CurrentVersion\\Explorer\\User Shell Folders",
                 "Personal", RRF_RT_REG_SZ | RRF_RT_REG_EXPAND_SZ | RRF_NOEXPAND, nullptr, raw, &size);
    char expanded[MAX_PATH] = {};
    ExpandEnvironmentStringsA(raw, expanded, sizeof expanded);
    return expanded;
}

std::string stackFile(const std::string& name) {
    return documentsFolder() + "\\" + name + ".Tolvaran";
}

std::string logonName() {
    char name[257] = {};
    DWORD size = sizeof name;
    GetUserNameA(name, &size);
    return name;
}

std::string readFile(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

void writeFile(const std::string& path, const std::string& bytes) {
    DeleteFileA(path.c_str());
    std::ofstream(path, std::ios::binary) << bytes;
}

// Points "Set" at a user name, as a save would.
void setSavedName(const char* name) {
    HKEY key = nullptr;
    RegCreateKeyExA(HKEY_CURRENT_USER, "Software\\Quilnor\\Tolvaran", 0, nullptr, 0, KEY_ALL_ACCESS, nullptr, &key,
                    nullptr);
    std::string value(1, static_cast<char>(std::strlen(name)));
    value += name;
    RegSetValueExA(key, "Set", 0, REG_BINARY, reinterpret_cast<const BYTE*>(value.data()),
                   static_cast<DWORD>(value.size()));
    RegCloseKey(key);
}

bool parse(const std::string& bytes, SavedState& state) {
    MemoryStream stream;
    stream.create(4096, true);
    stream.write(bytes.data(), static_cast<std::uint32_t>(bytes.size()));
    stream.close();
    MemoryStream reader;
    reader.attach(stream.block());
    Archive archive(reader, false);
    return loadSavedState(archive, state);
}

std::string toBytes(const SavedState& state) {
    MemoryStream stream;
    stream.create(4096, true);
    Archive archive(stream, true);
    storeSavedState(archive, state);
    stream.close();
    MemoryStream reader;
    reader.attach(stream.block());
    std::string bytes(stream.position(), '\0');
    reader.read(bytes.data(), stream.position());
    return bytes;
}

// Whole: the record reads to its end and nothing follows.
bool loadsWhole(const std::string& bytes, int statics) {
    SavedState state;
    return parse(bytes, state) && state.staticEntries.count() == statics;
}

class SavedStateTest : public ::testing::Test {
protected:
    void SetUp() override {
        forgetSavedState();
        DeleteFileA(stackFile("Quill").c_str());
    }
    void startAndWait() {
        ASSERT_TRUE(app.start());
        ASSERT_NE(app.waitForMainWindow(), nullptr);
        ASSERT_TRUE(app.flush());
    }
    void exitAndWait() {
        PostMessageA(app.mainWindow(), WM_COMMAND, CMD_EXIT, 0);
        DWORD code = 1234;
        ASSERT_TRUE(app.waitExit(10000, &code));
        ASSERT_EQ(code, 0u);
    }
    AppProcess app;
};

TEST_F(SavedStateTest, WhatIsLoadedAtStartIsWrittenBackAtExitByteForByte) {
    setSavedName("Quill");
    writeFile(stackFile("Quill"), sampleRecordBytes());
    startAndWait();
    exitAndWait();
    EXPECT_EQ(readFile(stackFile("Quill")), sampleRecordBytes());
    EXPECT_EQ(GetFileAttributesA(stackFile("Quill").c_str()) & FILE_ATTRIBUTE_HIDDEN,
              static_cast<DWORD>(FILE_ATTRIBUTE_HIDDEN));

    // New buttons continue from the saved colour counter.
    startAndWait();
    PostMessageA(app.mainWindow(), WM_COMMAND, CMD_ADD_BUTTON, 0);
    ASSERT_TRUE(app.flush());
    exitAndWait();
    SavedState state;
    ASSERT_TRUE(parse(readFile(stackFile("Quill")), state));
    ASSERT_EQ(state.buttons.count(), 3);
    const ButtonColours expected = buttonColoursFor(0x01020304);
    EXPECT_EQ(state.buttons.button(2)->colour, expected.face);
    EXPECT_EQ(state.buttons.button(2)->accentColour, expected.accent);
    EXPECT_EQ(state.colourCounter, 0x01020305u);
    EXPECT_EQ(state.activeIndex, 2u);
    EXPECT_STREQ(state.userName.text(), "Quill");
    EXPECT_EQ(state.staticEntries.count(), 3);
}

// "Set" as the registry holds it: a count and the characters.
std::string savedNameValue() {
    char value[300] = {};
    DWORD size = sizeof value;
    if (RegGetValueA(HKEY_CURRENT_USER, "Software\\Quilnor\\Tolvaran", "Set", RRF_RT_REG_BINARY, nullptr, value,
                     &size) != ERROR_SUCCESS)
        return "";
    return std::string(value, size);
}

TEST_F(SavedStateTest, PinnedTextPictureAndFilesComeBackAsTheyWere) {
    SavedState state;
    const std::string dib = std::string("\x28\0\0\0\x02\0\0\0\x02\0\0\0\x01\0\x18\0", 16) + std::string(24 + 16, '\x7f');
    const std::string drop = std::string("\x14\0\0\0", 4) + std::string(12, '\0') + "C:\\one.txt" + '\0' + '\0';
    for (const auto& [format, bytes] : {std::pair<unsigned, std::string>{1, std::string("text\0", 5)}, {8, dib}, {15, drop}}) {
        auto* snapshot = new ClipSnapshot;
        snapshot->append(dataItem(format, std::string(bytes.data(), bytes.size())));
        state.staticEntries.append(snapshot);
    }
    state.colourCounter = 7;
    SavedButton* first = state.buttons.addButton();
    first->colour = 0x00FF0000;
    first->accentColour = 0x00800000;
    first->shared = true;
    first->allUsers = false;
    first->allowedUsers.add("anna");
    first->allowedUsers.add("ANNA-PC");
    auto* held = new ClipSnapshot;
    held->append(dataItem(1, std::string("held\0", 5)));
    first->snapshot.own(held);
    SavedButton* second = state.buttons.addButton();
    second->colour = 0x0000FF00;
    second->accentColour = 0x00008000;
    second->wasActive = true;
    state.activeIndex = 1;
    state.userName.assign("Quill");
    const std::string bytes = toBytes(state);

    setSavedName("Quill");
    writeFile(stackFile("Quill"), bytes);
    startAndWait();
    exitAndWait();
    EXPECT_EQ(readFile(stackFile("Quill")), bytes);
    EXPECT_EQ(savedNameValue(), std::string("\x05Quill"));
}

TEST_F(SavedStateTest, ADamagedFileIsKeptAsideAndTheProgramStartsWithWhatItCouldRead) {
    setSavedName("Quill");
    const std::string whole = sampleRecordBytes();
    // Cut inside the second button's settings.
    const std::string damaged = whole.substr(0, sampleEnds().settings[1] - 1);
    writeFile(stackFile("Quill"), damaged);
    DeleteFileA((stackFile("Quill") + ".damaged").c_str());
    DeleteFileA(stackFile(logonName()).c_str());
    startAndWait();
    EXPECT_EQ(readFile(stackFile("Quill") + ".damaged"), damaged) << "kept aside, untouched";
    exitAndWait();
    // The name was past the damage: the program went by the logon name.
    SavedState state;
    EXPECT_TRUE(parse(readFile(stackFile(logonName())), state)) << "the next save is whole again";
    const SampleEnds ends = sampleEnds();
    const int buttonsBefore = (ends.settings[0] <= damaged.size()) + (ends.settings[1] <= damaged.size());
    const int staticsBefore = (ends.statics[0] <= damaged.size()) + (ends.statics[1] <= damaged.size()) +
                              (ends.statics[2] <= damaged.size());
    EXPECT_EQ(state.buttons.count(), buttonsBefore) << "the buttons read before the damage";
    EXPECT_EQ(state.staticEntries.count(), staticsBefore);
    EXPECT_EQ(readFile(stackFile("Quill") + ".damaged"), damaged);
    DeleteFileA((stackFile("Quill") + ".damaged").c_str());
}

TEST_F(SavedStateTest, AKillDuringASaveLeavesTheOldOrTheNewFileWhole) {
    const int statics = 15;
    SavedState big;
    for (int i = 0; i < statics; ++i) {
        auto* snapshot = new ClipSnapshot;
        snapshot->append(dataItem(1, std::string(1 << 20, static_cast<char>('a' + i)) + '\0'));
        big.staticEntries.append(snapshot);
    }
    big.buttons.addButton()->wasActive = true;
    big.userName.assign("Quill");
    const std::string bytes = toBytes(big);
    setSavedName("Quill");
    writeFile(stackFile("Quill"), bytes);

    for (DWORD delay : {0u, 2u, 5u, 10u, 20u, 40u, 80u, 160u}) {
        SCOPED_TRACE(delay);
        startAndWait();
        // A save at once, as at the end of a session; the kill comes somewhere in it.
        PostMessageA(app.mainWindow(), WM_ENDSESSION, TRUE, 0);
        Sleep(delay);
        app.kill();
        ASSERT_TRUE(loadsWhole(readFile(stackFile("Quill")), statics));
    }
}

// Closes the program's message box, once it shows, and returns its text.
std::string dismissBox(AppProcess& app) {
    HWND box = waitForBoxOf(app.id());
    if (!box)
        return "<no box>";
    const std::string text = boxText(box);
    PostMessageA(box, WM_COMMAND, IDOK, 0);
    waitUntil([box] { return !IsWindow(box); });
    return text;
}

// A file the program could not read, or read but could not move aside, is
// never replaced in that run: the user is told, the run's state goes beside
// it, and "Set" still points at it for the next start, which takes in what
// was saved beside it.
TEST_F(SavedStateTest, AStackFileThatCannotBeReadOrKeptAsideIsNeverSavedOver) {
    const std::string path = stackFile("Quill");
    const std::string beside = path + ".while-unreadable";
    DeleteFileA(beside.c_str());
    setSavedName("Quill");
    writeFile(path, sampleRecordBytes());
    {
        // Held open by another program with no sharing, all through the start.
        HANDLE held = CreateFileA(path.c_str(), GENERIC_READ, 0, nullptr, OPEN_EXISTING, 0, nullptr);
        ASSERT_NE(held, INVALID_HANDLE_VALUE);
        ASSERT_TRUE(app.start());
        ASSERT_NE(app.waitForMainWindow(), nullptr);
        EXPECT_NE(dismissBox(app).find(path), std::string::npos) << "the user is told which file";
        PostMessageA(app.mainWindow(), WM_COMMAND, CMD_ADD_BUTTON, 0);
        ASSERT_TRUE(app.flush());
        exitAndWait();
        CloseHandle(held);
    }
    EXPECT_EQ(readFile(path), sampleRecordBytes()) << "untouched";
    EXPECT_EQ(savedNameValue(), std::string("\x05Quill"));
    SavedState besideState;
    ASSERT_TRUE(parse(readFile(beside), besideState)) << "the run's state went beside it";
    EXPECT_EQ(besideState.buttons.count(), 2);
    EXPECT_STREQ(besideState.userName.text(), "Quill");

    // The next start goes on from the changes that run made: the older file
    // is kept aside, the user is told once, and nothing of either is lost.
    const std::string older = path + ".older";
    DeleteFileA(older.c_str());
    ASSERT_TRUE(app.start());
    ASSERT_NE(app.waitForMainWindow(), nullptr);
    const std::string told = dismissBox(app);
    EXPECT_NE(told.find(beside), std::string::npos) << told;
    EXPECT_NE(told.find(older), std::string::npos) << told;
    exitAndWait();
    EXPECT_EQ(readFile(older), sampleRecordBytes()) << "kept aside, untouched";
    SavedState restored;
    ASSERT_TRUE(parse(readFile(path), restored));
    EXPECT_EQ(restored.buttons.count(), 2) << "the button added while the file was held";
    EXPECT_EQ(restored.staticEntries.count(), besideState.staticEntries.count());
    EXPECT_EQ(GetFileAttributesA(beside.c_str()), INVALID_FILE_ATTRIBUTES) << "taken in, not left to be saved over";
    startAndWait();
    EXPECT_EQ(waitForBoxOf(app.id(), 0), nullptr) << "told once";
    exitAndWait();
    DeleteFileA(older.c_str());

    // Damaged, and held so that it cannot be moved aside.
    const std::string damaged = sampleRecordBytes().substr(0, sampleEnds().settings[1] - 1);
    writeFile(path, damaged);
    DeleteFileA(beside.c_str());
    {
        HANDLE held = CreateFileA(path.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING, 0, nullptr);
        ASSERT_NE(held, INVALID_HANDLE_VALUE);
        ASSERT_TRUE(app.start());
        ASSERT_NE(app.waitForMainWindow(), nullptr);
        EXPECT_NE(dismissBox(app), "<no box>");
        exitAndWait();
        CloseHandle(held);
    }
    EXPECT_EQ(readFile(path), damaged) << "untouched";
    SavedState keptBeside;
    EXPECT_TRUE(parse(readFile(beside), keptBeside)) << "what could be read went beside it";
    EXPECT_EQ(keptBeside.staticEntries.count(), 3);
    DeleteFileA(beside.c_str());
}

// A side file that is damaged is no state to go on from: it is kept aside
// like a damaged stack file, and the stack file loads as it is.
TEST_F(SavedStateTest, ADamagedSideFileIsKeptAsideAndTheStackFileLoads) {
    const std::string path = stackFile("Quill");
    const std::string beside = path + ".while-unreadable";
    const std::string damaged = sampleRecordBytes().substr(0, sampleEnds().settings[0] - 1);
    setSavedName("Quill");
    writeFile(path, sampleRecordBytes());
    DeleteFileA((beside + ".damaged").c_str());
    writeFile(beside, damaged);
    // Written after the stack file, so newer.
    FILETIME later{};
    GetSystemTimeAsFileTime(&later);
    HANDLE side = CreateFileA(beside.c_str(), FILE_WRITE_ATTRIBUTES, 0, nullptr, OPEN_EXISTING, 0, nullptr);
    ASSERT_NE(side, INVALID_HANDLE_VALUE);
    ULARGE_INTEGER time{};
    time.LowPart = later.dwLowDateTime;
    time.HighPart = later.dwHighDateTime;
    time.QuadPart += 10ull * 1000 * 1000 * 60;  // a minute ahead
    later.dwLowDateTime = time.LowPart;
    later.dwHighDateTime = time.HighPart;
    SetFileTime(side, nullptr, nullptr, &later);
    CloseHandle(side);

    startAndWait();
    EXPECT_EQ(waitForBoxOf(app.id(), 0), nullptr);
    exitAndWait();
    EXPECT_EQ(readFile(beside + ".damaged"), damaged) << "kept aside, untouched";
    EXPECT_EQ(GetFileAttributesA(beside.c_str()), INVALID_FILE_ATTRIBUTES);
    SavedState state;
    ASSERT_TRUE(parse(readFile(path), state));
    EXPECT_EQ(state.staticEntries.count(), 3) << "the stack file's state";
    DeleteFileA((beside + ".damaged").c_str());
}

class PinTest : public TrayTest {
protected:
    void TearDown() override { setDocumentsFolder(savedDocuments); }
    // The documents folder as the shell settings give it, unexpanded.
    static std::string documentsSetting() {
        char raw[MAX_PATH] = {};
        DWORD size = sizeof raw;
        RegGetValueA(HKEY_CURRENT_USER, shellFolders, "Personal", RRF_RT_REG_SZ | RRF_RT_REG_EXPAND_SZ | RRF_NOEXPAND,
                     nullptr, raw, &size);
        return raw;
    }
    static void setDocumentsFolder(const std::string& folder) {
        RegSetKeyValueA(HKEY_CURRENT_USER, shellFolders, "Personal", REG_EXPAND_SZ, folder.c_str(),
                        static_cast<DWORD>(folder.size() + 1));
    }
    // The save the timer would start, now, and whatever the program tells of it.
    void saveNow() {
        DWORD_PTR ignored = 0;
        ASSERT_NE(SendMessageTimeoutA(app.mainWindow(), WM_TIMER, 1, 0, SMTO_NORMAL, 10000, &ignored), 0);
        ASSERT_TRUE(app.flush());
    }
    static constexpr const char* shellFolders = "Software\\Microsoft\\Windows\\CurrentVersion\\Explorer\\User Shell Folders";
    const std::string savedDocuments = documentsSetting();
    std::string ownFile() { return stackFile(logonName()); }
    // The static entries in the saved file, or -1 while there is none.
    int savedStatics() {
        SavedState state;
        const std::string bytes = readFile(ownFile());
        if (bytes.empty() || !parse(bytes, state))
            return -1;
        return state.staticEntries.count();
    }
    void pin() {
        click(1, WM_RBUTTONUP);
        ASSERT_TRUE(pressMenuKeys({'S'}));  // "Add &Static"
        ASSERT_TRUE(app.flush());
    }
};

// A save that fails is told once for each kind of failure and tried again
// at the next change.
TEST_F(PinTest, FailedSavesAreToldOncePerKindAndTriedAgain) {
    DeleteFileA(ownFile().c_str());
    change("pinned");
    setDocumentsFolder("C:\\tolvaran-no-such-folder");
    pin();
    saveNow();
    EXPECT_NE(dismissBox(app), "<no box>") << "a missing folder";
    pin();
    saveNow();
    EXPECT_EQ(waitForBoxOf(app.id(), 0), nullptr) << "the same failure is told once";

    // A folder so deep that the file's name fits, but not the names made from it.
    std::string deep = "C:\\tolvaran-deep";
    CreateDirectoryA(deep.c_str(), nullptr);
    while (deep.size() + 1 + logonName().size() + 9 < 245) {
        deep += "\\" + std::string(std::min<std::size_t>(40, 244 - deep.size() - logonName().size() - 10), 'd');
        CreateDirectoryA(deep.c_str(), nullptr);
    }
    setDocumentsFolder(deep);
    pin();
    saveNow();
    EXPECT_NE(dismissBox(app), "<no box>") << "a path too long, another kind";

    setDocumentsFolder(savedDocuments);
    pin();
    saveNow();
    EXPECT_EQ(waitForBoxOf(app.id(), 0), nullptr);
    EXPECT_EQ(savedStatics(), 4) << "saved at the next change";
}

TEST_F(PinTest, APinIsSavedSoonAfterAndSurvivesAKill) {
    DeleteFileA(ownFile().c_str());
    change("pinned");
    pin();
    // Saved within a few seconds, without an exit.
    ASSERT_TRUE(waitUntil([&] { return savedStatics() == 1; }, 10000));
    app.kill();
    EXPECT_EQ(savedStatics(), 1);
}

TEST_F(PinTest, TheEndOfTheWindowsSessionSaves) {
    DeleteFileA(ownFile().c_str());
    change("pinned");
    pin();
    pin();
    DWORD_PTR ignored = 0;
    SendMessageTimeoutA(app.mainWindow(), WM_QUERYENDSESSION, 0, 0, SMTO_NORMAL, 5000, &ignored);
    SendMessageTimeoutA(app.mainWindow(), WM_ENDSESSION, TRUE, 0, SMTO_NORMAL, 5000, &ignored);
    EXPECT_EQ(savedStatics(), 2) << "saved before WM_ENDSESSION returned";
    app.kill();  // as Windows ends the process
}

}  // namespace
