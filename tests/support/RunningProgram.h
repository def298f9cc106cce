#pragma once

#include <windows.h>

#include <string>
#include <vector>

// Whether a preview title shows the frame rate and then the map, as
// "[ FPS : 060/s ] island.omd".
bool IsRateTitle(const std::string& title);

// The real quelmora.exe, started from beside the test executable with the
// current directory as its working directory, as a user would start it.
class RunningProgram {
public:
    RunningProgram();
    // quelmora.exe in `folder` (a Windows path ending in a backslash), started
    // there as a double-click in that folder starts it.
    explicit RunningProgram(const std::string& folder);
    // quelmora.exe in `folder`, started with another working folder, as a
    // shortcut or a script may start it.
    RunningProgram(const std::string& folder, const std::string& currentDirectory);
    // quelmora.exe from beside the test executable, given these arguments,
    // each quoted, in the program's code page.
    explicit RunningProgram(const std::vector<std::string>& arguments);
    // The same with arguments in UTF-16, as Explorer passes names that the
    // program's code page may lack.
    explicit RunningProgram(const std::vector<std::wstring>& arguments);
    ~RunningProgram();
    RunningProgram(const RunningProgram&) = delete;
    RunningProgram& operator=(const RunningProgram&) = delete;

    bool started() const { return m_process.hProcess != nullptr; }
    // Waits for the visible preview window; null when it did not appear.
    HWND WaitForPreview(DWORD timeoutMs);
    std::string Title() const;
    // Waits up to 30 s for the preview's title to show the frame rate and the
    // map ("[ FPS : 060/s ] island.omd"); the last title seen.
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

    // Waits up to 20 s for a visible window of the program with this class and title.
    HWND WaitForWindow(const char* className, const char* title) const;

private:
    void Start(const std::string& folder, const char* currentDirectory, const std::wstring& arguments = L"");

    PROCESS_INFORMATION m_process;
    HWND m_preview;
};

// A run of quelmora.exe to its end, as a build step runs it.
struct ProgramRun {
    DWORD exitCode = 99;  // 98 when it did not end within a minute
    std::string console;  // what it wrote to its standard output and error
};

// quelmora.exe from beside the test executable with `arguments` (a command
// line without the program's name), its standard output and error going to
// the file `consoleFile`; waits for its end.
ProgramRun RunProgramToEnd(const std::string& arguments, const std::string& consoleFile);
// The same with arguments in UTF-16, as a shell passes names that the
// program's code page may lack.
ProgramRun RunProgramToEnd(const std::wstring& arguments, const std::string& consoleFile);
