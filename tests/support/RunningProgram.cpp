#include "support/RunningProgram.h"

#include "io/RecoveryFolder.h"
#include "support/ProgramFiles.h"

#include <cstdio>
#include <regex>

namespace {

struct WindowSearch {
    DWORD processId;
    const char* className;
    const char* title;
    HWND found;
};

BOOL CALLBACK FindWindowOfProcess(HWND hwnd, LPARAM parameter)
{
    auto* search = reinterpret_cast<WindowSearch*>(parameter);
    DWORD processId = 0;
    GetWindowThreadProcessId(hwnd, &processId);
    char className[64] = {};
    GetClassNameA(hwnd, className, sizeof className);
    char title[64] = {};
    GetWindowTextA(hwnd, title, sizeof title);
    if (processId == search->processId && lstrcmpA(className, search->className) == 0 && IsWindowVisible(hwnd) &&
        (!search->title || lstrcmpA(title, search->title) == 0)) {
        search->found = hwnd;
        return FALSE;
    }
    return TRUE;
}

}  // namespace

RunningProgram::RunningProgram() : m_process(), m_preview(nullptr)
{
    Start(ExecutableDirectory(), nullptr);
}

RunningProgram::RunningProgram(const std::string& folder) : m_process(), m_preview(nullptr)
{
    Start(folder, folder.c_str());
}

RunningProgram::RunningProgram(const std::string& folder, const std::string& currentDirectory)
    : m_process(), m_preview(nullptr)
{
    Start(folder, currentDirectory.c_str());
}

RunningProgram::RunningProgram(const std::vector<std::string>& arguments) : m_process(), m_preview(nullptr)
{
    std::wstring quoted;
    for (const std::string& argument : arguments) {
        quoted += L" \"" + WideText(argument) + L"\"";
    }
    Start(ExecutableDirectory(), nullptr, quoted);
}

RunningProgram::RunningProgram(const std::vector<std::wstring>& arguments) : m_process(), m_preview(nullptr)
{
    std::wstring quoted;
    for (const std::wstring& argument : arguments) {
        quoted += L" \"" + argument + L"\"";
    }
    Start(ExecutableDirectory(), nullptr, quoted);
}

void RunningProgram::Start(const std::string& folder, const char* currentDirectory, const std::wstring& arguments)
{
    std::wstring commandLine = L"\"" + WideText(folder) + L"quelmora.exe\"" + arguments;
    const std::wstring directory = currentDirectory ? WideText(currentDirectory) : std::wstring();
    STARTUPINFOW startup = {};
    startup.cb = sizeof startup;
    if (!CreateProcessW(nullptr, &commandLine[0], nullptr, nullptr, FALSE, 0, nullptr,
                        currentDirectory ? directory.c_str() : nullptr, &startup, &m_process)) {
        m_process = PROCESS_INFORMATION();
    }
}

RunningProgram::~RunningProgram()
{
    if (!m_process.hProcess) {
        return;
    }
    if (WaitForSingleObject(m_process.hProcess, 0) == WAIT_TIMEOUT) {
        Kill();
        // A test that gave up on the program must not leave its unsaved work
        // to be offered to the next test's program.
        char prefix[16];
        snprintf(prefix, sizeof prefix, "%08lX-", m_process.dwProcessId);
        const std::string folder = RecoveryFolderPath();
        for (const std::string& name : FileNames(folder, (std::string(prefix) + "*").c_str())) {
            DeleteFileA((folder + name).c_str());
        }
    }
    CloseHandle(m_process.hThread);
    CloseHandle(m_process.hProcess);
}

HWND RunningProgram::WaitForPreview(DWORD timeoutMs)
{
    const DWORD start = GetTickCount();
    while (GetTickCount() - start < timeoutMs) {
        if (HWND preview = FindWindowOfClass("Quelmora")) {
            m_preview = preview;
            return m_preview;
        }
        if (WaitForSingleObject(m_process.hProcess, 100) == WAIT_OBJECT_0) {
            return nullptr;
        }
    }
    return nullptr;
}

HWND RunningProgram::FindWindowOfClass(const char* className, const char* title) const
{
    WindowSearch search = {m_process.dwProcessId, className, title, nullptr};
    EnumWindows(FindWindowOfProcess, reinterpret_cast<LPARAM>(&search));
    return search.found;
}

std::string RunningProgram::Title() const
{
    char title[128] = {};
    GetWindowTextA(m_preview, title, sizeof title);
    return title;
}

std::string RunningProgram::WaitForRateTitle() const
{
    std::string title = Title();
    for (int waited = 0; waited < 300 && !IsRateTitle(title); ++waited) {
        Sleep(100);
        title = Title();
    }
    return title;
}

bool IsRateTitle(const std::string& title)
{
    static const std::regex rateTitle(R"(\[ FPS : \d{3}/s \] .+)");
    return std::regex_match(title, rateTitle);
}

bool RunningProgram::WaitForExit(DWORD timeoutMs, DWORD* exitCode)
{
    if (WaitForSingleObject(m_process.hProcess, timeoutMs) != WAIT_OBJECT_0) {
        return false;
    }
    GetExitCodeProcess(m_process.hProcess, exitCode);
    return true;
}

void RunningProgram::Kill()
{
    TerminateProcess(m_process.hProcess, 1);
    WaitForSingleObject(m_process.hProcess, 5000);
}

HWND RunningProgram::WaitForWindow(const char* className, const char* title) const
{
    for (int wait = 0; wait < 200; ++wait) {
        if (HWND window = FindWindowOfClass(className, title)) {
            return window;
        }
        Sleep(100);
    }
    return nullptr;
}

bool RunningProgram::AnswerMessageBox(const char* caption, int button, std::string* text) const
{
    HWND box = WaitForWindow("#32770", caption);
    if (!box) {
        return false;
    }
    if (text) {
        // The box's text is its one static control.
        char read[1024] = {};
        GetDlgItemTextA(box, 0xFFFF, read, sizeof read);
        *text = read;
    }
    PostMessageA(box, WM_COMMAND, button, 0);
    return true;
}

ProgramRun RunProgramToEnd(const std::string& arguments, const std::string& consoleFile)
{
    return RunProgramToEnd(WideText(arguments), consoleFile);
}

ProgramRun RunProgramToEnd(const std::wstring& arguments, const std::string& consoleFile)
{
    ProgramRun run;
    SECURITY_ATTRIBUTES inherited = {sizeof inherited, nullptr, TRUE};
    HANDLE file = CreateFileA(consoleFile.c_str(), GENERIC_WRITE, FILE_SHARE_READ | FILE_SHARE_WRITE, &inherited,
                              CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
    STARTUPINFOW startup = {};
    startup.cb = sizeof startup;
    startup.dwFlags = STARTF_USESTDHANDLES;
    startup.hStdOutput = file;
    startup.hStdError = file;
    PROCESS_INFORMATION process = {};
    std::wstring commandLine = L"\"" + WideText(ExecutableDirectory()) + L"quelmora.exe\" " + arguments;
    const BOOL started =
        CreateProcessW(nullptr, &commandLine[0], nullptr, nullptr, TRUE, 0, nullptr, nullptr, &startup, &process);
    CloseHandle(file);
    if (!started) {
        return run;
    }
    if (WaitForSingleObject(process.hProcess, 60000) == WAIT_OBJECT_0) {
        GetExitCodeProcess(process.hProcess, &run.exitCode);
    } else {
        TerminateProcess(process.hProcess, 98);
        run.exitCode = 98;
    }
    CloseHandle(process.hThread);
    CloseHandle(process.hProcess);
    run.console = ReadWholeFile(consoleFile);
    return run;
}
