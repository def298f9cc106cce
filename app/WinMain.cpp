#include "app/COxelD3DApplication.h"

int WINAPI WinMain(HINSTANCE hInstance, HINSTANCE, LPSTR, int nCmdShow)
{
    g_application = new COxelD3DApplication(hInstance, nCmdShow);
    return g_application->Run();
}
