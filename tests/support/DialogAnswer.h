#pragma once

#include <windows.h>

#include <atomic>
#include <string>
#include <thread>

// Answers the next dialog box with the given title that this process shows,
// from a thread of its own, while the test's thread sits in the dialog's loop:
// types `fileName` into a file dialog and confirms it, or cancels when
// `fileName` is empty. Gives up after `timeoutMs`, so a dialog that never
// appears fails the test instead of hanging it.
class DialogAnswer {
public:
    DialogAnswer(const std::string& title, const std::string& fileName, DWORD timeoutMs = 10000);
    ~DialogAnswer();
    DialogAnswer(const DialogAnswer&) = delete;
    DialogAnswer& operator=(const DialogAnswer&) = delete;

    // Waits for the answering thread; true when a dialog was answered.
    bool Answered();
    // Stops watching at once; true when a dialog had been answered.
    bool Stop();

private:
    void Watch();

    std::string m_title;
    std::string m_fileName;
    DWORD m_timeoutMs;
    std::atomic<bool> m_answered;
    std::atomic<bool> m_stop;
    std::thread m_thread;
};
