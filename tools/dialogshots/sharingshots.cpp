// Pictures of the share, get and progress dialogs as the program runs them,
// with rows in them: the program's own dialogs, fed by a stand-in for the
// network whose answers come in the way answers from other computers do,
// through the calls the program's handlers make.
//
//   sharingshots FOLDER LANGUAGE
//
// Writes FOLDER\share-LANGUAGE.bmp, FOLDER\get-LANGUAGE.bmp and
// FOLDER\progress-LANGUAGE.bmp. The dialogs come out in the language the
// system gives the process (Wine: LC_ALL); LANGUAGE (en or ru) picks the
// names and captions in the rows. Exits with 0 when every picture was
// written, 1 when one was not, 2 for a wrong command line. Every dialog
// ends by itself within moments.
#include "Capture.h"

#include "base/AppInstance.h"
#include "protocol/ShareMessages.h"
#include "res/resource.h"
#include "ui/GetDialog.h"
#include "ui/ProgressDialog.h"
#include "ui/ShareDialog.h"
#include "ui/ShareNetwork.h"

#include <windows.h>
#include <commctrl.h>

#include <cstdio>
#include <functional>
#include <memory>
#include <string>

namespace {

// What the other computers answer, UTF-8.
struct Rows {
    const char* users[3][2];  // user name, computer name
    const char* entries[3];   // a text, a picture, files: the captions the sharers list
};

const Rows kEnglish = {
    {{"boris", "BORIS-PC"}, {"carla", "CARLA-LAPTOP"}, {"dmitri", "OFFICE-2"}},
    {"Agenda for Thursday: budget, hiring, the new office", "1280 x 720 (24 bit)", "Report.docx"},
};
const Rows kRussian = {
    {{"борис", "BORIS-PC"}, {"карла", "CARLA-LAPTOP"}, {"дмитрий", "OFFICE-2"}},
    {"Повестка на четверг: бюджет, найм, новый офис", "1280 x 720 (24 бит)", "Отчёт.docx"},
};

// The text in the process's ANSI code page, as the dialogs take it.
std::string ansi(const char* utf8) {
    wchar_t wide[256] = {};
    MultiByteToWideChar(CP_UTF8, 0, utf8, -1, wide, 256);
    char narrow[256] = {};
    WideCharToMultiByte(CP_ACP, 0, wide, -1, narrow, 256, nullptr, nullptr);
    return narrow;
}

// Asks nobody: the answers are played in by each picture.
class StandInNetwork : public ShareNetwork {
public:
    bool queryUsers(const std::shared_ptr<UsersAsked>&) override { return true; }
    bool queryClipboards(const std::shared_ptr<ClipsAsked>&) override { return true; }
    std::unique_ptr<PendingFetch> requestFetch(const std::shared_ptr<FetchAsked>&, const std::string&,
                                               std::uint32_t) override {
        return std::make_unique<PendingFetch>();
    }
    bool putOnClipboard(ClipSnapshot&) override { return false; }
};

Answerer answerer(const char* const names[2]) {
    return Answerer{ansi(names[0]), ansi(names[1]), Origin{}};
}

// Runs a dialog; a moment after it opens, the answers come in, the dialog
// is pictured and closed.
template <class Base>
class Pictured : public Base {
public:
    template <class... Args>
    Pictured(std::function<void(Base&)> answers, std::string path, Args&&... args)
        : Base(std::forward<Args>(args)...), mAnswers(std::move(answers)), mPath(std::move(path)) {}

    bool onInitDialog() override {
        const bool result = Base::onInitDialog();
        // Later than the progress dialog's first redraw may come.
        SetTimer(this->window(), answerTimer, 400, nullptr);
        return result;
    }

    INT_PTR handleMessage(UINT message, WPARAM wParam, LPARAM lParam) override {
        if (message != WM_TIMER || wParam != answerTimer)
            return Base::handleMessage(message, wParam, lParam);
        KillTimer(this->window(), answerTimer);
        mAnswers(*this);
        showForPicture(this->window());
        written = captureWindow(this->window(), mPath);
        EndDialog(this->window(), IDCANCEL);
        return TRUE;
    }

    bool written = false;

private:
    static constexpr UINT_PTR answerTimer = 17;
    std::function<void(Base&)> mAnswers;
    std::string mPath;
};

bool shootShare(const Rows& rows, const std::string& path, StandInNetwork& network) {
    Pictured<ShareDialog> dialog(
        [&rows](ShareDialog& share) {
            for (int i = 0; i < 3; ++i)
                share.addUser(ansi(rows.users[i][0]).c_str(), ansi(rows.users[i][1]).c_str(), i != 1);
        },
        path, nullptr, LoadIconA(appInstance(), MAKEINTRESOURCEA(IDI_SMALL)), network);
    dialog.shared = true;
    dialog.allUsers = false;
    dialog.run();
    return dialog.written;
}

void expandAndSelect(HWND tree, HTREEITEM first) {
    for (auto node = reinterpret_cast<HTREEITEM>(SendMessageA(tree, TVM_GETNEXTITEM, TVGN_ROOT, 0)); node;
         node = reinterpret_cast<HTREEITEM>(SendMessageA(tree, TVM_GETNEXTITEM, TVGN_NEXT, reinterpret_cast<LPARAM>(node))))
        SendMessageA(tree, TVM_EXPAND, TVE_EXPAND, reinterpret_cast<LPARAM>(node));
    const auto entry = reinterpret_cast<HTREEITEM>(
        SendMessageA(tree, TVM_GETNEXTITEM, TVGN_CHILD, reinterpret_cast<LPARAM>(first)));
    SendMessageA(tree, TVM_SELECTITEM, TVGN_CARET, reinterpret_cast<LPARAM>(entry));
    SetFocus(tree);
}

bool shootGet(const Rows& rows, const std::string& path, StandInNetwork& network) {
    Pictured<GetDialog> dialog(
        [&rows](GetDialog& get) {
            HTREEITEM first = get.addUserNode(answerer(rows.users[0]));
            for (std::uint32_t kind = 1; kind <= 3; ++kind)
                get.addClipEntry(first, {kind, kind, ansi(rows.entries[kind - 1])});
            HTREEITEM second = get.addUserNode(answerer(rows.users[2]));
            get.addClipEntry(second, {7, 1, ansi(rows.entries[0])});
            expandAndSelect(GetDlgItem(get.window(), IDC_SHARED_TREE), first);
            get.updateOkButton();
        },
        path, nullptr, network);
    dialog.run();
    return dialog.written;
}

bool shootProgress(const std::string& path, StandInNetwork& network) {
    Pictured<ProgressDialog> dialog(
        [](ProgressDialog& progress) {
            // Part of a 3 MB picture has come.
            progress.setTotal(3000000);
            progress.setProgress(1410000);
        },
        path, nullptr, network);
    dialog.computerName.assign("BORIS-PC");
    dialog.entryId = 2;
    dialog.run();
    return dialog.written;
}

}  // namespace

int main(int argc, char** argv) {
    const std::string language = argc == 3 ? argv[2] : "";
    if (language != "en" && language != "ru") {
        std::printf("usage: sharingshots FOLDER en|ru\n");
        return 2;
    }
    setAppInstance(GetModuleHandleA(nullptr));
    INITCOMMONCONTROLSEX controls = {};
    controls.dwSize = sizeof controls;
    controls.dwICC = ICC_LISTVIEW_CLASSES | ICC_TREEVIEW_CLASSES | ICC_PROGRESS_CLASS;
    InitCommonControlsEx(&controls);

    const Rows& rows = language == "ru" ? kRussian : kEnglish;
    const std::string folder = std::string(argv[1]) + "\\";
    StandInNetwork network;
    bool ok = true;
    const struct {
        const char* name;
        std::function<bool(const std::string&)> shoot;
    } shots[] = {
        {"share", [&](const std::string& path) { return shootShare(rows, path, network); }},
        {"get", [&](const std::string& path) { return shootGet(rows, path, network); }},
        {"progress", [&](const std::string& path) { return shootProgress(path, network); }},
    };
    for (const auto& shot : shots) {
        const std::string path = folder + shot.name + "-" + language + ".bmp";
        const bool written = shot.shoot(path);
        std::printf("%s: %s\n", path.c_str(), written ? "written" : "FAILED");
        ok = ok && written;
    }
    std::fflush(stdout);
    return ok ? 0 : 1;
}
