#pragma once

#include <windows.h>

#include <functional>
#include <string>

// Long work done in steps on the window thread, so that every window keeps
// answering: between steps the program's messages are handled (paints, the
// pointer, other programs' questions), while its windows take no input, as
// under a task-modal message box. Work that is not done within a moment gets
// a window (dialog resource 104) with a bar that shows how far it has come and
// a "キャンセル" button; short work never shows it.
class ProgressWindow {
public:
    // The window will be captioned `caption` and owned by `owner`, or else by the active window.
    ProgressWindow(HWND owner, const char* caption);
    ~ProgressWindow();
    ProgressWindow(const ProgressWindow&) = delete;
    ProgressWindow& operator=(const ProgressWindow&) = delete;

    // Calls `step` until it returns true, giving it where to say how far the
    // work has come (0 to 1); a step should take a few tens of milliseconds.
    // False when the work was given up before it was done: "キャンセル", Esc
    // or the close box, or the program was told to quit (the quit stays in the
    // queue for the program's loop). `step` is not called again after that.
    bool Run(const std::function<bool(double* done)>& step);

    // For the last part of a work that cannot be undone half way: from now
    // on "キャンセル", Esc and the close box do nothing.
    void StopCancelling();

    // The window, once it shows; null before and after Run.
    HWND Window() const { return m_dialog; }

private:
    static INT_PTR CALLBACK DialogProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam);
    void Show();
    // Handles the messages that wait; false when the program is to quit.
    bool HandleMessages();
    void Close();

    HWND m_owner;
    std::string m_caption;
    HWND m_dialog;
    bool m_cancellable;
    bool m_cancelled;
};
