#pragma once

#include <windows.h>

// The format the program reads and draws GDI pictures in: 32-bit BGRA with the
// top row first, so that rows count down from the top as the map's do.
inline BITMAPINFO TopDownBgra32(int width, int height)
{
    BITMAPINFO info = {};
    info.bmiHeader.biSize = sizeof info.bmiHeader;
    info.bmiHeader.biWidth = width;
    info.bmiHeader.biHeight = -height;
    info.bmiHeader.biPlanes = 1;
    info.bmiHeader.biBitCount = 32;
    info.bmiHeader.biCompression = BI_RGB;
    return info;
}
