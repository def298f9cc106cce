#include "support/RunningProgram.h"

#include "support/ProgramFiles.h"

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

RunningProgram::RunningProgram(const std::vector<std::string>& arguments) : m_process(), m_preview(nullptr)
{
    std::string quoted;
    for (const std::string& argument : arguments) {
        quoted += " \"" + argument + "\"";
    }
    Start(ExecutableDirectory(), nullptr, quoted);
}

void RunningProgram::Start(const std::string& folder, const char* currentDirectory, const std::string& arguments)
{
    std::string commandLine = "\"" + folder + "quelmora.exe\"" + arguments;
    STARTUPINFOA startup = {};
    startup.cb = sizeof startup;
    if (!CreateProcessA(nullptr, &commandLine[0], nullptr, nullptr, FALSE, 0, nullptr, currentDirectory, &startup,
                        &m_process)) {
        m_process = PROCESS_INFORMATION();
    }
}

RunningProgram::~RunningProgram()
{
    if (!m_process.hProcess) {
        return;
    }
    if (WaitForSingleObject(m_process.hProcess, 0) == WAIT_TIMEOUT) {
        TerminateProcess(m_process.hProcess, 1);
        WaitForSingleObject(m_process.hProcess, 5000);
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
    static const std::regex rateTitle(R"(\[ FPS : \d{3}/s \])");
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

ProgramRun RunProgramToEnd(const std::string& arguments, const std::string& consoleFile)
{
    ProgramRun run;
    SECURITY_ATTRIBUTES inherited = {sizeof inherited, nullptr, TRUE};
    HANDLE file = CreateFileA(consoleFile.c_str(), GENERIC_WRITE, FILE_SHARE_READ | FILE_SHARE_WRITE, &inherited,
                              CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
    STARTUPINFOA startup = {};
    startup.cb = sizeof startup;
    startup.dwFlags = STARTF_USESTDHANDLES;
    startup.hStdOutput = file;
    startup.hStdError = file;
    PROCESS_INFORMATION process = {};
    std::string commandLine = "\"" + ExecutableDirectory() + "quelmora.exe\" " + arguments;
    const BOOL started =
        CreateProcessA(nullptr, &commandLine[0], nullptr, nullptr, TRUE, 0, nullptr, nullptr, &startup, &process);
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
