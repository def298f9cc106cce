#include "app/COxelD3DApplication.h"
#include "app/D3DXRuntime.h"

#include <new>

int WINAPI WinMain(HINSTANCE hInstance, HINSTANCE, LPSTR, int nCmdShow)
{
    if (!LoadD3DXRuntime()) {
        MessageBoxA(nullptr, kMissingD3DXRuntimeText, "Error", MB_OK);
        return 0;
    }
    g_application = new (std::nothrow) COxelD3DApplication(hInstance, nCmdShow);
    if (!g_application) {
        return 0;
    }
    return g_application->Run();
}
