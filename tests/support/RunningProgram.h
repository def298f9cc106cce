#pragma once

#include <windows.h>

#include <string>

// Whether a preview title shows the frame rate, as "[ FPS : 060/s ]".
bool IsRateTitle(const std::string& title);

// The real quelmora.exe, started from beside the test executable with the
// current directory as its working directory, as a user would start it.
class RunningProgram {
public:
    RunningProgram();
    // quelmora.exe in `folder` (a Windows path ending in a backslash), started
    // there as a double-click in that folder starts it.
    explicit RunningProgram(const std::string& folder);
    ~RunningProgram();
    RunningProgram(const RunningProgram&) = delete;
    RunningProgram& operator=(const RunningProgram&) = delete;

    bool started() const { return m_process.hProcess != nullptr; }
    // Waits for the visible preview window; null when it did not appear.
    HWND WaitForPreview(DWORD timeoutMs);
    std::string Title() const;
    // Waits up to 30 s for the preview's title to show the frame rate
    // ("[ FPS : 060/s ]"); the last title seen.
    std::string WaitForRateTitle() const;
    // A visible top-level window of the program with this class (and this
    // title, when one is given); null when none.
    HWND FindWindowOfClass(const char* className, const char* title = nullptr) const;
    // Waits for the process to end; false on time-out.
    bool WaitForExit(DWORD timeoutMs, DWORD* exitCode);
    // Ends the process at once, as a crash or the task manager would.
    void Kill();
    // Waits up to 20 s for a message box with this caption and presses
    // `button` in it, as a user would; false when none came. Its text goes to
    // `text` when one is given.
    bool AnswerMessageBox(const char* caption, int button, std::string* text = nullptr) const;

private:
    // Waits up to 20 s for a visible window of the program with this class and title.
    HWND WaitForWindow(const char* className, const char* title) const;
    void Start(const std::string& folder, const char* currentDirectory);

    PROCESS_INFORMATION m_process;
    HWND m_preview;
};
