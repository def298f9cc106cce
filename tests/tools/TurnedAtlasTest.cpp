#include "tools/TurnedAtlas.h"

#include "editor/BitmapInfo.h"
#include "support/TestBitmap.h"
#include "terrain/ChipImageInfo.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <cstring>
#include <string>

namespace {

const int kCanvasWidth = 300;
const int kCanvasHeight = 140;

// A 32-bit picture to draw into, white at first.
class Canvas {
public:
    Canvas()
    {
        BITMAPINFO info = TopDownBgra32(kCanvasWidth, kCanvasHeight);
        void* bits = nullptr;
        m_bitmap = CreateDIBSection(nullptr, &info, DIB_RGB_COLORS, &bits, nullptr, 0);
        m_bits = static_cast<uint32_t*>(bits);
        m_dc = CreateCompatibleDC(nullptr);
        m_previous = SelectObject(m_dc, m_bitmap);
        std::memset(m_bits, 0xFF, sizeof(uint32_t) * kCanvasWidth * kCanvasHeight);
    }
    ~Canvas()
    {
        SelectObject(m_dc, m_previous);
        DeleteDC(m_dc);
        DeleteObject(m_bitmap);
    }
    HDC dc() const { return m_dc; }
    bool operator==(const Canvas& other) const
    {
        GdiFlush();
        return std::memcmp(m_bits, other.m_bits, sizeof(uint32_t) * kCanvasWidth * kCanvasHeight) == 0;
    }

private:
    HBITMAP m_bitmap;
    uint32_t* m_bits;
    HDC m_dc;
    HGDIOBJ m_previous;
};

}  // namespace

// The views draw from chips scaled once per square size; what they show must
// be what scaling the atlas's chip for each square shows, whatever was drawn
// before at that size or another.
TEST(TurnedAtlas, DrawsEachChipAsAHalftoneStretchOfTheAtlasAtAnySquareSize)
{
    const std::string path = WriteTestBitmap("quelmora_turned_atlas.bmp", 256, 128, [](int x, int y) {
        return static_cast<uint32_t>((x * 37 + y * 11) % 256 << 16 | (x * y) % 251 << 8 | (x ^ y) % 256);
    });
    ChipImageInfo atlas = {};
    atlas.hBitmap = static_cast<HBITMAP>(
        LoadImageA(nullptr, path.c_str(), IMAGE_BITMAP, 0, 0, LR_LOADFROMFILE | LR_CREATEDIBSECTION));
    ASSERT_NE(atlas.hBitmap, nullptr);
    atlas.loaded = 1;
    atlas.width = 256;
    atlas.height = 128;
    TurnedAtlas tiles;
    ASSERT_TRUE(tiles.Update(atlas, 2, 1, 0));
    HDC source = CreateCompatibleDC(nullptr);
    HGDIOBJ previous = SelectObject(source, atlas.hBitmap);

    const SIZE sizes[] = {{10, 10}, {16, 16}, {33, 20}, {64, 64}, {16, 16}};
    for (const SIZE& size : sizes) {
        SCOPED_TRACE(testing::Message() << size.cx << " x " << size.cy);
        // Each chip unturned, twice: scaled on the first draw, copied on the second.
        Canvas drawn;
        Canvas expected;
        for (int chip = 0; chip < 2; ++chip) {
            for (int copy = 0; copy < 2; ++copy) {
                const int x = 3 + (2 * chip + copy) * size.cx;
                const RECT cell = {x, 5, x + size.cx, 5 + size.cy};
                tiles.DrawTile(drawn.dc(), cell, chip, 0);
                SetStretchBltMode(expected.dc(), HALFTONE);
                SetBrushOrgEx(expected.dc(), 0, 0, nullptr);
                StretchBlt(expected.dc(), x, 5, size.cx, size.cy, source, chip * 128, 0, 128, 128, SRCCOPY);
            }
        }
        EXPECT_TRUE(drawn == expected);

        // Every chip and turn, in one order and then the other, gives the same picture.
        Canvas forward;
        Canvas backward;
        for (int i = 0; i < 8; ++i) {
            const int chip = i / 4;
            const int turn = i % 4;
            const RECT cell = {i % 4 * size.cx, chip * size.cy, (i % 4 + 1) * size.cx, (chip + 1) * size.cy};
            tiles.DrawTile(forward.dc(), cell, chip, turn);
        }
        for (int i = 7; i >= 0; --i) {
            const int chip = i / 4;
            const RECT cell = {i % 4 * size.cx, chip * size.cy, (i % 4 + 1) * size.cx, (chip + 1) * size.cy};
            tiles.DrawTile(backward.dc(), cell, chip, i % 4);
        }
        EXPECT_TRUE(forward == backward);
    }
    SelectObject(source, previous);
    DeleteDC(source);
    DeleteObject(atlas.hBitmap);
}
