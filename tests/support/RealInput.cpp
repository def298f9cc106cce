#include "support/RealInput.h"

#include "app/COxelD3DApplication.h"
#include "support/ProgramFiles.h"

#include <cstdio>
#include <vector>

namespace {

// Long enough for Wine to turn the X events into messages and queue them.
const DWORD kSettleMs = 150;
// Longer than the drag source waits for the window's answers.
const DWORD kDropWaitMs = 15000;

// Runs a Linux program (Wine starts one given by its path on drive Z: as it
// is) to its end; its exit status, or -1 when it could not be started.
int RunHostProgram(const std::wstring& commandLine)
{
    std::vector<wchar_t> buffer(commandLine.begin(), commandLine.end());
    buffer.push_back(L'\0');
    STARTUPINFOW startup = {};
    startup.cb = sizeof startup;
    PROCESS_INFORMATION process = {};
    if (!CreateProcessW(nullptr, buffer.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr, &startup, &process)) {
        return -1;
    }
    // Messages keep flowing while it runs: the input it gives may wait on them.
    while (MsgWaitForMultipleObjects(1, &process.hProcess, FALSE, 10000, QS_ALLINPUT) == WAIT_OBJECT_0 + 1) {
        RealInput::Dispatch(0);
    }
    DWORD exitCode = 1;
    GetExitCodeProcess(process.hProcess, &exitCode);
    CloseHandle(process.hThread);
    CloseHandle(process.hProcess);
    RealInput::Dispatch(kSettleMs);
    return static_cast<int>(exitCode);
}

std::wstring Widen(const std::string& text, UINT codePage)
{
    std::wstring wide(text.size() + 1, L'\0');
    const int length = MultiByteToWideChar(codePage, 0, text.c_str(), -1, &wide[0], static_cast<int>(wide.size()));
    wide.resize(length > 0 ? length - 1 : 0);
    return wide;
}

// The Linux path of a Windows path, as the X server's programs name the file.
std::wstring LinuxPath(const std::string& windowsPath)
{
    using UnixFileName = char*(CDECL*)(LPCWSTR);
    const auto unixFileName = reinterpret_cast<UnixFileName>(
        reinterpret_cast<void*>(GetProcAddress(GetModuleHandleA("kernel32.dll"), "wine_get_unix_file_name")));
    char* path = unixFileName ? unixFileName(Widen(windowsPath, CP_ACP).c_str()) : nullptr;
    if (!path) {
        return std::wstring();
    }
    const std::wstring linuxPath = Widen(path, CP_UTF8);
    HeapFree(GetProcessHeap(), 0, path);
    return linuxPath;
}

}  // namespace

bool RealInput::Xdotool(const std::string& arguments)
{
    return RunHostProgram(L"Z:\\usr\\bin\\xdotool " + Widen(arguments, CP_ACP)) == 0;
}

bool RealInput::DropFiles(POINT at, const std::vector<std::string>& paths, std::string* outcome)
{
    std::string ended = "not started";
    char folder[MAX_PATH] = "";
    char report[MAX_PATH] = "";
    GetTempPathA(sizeof folder, folder);
    GetTempFileNameA(folder, "xdnd", 0, report);
    DeleteFileA(report);
    // The drag source is built beside the test executable.
    std::wstring commandLine = L"\"" + Widen(ExecutableDirectory(), CP_ACP) + L"quelmora_xdnd_drop\" \"" +
                               LinuxPath(report) + L"\" " + std::to_wstring(at.x) + L" " + std::to_wstring(at.y);
    for (const std::string& path : paths) {
        commandLine += L" \"" + LinuxPath(path) + L"\"";
    }
    // Wine gives no handle to wait on for a Linux program: its report ends the wait.
    if (RunHostProgram(commandLine) != -1) {
        ended = "no report";
        for (DWORD start = GetTickCount(); GetTickCount() - start < kDropWaitMs;) {
            const std::string text = ReadWholeFile(report);
            if (!text.empty()) {
                ended = text.substr(0, text.find('\n'));
                break;
            }
            Dispatch(50);
        }
    }
    DeleteFileA(report);
    if (outcome) {
        *outcome = ended;
    }
    return ended == "dropped";
}

bool RealInput::MoveTo(HWND window, POINT at)
{
    ClientToScreen(window, &at);
    char arguments[64];
    snprintf(arguments, sizeof arguments, "mousemove -- %ld %ld", at.x, at.y);
    return Xdotool(arguments);
}

bool RealInput::Press(int button)
{
    return Xdotool("mousedown " + std::to_string(button));
}

bool RealInput::Release(int button)
{
    return Xdotool("mouseup " + std::to_string(button));
}

bool RealInput::Key(const std::string& keys)
{
    return Xdotool("key " + keys);
}

void RealInput::Dispatch(DWORD milliseconds)
{
    const DWORD start = GetTickCount();
    do {
        MSG message;
        while (PeekMessageA(&message, nullptr, 0, 0, PM_REMOVE)) {
            COxelD3DApplication::DispatchLoopMessage(&message);
        }
        if (milliseconds) {
            MsgWaitForMultipleObjects(0, nullptr, FALSE, 10, QS_ALLINPUT);
        }
    } while (GetTickCount() - start < milliseconds);
}
