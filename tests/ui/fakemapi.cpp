// A stand-in MAPI32.DLL: its MAPISendMail writes down everything it was
// handed into MAPI32.txt beside itself, and so does its unloading.
#include <windows.h>
#include <mapi.h>

#include <cstdio>
#include <string>

namespace {

HMODULE self = nullptr;

std::string text(const char* value) {
    return value ? "\"" + std::string(value) + "\"" : "null";
}

std::string pointer(const void* value) {
    return value ? "set" : "null";
}

void note(const std::string& line) {
    char path[MAX_PATH] = {};
    GetModuleFileNameA(self, path, MAX_PATH);
    std::string log(path);
    log.replace(log.find_last_of('.'), std::string::npos, ".txt");
    if (FILE* file = std::fopen(log.c_str(), "ab")) {
        std::fputs((line + "\n").c_str(), file);
        std::fclose(file);
    }
}

}  // namespace

extern "C" __declspec(dllexport) ULONG WINAPI MAPISendMail(LHANDLE session, ULONG_PTR uiParam, lpMapiMessage message,
                                                           FLAGS flags, ULONG reserved) {
    char title[64] = {};
    GetWindowTextA(reinterpret_cast<HWND>(uiParam), title, sizeof title);
    note("session=" + std::to_string(session) + " parent=" + text(title) + " flags=" + std::to_string(flags) +
         " reserved=" + std::to_string(reserved));
    note("wait cursor=" + std::to_string(GetCursor() == LoadCursorA(nullptr, IDC_WAIT)));
    note("message: reserved=" + std::to_string(message->ulReserved) + " subject=" + text(message->lpszSubject) +
         " note=" + text(message->lpszNoteText) + " type=" + text(message->lpszMessageType) +
         " date=" + text(message->lpszDateReceived) + " conversation=" + text(message->lpszConversationID) +
         " flags=" + std::to_string(message->flFlags) + " originator=" + pointer(message->lpOriginator) +
         " recipients=" + std::to_string(message->nRecipCount) + " files=" + std::to_string(message->nFileCount) +
         " fileList=" + pointer(message->lpFiles));
    for (ULONG i = 0; i < message->nRecipCount && i < 4; ++i) {
        const MapiRecipDesc& recipient = message->lpRecips[i];
        note("recipient: reserved=" + std::to_string(recipient.ulReserved) +
             " class=" + std::to_string(recipient.ulRecipClass) + " name=" + text(recipient.lpszName) +
             " address=" + text(recipient.lpszAddress) + " idSize=" + std::to_string(recipient.ulEIDSize) +
             " id=" + pointer(recipient.lpEntryID));
    }
    return SUCCESS_SUCCESS;
}

BOOL WINAPI DllMain(HINSTANCE instance, DWORD reason, LPVOID reserved) {
    if (reason == DLL_PROCESS_ATTACH)
        self = instance;
    // A null reserved value means FreeLibrary, not the process's end.
    if (reason == DLL_PROCESS_DETACH)
        note(reserved ? "unloaded at exit" : "unloaded by FreeLibrary");
    return TRUE;
}
