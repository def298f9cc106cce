#include "support/RealInput.h"

#include "app/COxelD3DApplication.h"

#include <cstdio>
#include <vector>

namespace {

// Long enough for Wine to turn the X events into messages and queue them.
const DWORD kSettleMs = 150;

}  // namespace

bool RealInput::Xdotool(const std::string& arguments)
{
    // Wine starts a Linux program given by its path on drive Z: as it is.
    std::string commandLine = "Z:\\usr\\bin\\xdotool " + arguments;
    std::vector<char> buffer(commandLine.begin(), commandLine.end());
    buffer.push_back('\0');
    STARTUPINFOA startup = {};
    startup.cb = sizeof startup;
    PROCESS_INFORMATION process = {};
    if (!CreateProcessA(nullptr, buffer.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr, &startup, &process)) {
        return false;
    }
    // Messages keep flowing while it runs: the input it gives may wait on them.
    while (MsgWaitForMultipleObjects(1, &process.hProcess, FALSE, 10000, QS_ALLINPUT) == WAIT_OBJECT_0 + 1) {
        Dispatch(0);
    }
    DWORD exitCode = 1;
    GetExitCodeProcess(process.hProcess, &exitCode);
    CloseHandle(process.hThread);
    CloseHandle(process.hProcess);
    Dispatch(kSettleMs);
    return exitCode == 0;
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
