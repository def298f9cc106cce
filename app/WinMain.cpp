#include "app/COxelD3DApplication.h"

#include <new>

int WINAPI WinMain(HINSTANCE hInstance, HINSTANCE, LPSTR, int nCmdShow)
{
    g_application = new (std::nothrow) COxelD3DApplication(hInstance, nCmdShow);
    if (!g_application) {
        return 0;
    }
    return g_application->Run();
}
