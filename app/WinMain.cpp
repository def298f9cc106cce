#include "app/COxelD3DApplication.h"
#include "app/CommandLine.h"
#include "app/CommandLineRun.h"
#include "app/D3DXRuntime.h"
#include "app/ProgramLanguage.h"
#include "io/AnsiPath.h"

#include <ole2.h>

#include <new>

int WINAPI WinMain(HINSTANCE hInstance, HINSTANCE, LPSTR, int nCmdShow)
{
    // Before any text: the command line's messages are in it too.
    ChooseProgramLanguage();
    // Not lpCmdLine: the system makes that from the UTF-16 command line by
    // best fit, where "café.png" becomes "cafe.png", another file.
    const CommandLine command = ReadCommandLine(GetCommandLineW());
    if (command.RunsWithoutWindow()) {
        return RunWithoutWindow(command);
    }
    if (!LoadD3DXRuntime()) {
        MessageBoxA(nullptr, MissingD3DXRuntimeText(), "Error", MB_OK);
        return 0;
    }
    g_application = new (std::nothrow) COxelD3DApplication(hInstance, nCmdShow);
    if (!g_application) {
        return 0;
    }
    if (command.form == CommandLine::kOpenMap && !command.inexactPath.empty()) {
        // As a map that cannot be read: said, and the editor keeps its start map.
        g_application->m_startMapRefusal = command.inexactPath + "\n" + InexactPathMessage();
    } else if (command.form == CommandLine::kOpenMap) {
        g_application->m_startMap = command.input;
    }
    // Files dragged from other programs reach the windows through OLE, which
    // their thread sets up before it makes them.
    const HRESULT ole = OleInitialize(nullptr);
    const int result = g_application->Run();
    if (SUCCEEDED(ole)) {
        OleUninitialize();
    }
    return result;
}
