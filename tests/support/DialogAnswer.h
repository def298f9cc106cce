#pragma once

#include <windows.h>

#include <functional>
#include <string>

// While it lives, answers the file dialogs with the given title that this
// thread shows: types `fileName` into the dialog and confirms it, or cancels
// when `fileName` is empty. The dialog is answered from a CBT hook the moment
// it is activated, so a test never waits for one, however late it opens; a
// dialog that comes back after its answer (an overwrite refused, a name not
// found) is cancelled. Message boxes are left to MessageBoxAnswer.
class DialogAnswer {
public:
    DialogAnswer(const std::string& title, const std::string& fileName);
    // The same with a name in UTF-16, as a user types one that the program's
    // code page may lack.
    DialogAnswer(const std::string& title, const std::wstring& fileName);
    ~DialogAnswer();
    DialogAnswer(const DialogAnswer&) = delete;
    DialogAnswer& operator=(const DialogAnswer&) = delete;

    // True when a dialog has been answered.
    bool Answered() const { return m_answered; }
    // Stops answering; true when a dialog had been answered.
    bool Stop();

    // Runs while the dialog is up, from its own message loop, before it is
    // answered: what a user does meanwhile.
    std::function<void()> whileShown;

private:
    static LRESULT CALLBACK OnCbt(int code, WPARAM wParam, LPARAM lParam);
    static void CALLBACK OnTimer(HWND, UINT, UINT_PTR timer, DWORD);
    void Answer(HWND dialog);

    std::wstring m_title;
    std::wstring m_fileName;
    bool m_answered;
    HWND m_dialog;
    // Waiting for whileShown to run in its loop.
    HWND m_waiting;
    HHOOK m_hook;
    DialogAnswer* m_outer;
};
