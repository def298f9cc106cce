#include "app/D3DXRuntime.h"

#include <windows.h>

const char kMissingD3DXRuntimeText[] =
    "d3dx9_43.dll が見つからないため、Quelmora を起動できません。\n\n"
    "このファイルは Windows 10 や 11 には入っておらず、Microsoft の「DirectX エンドユーザー ランタイム」"
    "(DirectX End-User Runtime) に含まれています。Microsoft のサイトから "
    "\"DirectX End-User Runtime Web Installer\" を入手してインストールし、もう一度起動してください。";

bool LoadD3DXRuntime()
{
    return LoadLibraryA("d3dx9_43.dll") != nullptr;
}
