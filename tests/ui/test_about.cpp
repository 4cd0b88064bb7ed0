// The About box: what its buttons show, the shortcut file behind the web
// page button, and the mail button against a missing MAPI, a stand-in MAPI
// that writes down what it was handed, and the system's own.
#include "ScriptedDialog.h"
#include "base/String.h"
#include "driver/AppProcess.h"
#include "driver/ChildProcess.h"
#include "driver/WineConfig.h"
#include "res/resource.h"
#include "base/ShellFiles.h"
#include "ui/AboutDialog.h"

#include <gtest/gtest.h>

#include <fstream>
#include <iostream>
#include <sstream>
#include <string>

namespace {

using About = Scripted<AboutDialog>;

const char expectedShortcut[] = "[InternetShortcut]\r\nURL=" MAKER_WEB_PAGE "\r\n";
// How long what a button started may take to end by itself: a bound, not a
// pause (the wait is over when the last of them has ended).
const DWORD endWithinMs = 15000;

std::string temporaryFolder() {
    char folder[MAX_PATH] = {};
    GetTempPathA(MAX_PATH, folder);
    return folder;
}

std::string shortcutPath() {
    return temporaryFolder() + "tv.url";
}

std::string fileBytes(const std::string& path) {
    std::ifstream file(path, std::ios::binary);
    std::ostringstream bytes;
    bytes << file.rdbuf();
    return bytes.str();
}

void writeFile(const std::string& path, const std::string& bytes) {
    std::ofstream(path, std::ios::binary | std::ios::trunc) << bytes;
}

std::string itemText(HWND dialog, int id) {
    char text[256] = {};
    GetDlgItemTextA(dialog, id, text, sizeof text);
    return text;
}

// The variable is set for the scope and put back afterwards.
class ScopedVariable {
public:
    ScopedVariable(const char* variableName, const std::string& value) : name(variableName) {
        char old[32768];
        const DWORD length = GetEnvironmentVariableA(name, old, sizeof old);
        had = length > 0 && length < sizeof old;
        if (had)
            previous = old;
        SetEnvironmentVariableA(name, value.c_str());
    }
    ~ScopedVariable() { SetEnvironmentVariableA(name, had ? previous.c_str() : nullptr); }
    ScopedVariable(const ScopedVariable&) = delete;
    ScopedVariable& operator=(const ScopedVariable&) = delete;

private:
    const char* name;
    std::string previous;
    bool had = false;
};

// Waits until what the box's button started has ended, and ends what does
// not within the bound.
void settle(const std::set<DWORD>& before) {
    for (const ProcessEntry& process : settleNewProcesses(before, endWithinMs))
        std::cout << "ended " << process.exeName << " (still running after " << endWithinMs << " ms)\n";
    EXPECT_TRUE(newDescendants(before).empty());
}

// Clicks the web page button; whatever the shell starts for the shortcut is
// let finish, or ended, before the test goes on.
int clickWebPage(std::string* buttonText = nullptr) {
    const std::set<DWORD> before = runningProcesses();
    About about({[&](HWND d) {
                     if (buttonText)
                         *buttonText = itemText(d, IDC_WEB_PAGE);
                     clickButton(d, IDC_WEB_PAGE);
                 }},
                nullptr);
    const int result = about.run();
    EXPECT_FALSE(about.leftOpen);
    settle(before);
    return result;
}

TEST(AboutDialog, ButtonsShowTheAddressesTheyUse) {
    std::string mail;
    std::string web;
    About about({[&](HWND d) {
                     mail = itemText(d, IDC_SEND_MAIL);
                     web = itemText(d, IDC_WEB_PAGE);
                     pressKey(d, VK_RETURN);
                 }},
                nullptr);
    EXPECT_EQ(about.run(), IDOK);
    EXPECT_EQ(mail, "&e-mail: " MAKER_EMAIL);
    EXPECT_EQ(web, "&" MAKER_WEB_PAGE);
}

TEST(AboutDialog, EscapeCloses) {
    About about({[](HWND d) { pressKey(d, VK_ESCAPE); }}, nullptr);
    EXPECT_EQ(about.run(), IDCANCEL);
    EXPECT_FALSE(about.leftOpen);
}

TEST(AboutDialog, WebPageButtonWritesTheShortcutAndCloses) {
    DeleteFileA(shortcutPath().c_str());
    EXPECT_EQ(clickWebPage(), IDCANCEL);
    EXPECT_EQ(fileBytes(shortcutPath()), std::string(expectedShortcut, sizeof expectedShortcut))
        << "the text and one zero byte";
}

TEST(AboutDialog, PressingAgainRewritesTheSameFile) {
    writeFile(shortcutPath(), std::string(500, 'x'));
    EXPECT_EQ(clickWebPage(), IDCANCEL);
    EXPECT_EQ(clickWebPage(), IDCANCEL);
    EXPECT_EQ(fileBytes(shortcutPath()), std::string(expectedShortcut, sizeof expectedShortcut));
}

TEST(AboutDialog, TooLongTemporaryFolderWritesNothingAndStillCloses) {
    const std::string marker = "left alone";
    writeFile(shortcutPath(), marker);
    {
        ScopedVariable tmp("TMP", "C:\\" + std::string(300, 'a'));
        EXPECT_EQ(clickWebPage(), IDCANCEL);
    }
    EXPECT_EQ(fileBytes(shortcutPath()), marker);
}

TEST(AboutDialog, ShortcutPathIsTheTemporaryFolderAndTheName) {
    String path;
    ASSERT_TRUE(temporaryFilePath("tv.url", path));
    EXPECT_EQ(std::string(path.text()), shortcutPath());
}

TEST(AboutDialog, ShortcutPathMustFitIntoMaxPath) {
    String path("unchanged");
    {
        // The folder itself fits (with its final backslash 254 characters);
        // with the name it would need 260.
        ScopedVariable tmp("TMP", "C:\\" + std::string(250, 'a'));
        ASSERT_EQ(GetTempPathA(0, nullptr), 255u) << "the folder the system reports";
        EXPECT_FALSE(temporaryFilePath("tv.url", path));
        EXPECT_STREQ(path.text(), "unchanged");
    }
    {
        ScopedVariable tmp("TMP", "C:\\" + std::string(249, 'a'));
        ASSERT_TRUE(temporaryFilePath("tv.url", path));
        EXPECT_EQ(path.length(), 259);
    }
    {
        ScopedVariable tmp("TMP", "C:\\" + std::string(400, 'a'));
        EXPECT_FALSE(temporaryFilePath("tv.url", path));
    }
}

TEST(AboutDialog, ShortcutInAMissingFolderIsNotWritten) {
    const std::string path = temporaryFolder() + "no such folder\\tv.url";
    EXPECT_FALSE(writeInternetShortcut(path.c_str(), MAKER_WEB_PAGE));
}

// The mail button runs in a process of its own (aboutprobe.exe), where Wine
// can be told per program how to load MAPI32.DLL. Exit code 1: the box stayed
// open after the button; 2: the button closed it.
class AboutMail : public ::testing::Test {
protected:
    static constexpr const char* probeName = "aboutprobe.exe";

    void SetUp() override {
        if (!runningUnderWine())
            GTEST_SKIP() << "MAPI32.DLL can be swapped per program only under Wine";
        clearDllOverrides(probeName);
    }
    void TearDown() override { clearDllOverrides(probeName); }

    DWORD runProbe(const std::string& arguments) {
        const std::set<DWORD> before = runningProcesses();
        ChildProcess probe;
        EXPECT_TRUE(probe.start(besideTest(probeName), arguments));
        DWORD code = 0;
        EXPECT_TRUE(probe.waitExit(30000, &code)) << "the probe hangs";
        probe.kill();
        settle(before);
        return code;
    }
};

TEST_F(AboutMail, WithoutMapiTheBoxStaysOpen) {
    ScopedDllOverride noMapi(probeName, "mapi32", "");
    ASSERT_TRUE(noMapi.applied());
    EXPECT_EQ(runProbe(""), 1u);
}

TEST_F(AboutMail, MapiGetsOneRecipientByNameAndTheBoxCloses) {
    const std::string folder = besideTest("fakemapi");
    const std::string log = folder + "\\MAPI32.txt";
    DeleteFileA(log.c_str());
    ScopedDllOverride fake(probeName, "mapi32", "native");
    ASSERT_TRUE(fake.applied());
    EXPECT_EQ(runProbe("\"" + folder + "\""), 2u);
    EXPECT_EQ(fileBytes(log),
              "session=0 parent=\"About Tolvaran\" flags=9 reserved=0\n"
              "wait cursor=1\n"
              "message: reserved=0 subject=null note=null type=null date=null conversation=null flags=2"
              " originator=null recipients=1 files=0 fileList=null\n"
              "recipient: reserved=0 class=1 name=\"" MAKER_EMAIL "\" address=null idSize=0 id=null\n"
              "unloaded by FreeLibrary\n");
}

// Wine's MAPISendMail hands a mailto: link to winebrowser.exe and returns
// without waiting; with no mail program on the machine nothing shows.
TEST_F(AboutMail, WithWinesOwnMapiTheBoxCloses) {
    EXPECT_EQ(runProbe(""), 2u);
}

}  // namespace
