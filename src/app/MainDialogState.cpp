// The main dialog's saved state: read at start, written at exit, at the end
// of the Windows session, and soon after the user changes what is kept; and
// the problems the user is told of.
#include "app/MainDialog.h"

#include "base/String.h"
#include "clip/SavedState.h"
#include "res/resource.h"
#include "ui/MessageBoxes.h"

namespace {
// Long enough to take a burst of changes in one save.
const UINT saveDelayMs = 2000;

// A string-table text with %1, %2 and %3 replaced by the texts given.
String filledIn(int textId, const char* first, const char* second, const char* third) {
    String pattern;
    pattern.loadString(textId);
    const char* inserts[] = {first, second, third};
    char* text = nullptr;
    if (!FormatMessageA(FORMAT_MESSAGE_FROM_STRING | FORMAT_MESSAGE_ALLOCATE_BUFFER | FORMAT_MESSAGE_ARGUMENT_ARRAY,
                        pattern.text(), 0, 0, reinterpret_cast<char*>(&text), 0,
                        reinterpret_cast<va_list*>(const_cast<char**>(inserts))))
        return pattern;
    String result(text);
    LocalFree(text);
    return result;
}
}  // namespace

StackFile::Loaded MainDialog::loadState() {
    SavedState saved;
    const StackFile::Loaded loaded = mStackFile.load(saved);
    if (loaded == StackFile::Loaded::FirstRun)
        return loaded;
    if (loaded == StackFile::Loaded::Unreadable)
        report(Problem::StateUnreadable, mStackFile.loadError());
    if (loaded == StackFile::Loaded::Restored)
        report(Problem::StateRestored);
    mState.loadFrom(saved);
    if (mState.buttons.count() == 0)
        return loaded;
    // A button that was active captures the clipboard now, as the active
    // one always mirrors it; the others show what they kept.
    for (int i = 0; i < mState.buttons.count(); ++i) {
        const SavedButton* record = i < saved.buttons.count() ? saved.buttons.button(i) : nullptr;
        TrayButton& button = *mState.buttons.button(i);
        if (!record || record->wasActive)
            note(captureClipboard(hwnd, button.snapshot));
    }
    mTray->showAll();
    note(mTray->activate(*mState.buttons.button(saved.activeButtonIndex())));
    return loaded;
}

void MainDialog::saveState(bool tellFailures) {
    mSaveTimer.stop();
    SavedState saved;
    mState.saveTo(saved);
    const DWORD error = mStackFile.save(saved);
    if (error != ERROR_SUCCESS && tellFailures && mToldSaveErrors.insert(error).second)
        report(Problem::SaveFailed, error);
}

void MainDialog::stateChanged() {
    // Restarting the timer folds a burst of changes into one save.
    mSaveTimer.start(hwnd, saveTimerId, saveDelayMs);
}

void MainDialog::showProblem(Problem problem, DWORD error) {
    switch (problem) {
    case Problem::OutOfMemory:
        showSystemError(ERROR_NOT_ENOUGH_MEMORY, MB_ICONHAND);
        break;
    case Problem::StateUnreadable:
        showText(filledIn(IDS_STATE_UNREADABLE, mStackFile.path().text(), systemErrorText(error).text(),
                          mStackFile.savePath().text())
                     .text(),
                 MB_ICONEXCLAMATION, hwnd);
        break;
    case Problem::CaptureFailed: {
        char mebibytes[16];
        wsprintfA(mebibytes, "%lu", static_cast<unsigned long>(error));
        showText(filledIn(IDS_CAPTURE_FAILED, mebibytes, "", "").text(), MB_ICONEXCLAMATION, hwnd);
        mCaptureFailureTold = false;
        break;
    }
    case Problem::StateRestored:
        showText(filledIn(IDS_STATE_RESTORED, mStackFile.restoredFrom().text(), mStackFile.keptAside().text(), "")
                     .text(),
                 MB_ICONINFORMATION, hwnd);
        break;
    case Problem::SaveFailed:
        showText(filledIn(IDS_SAVE_FAILED, mStackFile.savePath().text(), systemErrorText(error).text(), "").text(),
                 MB_ICONEXCLAMATION, hwnd);
        break;
    }
}
