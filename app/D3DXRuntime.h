#pragma once

// D3DX 9 (d3dx9_43.dll) is not part of Windows: it comes with Microsoft's
// DirectX End-User Runtime. The program loads it at its first call, so it can
// look for it before anything needs it and say what to install.

// Loads d3dx9_43.dll, which then stays loaded for the program's D3DX calls;
// false when the system has no such DLL.
bool LoadD3DXRuntime();

// What a user without it is told, in a message box captioned "Error".
const char* MissingD3DXRuntimeText();
