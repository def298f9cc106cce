#include "tools/TurnedAtlas.h"

#include "editor/BitmapInfo.h"
#include "terrain/ChipImageInfo.h"
#include "terrain/MapGridMath.h"
#include "tools/MapViewMath.h"

#include <algorithm>
#include <cstdint>
#include <cstring>
#include <memory>
#include <new>

namespace {

const int kTurns = 4;
// Square sizes whose scaled chips are kept; the least recently used goes.
const size_t kScaledSizes = 3;


}  // namespace

TurnedAtlas::TurnedAtlas()
    : m_dc(nullptr),
      m_bitmap(nullptr),
      m_previous(nullptr),
      m_source(),
      m_tried(false),
      m_atlasHeight(0),
      m_columns(0),
      m_rows(0),
      m_rowRest(0)
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
    const size_t pixels = static_cast<size_t>(width) * height;
    // A large atlas may not fit in memory next to its turned copies: then the
    // views show outlines, as without an atlas.
    std::unique_ptr<uint32_t[]> original(new (std::nothrow) uint32_t[pixels]);
    if (!original) {
        return false;
    }
    BITMAPINFO info = TopDownBgra32(width, height);
    HDC screen = GetDC(nullptr);
    const int read = GetDIBits(screen, atlas.hBitmap, 0, height, original.get(), &info, DIB_RGB_COLORS);
    // The four turned copies lie one below the other.
    BITMAPINFO turnedInfo = TopDownBgra32(width, kTurns * height);
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
        std::memcpy(copy, original.get(), pixels * sizeof(uint32_t));
        for (int row = 0; row < rows; ++row) {
            for (int column = 0; column < columns; ++column) {
                const size_t corner = static_cast<size_t>(rowRest + row * kChipSize) * width + column * kChipSize;
                TurnSquare(original.get() + corner, copy + corner, width, kChipSize, turn);
            }
        }
    }
    m_previous = SelectObject(m_dc, m_bitmap);
    m_source = SourceOf(atlas, columns, rows, rowRest);
    m_atlasHeight = height;
    m_columns = columns;
    m_rows = rows;
    m_rowRest = rowRest;
    return true;
}

bool TurnedAtlas::IsFor(const ChipImageInfo& atlas, int columns, int rows, int rowRest) const
{
    const Source source = SourceOf(atlas, columns, rows, rowRest);
    return m_tried && std::memcmp(&source, &m_source, sizeof source) == 0;
}

bool TurnedAtlas::Update(const ChipImageInfo& atlas, int columns, int rows, int rowRest)
{
    if (!IsFor(atlas, columns, rows, rowRest)) {
        Build(atlas, columns, rows, rowRest);
        // A copy that could not be made is not tried again for the same atlas.
        m_source = SourceOf(atlas, columns, rows, rowRest);
        m_tried = true;
    }
    return built();
}

TurnedAtlas::Source TurnedAtlas::SourceOf(const ChipImageInfo& atlas, int columns, int rows, int rowRest)
{
    Source source = {};
    source.bitmap = atlas.loaded ? atlas.hBitmap : nullptr;
    source.width = atlas.width;
    source.height = atlas.height;
    source.columns = columns;
    source.rows = rows;
    source.rowRest = rowRest;
    return source;
}

void TurnedAtlas::Release()
{
    m_tried = false;
    m_scaled.clear();
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

TurnedAtlas::ScaledChips::ScaledChips(int width, int height, int columns, int rows)
    : width(width), height(height), dc(nullptr), bitmap(nullptr), previous(nullptr)
{
    BITMAPINFO info = TopDownBgra32(columns * width, rows * kTurns * height);
    void* bits = nullptr;
    HDC screen = GetDC(nullptr);
    bitmap = CreateDIBSection(screen, &info, DIB_RGB_COLORS, &bits, nullptr, 0);
    dc = bitmap ? CreateCompatibleDC(screen) : nullptr;
    ReleaseDC(nullptr, screen);
    if (dc) {
        previous = SelectObject(dc, bitmap);
        scaled.assign(static_cast<size_t>(columns) * rows * kTurns, 0);
    }
}

TurnedAtlas::ScaledChips::~ScaledChips()
{
    if (dc) {
        SelectObject(dc, previous);
        DeleteDC(dc);
    }
    if (bitmap) {
        DeleteObject(bitmap);
    }
}

TurnedAtlas::ScaledChips* TurnedAtlas::ScaledFor(int width, int height) const
{
    for (size_t i = 0; i < m_scaled.size(); ++i) {
        if (m_scaled[i]->width == width && m_scaled[i]->height == height) {
            std::rotate(m_scaled.begin(), m_scaled.begin() + i, m_scaled.begin() + i + 1);
            return m_scaled.front()->dc ? m_scaled.front().get() : nullptr;
        }
    }
    if (m_scaled.size() == kScaledSizes) {
        m_scaled.pop_back();
    }
    // One that could not be made is kept too, so that it is not tried on every square.
    m_scaled.insert(m_scaled.begin(), std::make_unique<ScaledChips>(width, height, m_columns, m_rows));
    return m_scaled.front()->dc ? m_scaled.front().get() : nullptr;
}

void TurnedAtlas::Scale(HDC hdc, int x, int y, int width, int height, int chip, int turn) const
{
    const RECT source = ChipSourceRect(chip, m_columns, m_rowRest);
    SetStretchBltMode(hdc, HALFTONE);
    SetBrushOrgEx(hdc, 0, 0, nullptr);
    StretchBlt(hdc, x, y, width, height, m_dc, source.left, source.top + turn * m_atlasHeight, kChipSize, kChipSize,
               SRCCOPY);
}

bool TurnedAtlas::DrawTile(HDC hdc, const RECT& cell, int chip, int rotation) const
{
    if (!m_dc || chip < 0 || chip >= m_columns * m_rows) {
        return false;
    }
    const int turn = rotation >= 1 && rotation <= 3 ? rotation : 0;
    const int width = cell.right - cell.left;
    const int height = cell.bottom - cell.top;
    ScaledChips* scaled = width > 0 && height > 0 ? ScaledFor(width, height) : nullptr;
    if (!scaled) {
        Scale(hdc, cell.left, cell.top, width, height, chip, turn);
        return true;
    }
    const int x = (chip % m_columns) * width;
    const int y = ((chip / m_columns) * kTurns + turn) * height;
    char& made = scaled->scaled[static_cast<size_t>(chip) * kTurns + turn];
    if (!made) {
        Scale(scaled->dc, x, y, width, height, chip, turn);
        made = 1;
    }
    BitBlt(hdc, cell.left, cell.top, width, height, scaled->dc, x, y, SRCCOPY);
    return true;
}
