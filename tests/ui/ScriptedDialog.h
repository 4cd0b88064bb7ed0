// Runs one of the program's dialogs modally with a script: each step runs
// inside the dialog's own modal loop, after everything the previous step
// posted (keys, commands) has been handled. A dialog still open when the
// script is over is closed, so run() always returns.
#pragma once

#include <windows.h>

#include <functional>
#include <utility>
#include <vector>

template <class Base>
class Scripted : public Base {
public:
    using Step = std::function<void(HWND dialog)>;

    template <class... Args>
    explicit Scripted(std::vector<Step> script, Args&&... args)
        : Base(std::forward<Args>(args)...), steps(std::move(script)) {}

    bool onInitDialog() override {
        const bool result = Base::onInitDialog();
        PostMessageA(this->window(), stepMessage, 0, 0);
        return result;
    }

    INT_PTR handleMessage(UINT message, WPARAM wParam, LPARAM lParam) override {
        if (message != stepMessage)
            return Base::handleMessage(message, wParam, lParam);
        if (wParam < steps.size()) {
            stepsRun = wParam + 1;
            steps[wParam](this->window());
            PostMessageA(this->window(), stepMessage, wParam + 1, 0);
        } else {
            leftOpen = true;
            EndDialog(this->window(), forcedEnd);
        }
        return TRUE;
    }

    // What run() returns when the script had to close the dialog.
    static constexpr int forcedEnd = 77;
    size_t stepsRun = 0;
    bool leftOpen = false;

private:
    static constexpr UINT stepMessage = WM_APP + 17;
    std::vector<Step> steps;
};

// Input as the user gives it: a key pressed on a control, a button clicked.
inline void pressKey(HWND control, WPARAM key) {
    PostMessageA(control, WM_KEYDOWN, key, 0);
    PostMessageA(control, WM_KEYUP, key, 0xC0000001);
}

inline void clickButton(HWND dialog, int id) {
    SendMessageA(GetDlgItem(dialog, id), BM_CLICK, 0, 0);
}
