#include "tools/TurnedAtlas.h"

#include "terrain/ChipImageInfo.h"
#include "terrain/MapGridMath.h"
#include "tools/MapViewMath.h"

#include <cstdint>
#include <cstring>
#include <vector>

namespace {

const int kTurns = 4;

BITMAPINFO TopDown32(int width, int height)
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

}  // namespace

TurnedAtlas::TurnedAtlas()
    : m_dc(nullptr), m_bitmap(nullptr), m_previous(nullptr), m_atlasHeight(0), m_columns(0), m_rows(0), m_rowRest(0)
{
}

TurnedAtlas::~TurnedAtlas()
{
    Release();
}

bool TurnedAtlas::Build(const ChipImageInfo& atlas, int columns, int rows, int rowRest)
{
    Release();
    if (!atlas.loaded || columns <= 0 || rows <= 0) {
        return false;
    }
    const int width = atlas.width;
    const int height = atlas.height;
    std::vector<uint32_t> original(static_cast<size_t>(width) * height);
    BITMAPINFO info = TopDown32(width, height);
    HDC screen = GetDC(nullptr);
    const int read = GetDIBits(screen, atlas.hBitmap, 0, height, original.data(), &info, DIB_RGB_COLORS);
    // The four turned copies lie one below the other.
    BITMAPINFO turnedInfo = TopDown32(width, kTurns * height);
    void* bits = nullptr;
    m_bitmap = read == height ? CreateDIBSection(screen, &turnedInfo, DIB_RGB_COLORS, &bits, nullptr, 0) : nullptr;
    m_dc = m_bitmap ? CreateCompatibleDC(screen) : nullptr;
    ReleaseDC(nullptr, screen);
    if (!m_bitmap || !m_dc) {
        Release();
        return false;
    }

    GdiFlush();
    auto* turned = static_cast<uint32_t*>(bits);
    for (int turn = 0; turn < kTurns; ++turn) {
        uint32_t* copy = turned + static_cast<size_t>(turn) * width * height;
        std::memcpy(copy, original.data(), original.size() * sizeof(uint32_t));
        for (int row = 0; row < rows; ++row) {
            for (int column = 0; column < columns; ++column) {
                const size_t corner = static_cast<size_t>(rowRest + row * kChipSize) * width + column * kChipSize;
                TurnSquare(original.data() + corner, copy + corner, width, kChipSize, turn);
            }
        }
    }
    m_previous = SelectObject(m_dc, m_bitmap);
    m_atlasHeight = height;
    m_columns = columns;
    m_rows = rows;
    m_rowRest = rowRest;
    return true;
}

void TurnedAtlas::Release()
{
    if (m_dc) {
        if (m_previous) {
            SelectObject(m_dc, m_previous);
        }
        DeleteDC(m_dc);
    }
    if (m_bitmap) {
        DeleteObject(m_bitmap);
    }
    m_dc = nullptr;
    m_bitmap = nullptr;
    m_previous = nullptr;
}

void TurnedAtlas::DrawTile(HDC hdc, const RECT& cell, int chip, int rotation) const
{
    if (!m_dc || chip < 0 || chip >= m_columns * m_rows) {
        return;
    }
    const int turn = rotation >= 1 && rotation <= 3 ? rotation : 0;
    const RECT source = ChipSourceRect(chip, m_columns, m_rowRest);
    SetStretchBltMode(hdc, HALFTONE);
    SetBrushOrgEx(hdc, 0, 0, nullptr);
    StretchBlt(hdc, cell.left, cell.top, cell.right - cell.left, cell.bottom - cell.top, m_dc, source.left,
               source.top + turn * m_atlasHeight, kChipSize, kChipSize, SRCCOPY);
}
