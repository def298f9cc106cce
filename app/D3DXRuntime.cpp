#include "app/D3DXRuntime.h"

#include "app/ProgramText.h"

#include <windows.h>

const char* MissingD3DXRuntimeText()
{
    return Text(IDS_MISSING_D3DX);
}

bool LoadD3DXRuntime()
{
    return LoadLibraryA("d3dx9_43.dll") != nullptr;
}
