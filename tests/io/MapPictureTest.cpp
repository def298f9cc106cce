#include "io/MapPicture.h"

#include "io/MapPictureWriter.h"
#include "support/MapPictureReference.h"

#include <gtest/gtest.h>

#include <string>
#include <utility>
#include <vector>

namespace {

// An atlas of 8 x 4 chips whose every 4 x 4 block is one colour: blue is the
// chip, green the block's column and red its row within the chip, so a pixel
// of the picture tells which chip and which part of it landed there.
BgraImage BlockAtlas()
{
    BgraImage atlas;
    atlas.width = 1024;
    atlas.height = 512;
    atlas.pixels.resize(1024 * 512 * 4);
    for (int y = 0; y < 512; ++y) {
        for (int x = 0; x < 1024; ++x) {
            unsigned char* pixel = &atlas.pixels[(y * 1024 + x) * 4];
            pixel[0] = static_cast<unsigned char>(y / 128 * 8 + x / 128);
            pixel[1] = static_cast<unsigned char>(x % 128 / 4);
            pixel[2] = static_cast<unsigned char>(y % 128 / 4);
            pixel[3] = 0;  // as a GDI bitmap gives it
        }
    }
    return atlas;
}

unsigned PixelAt(const BgraImage& picture, int x, int y)
{
    const unsigned char* p = &picture.pixels[(static_cast<size_t>(y) * picture.width + x) * 4];
    return p[0] | p[1] << 8 | p[2] << 16 | static_cast<unsigned>(p[3]) << 24;
}

// What the atlas block (column, row) of `chip` shows, opaque.
unsigned Block(int chip, int column, int row)
{
    return chip | column << 8 | row << 16 | 0xFF000000u;
}

MapFileContents Map(int size)
{
    MapFileContents map;
    map.width = size;
    map.height = size;
    map.cells.resize(size * size);
    return map;
}

const AtlasLayout kBuiltIn = {8, 4, 0};

}  // namespace

TEST(MapPicture, EachCellIsItsTileMirroredAsTheMapEditWindowAndTurnedClockwise)
{
    MapFileContents map = Map(16);
    // Cell (2, 5) lies in picture column 13; its tile's corners go where the
    // map edit window puts them.
    struct Case {
        int rotation;
        unsigned topLeft;
        unsigned topRight;
        unsigned bottomLeft;
    };
    const Case cases[] = {
        {0, Block(11, 0, 0), Block(11, 31, 0), Block(11, 0, 31)},
        {1, Block(11, 0, 31), Block(11, 0, 0), Block(11, 31, 31)},
        {2, Block(11, 31, 31), Block(11, 0, 31), Block(11, 31, 0)},
        {3, Block(11, 31, 0), Block(11, 31, 31), Block(11, 0, 0)},
        {5, Block(11, 0, 0), Block(11, 31, 0), Block(11, 0, 31)},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE("rotation " + std::to_string(c.rotation));
        map.cells[5 * 16 + 2].chip = 11;
        map.cells[5 * 16 + 2].rotation = c.rotation;
        const BgraImage picture = DrawMapPicture(map, BlockAtlas(), kBuiltIn);
        ASSERT_EQ(16 * 32, picture.width);
        ASSERT_EQ(16 * 32, picture.height);
        const int left = 13 * 32;
        const int top = 5 * 32;
        EXPECT_EQ(c.topLeft, PixelAt(picture, left, top));
        EXPECT_EQ(c.topRight, PixelAt(picture, left + 31, top));
        EXPECT_EQ(c.bottomLeft, PixelAt(picture, left, top + 31));
        // Its neighbours keep chip 0, unturned: map column 0 at the right edge.
        EXPECT_EQ(Block(0, 0, 0), PixelAt(picture, left - 32, top));
        EXPECT_EQ(Block(0, 31, 31), PixelAt(picture, 16 * 32 - 1, 16 * 32 - 1));
    }
}

TEST(MapPicture, TilesAreScaledByAveragingAndMissingChipsAreBlack)
{
    // Chip 0's columns alternate between two greys: each 4-pixel block averages them.
    BgraImage atlas = BlockAtlas();
    for (int y = 0; y < 128; ++y) {
        for (int x = 0; x < 128; ++x) {
            unsigned char* p = &atlas.pixels[(y * 1024 + x) * 4];
            p[0] = p[1] = p[2] = static_cast<unsigned char>(x % 2 ? 200 : 100);
        }
    }
    MapFileContents map = Map(16);
    map.cells[0].chip = 0;
    map.cells[1].chip = 32;  // the built-in atlas has 32 chips
    map.cells[2].chip = -1;
    const BgraImage picture = DrawMapPicture(map, atlas, kBuiltIn);
    EXPECT_EQ(0xFF969696u, PixelAt(picture, 15 * 32 + 7, 9));  // 100 and 200 averaged: 150
    EXPECT_EQ(0xFF000000u, PixelAt(picture, 14 * 32 + 16, 16));
    EXPECT_EQ(0xFF000000u, PixelAt(picture, 13 * 32 + 16, 16));
    // A picture of an atlas row rest starts its chips below the rest, as the 2D views do.
    const BgraImage shifted = DrawMapPicture(Map(16), BlockAtlas(), AtlasLayout{8, 3, 128});
    EXPECT_EQ(Block(8, 0, 0), PixelAt(shifted, 15 * 32, 0));
}

TEST(MapPicture, CellsShrinkSoThatTheLargestMapsStayWithin8192PixelsASide)
{
    for (const auto& size : {std::pair<int, int>{16, 32}, {64, 32}, {256, 32}, {512, 16}}) {
        EXPECT_EQ(size.second, MapPictureCellPixels(size.first, size.first)) << size.first;
    }
    // The far corner of a 512 x 512 map, turned once, lies at the picture's left
    // edge: its top left shows the bottom left of the chip, each pixel the mean
    // of 8 x 8 atlas pixels.
    MapFileContents map = Map(512);
    MapFileCell& corner = map.cells[511 * 512 + 511];
    corner.chip = 11;
    corner.rotation = 1;
    const BgraImage picture = DrawMapPicture(map, BlockAtlas(), kBuiltIn);
    ASSERT_EQ(8192, picture.width);
    ASSERT_EQ(8192, picture.height);
    const unsigned topLeft = PixelAt(picture, 0, 511 * 16);
    EXPECT_EQ(11u, topLeft & 0xFF);
    EXPECT_LE(topLeft >> 8 & 0xFF, 1u);   // the chip's left blocks
    EXPECT_GE(topLeft >> 16 & 0xFF, 30u);  // its bottom blocks
    EXPECT_EQ(0xFF000000u, PixelAt(picture, 16, 511 * 16) & 0xFF0000FFu);  // its neighbour: chip 0

}

namespace {

// Cells that show every chip of the atlas at every turn, chips it lacks and
// turns that are not quarter turns, in an order that never repeats a row.
MapFileContents MixedMap(int width, int height)
{
    const int chips[] = {0, 11, 31, -1, 32, 1000, 7, 24};
    const int turns[] = {0, 1, 2, 3, -1, 4, 5, 7, 3, 1};
    MapFileContents map;
    map.width = width;
    map.height = height;
    map.cells.resize(static_cast<size_t>(width) * height);
    for (size_t i = 0; i < map.cells.size(); ++i) {
        map.cells[i].chip = i % 3 ? static_cast<int>(i * 5 % 32) : chips[i / 3 % 8];
        map.cells[i].rotation = turns[i * 7 % 10];
    }
    return map;
}

// The block atlas, but every pixel of it different: a mean of the wrong
// pixels shows.
BgraImage NoisyAtlas()
{
    BgraImage atlas = BlockAtlas();
    unsigned state = 12345;
    for (size_t i = 0; i < atlas.pixels.size(); ++i) {
        state = state * 1103515245u + 12345u;
        atlas.pixels[i] = static_cast<unsigned char>(state >> 16);
    }
    return atlas;
}

}  // namespace

TEST(MapPicture, DrawsExactlyWhatThePlainPixelByPixelDrawingDraws)
{
    struct Case {
        int width;
        int height;
        AtlasLayout layout;
    };
    // 32, 16 and 8 pixels a cell; an atlas with a row rest; a map wider than high.
    const Case cases[] = {
        {16, 16, kBuiltIn},
        {40, 24, AtlasLayout{8, 3, 128}},
        {300, 20, kBuiltIn},
        {520, 6, AtlasLayout{8, 3, 100}},
    };
    for (const BgraImage& atlas : {BlockAtlas(), NoisyAtlas()}) {
        for (const Case& c : cases) {
            SCOPED_TRACE(std::to_string(c.width) + " x " + std::to_string(c.height));
            const MapFileContents map = MixedMap(c.width, c.height);
            const BgraImage drawn = DrawMapPicture(map, atlas, c.layout);
            const BgraImage reference = ReferenceMapPicture(map, atlas, c.layout);
            ASSERT_EQ(reference.width, drawn.width);
            ASSERT_EQ(reference.height, drawn.height);
            EXPECT_TRUE(reference.pixels == drawn.pixels);
        }
    }
}

TEST(MapPicture, ThePngHoldsTheDrawnPictureHoweverItsRowsAreHandedOver)
{
    const BgraImage atlas = NoisyAtlas();
    // A picture of `width` x `height` noisy pixels, opaque or not.
    const auto noise = [](int width, int height, bool opaque) {
        BgraImage picture;
        picture.width = width;
        picture.height = height;
        picture.pixels.resize(static_cast<size_t>(width) * height * 4);
        for (size_t i = 0; i < picture.pixels.size(); ++i) {
            picture.pixels[i] = static_cast<unsigned char>(opaque && i % 4 == 3 ? 255 : i * 2654435761u >> 13);
        }
        return picture;
    };
    struct Case {
        std::string name;
        BgraImage picture;
        std::vector<unsigned char> png;
    };
    std::vector<Case> cases;
    // Pictures of one cell (two bands), of 48 bands, of 16-pixel cells.
    for (const auto& size : {std::pair<int, int>{1, 1}, {40, 24}, {300, 3}}) {
        const MapFileContents map = MixedMap(size.first, size.second);
        Case c = {"map of " + std::to_string(size.first) + " x " + std::to_string(size.second),
                  DrawMapPicture(map, atlas, kBuiltIn), {}};
        EXPECT_EQ(ImageError::None, EncodeMapPicture(map, atlas, kBuiltIn, &c.png));
        cases.push_back(std::move(c));
    }
    // Rows of 15, 999 and 3 bytes (no row a whole number of 32-bit words), and the same with alpha.
    for (const auto& size : {std::pair<int, int>{5, 3}, {333, 70}, {1, 1}}) {
        for (bool opaque : {true, false}) {
            Case c = {std::to_string(size.first) + " x " + std::to_string(size.second) + (opaque ? "" : " with alpha"),
                      noise(size.first, size.second, opaque), {}};
            EXPECT_EQ(ImageError::None, EncodeBgraPng(c.picture, &c.png));
            cases.push_back(std::move(c));
        }
    }
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        BgraImage decoded;
        ASSERT_EQ(ImageError::None, DecodeBgra(c.png.data(), c.png.size(), &decoded));
        ASSERT_EQ(c.picture.width, decoded.width);
        ASSERT_EQ(c.picture.height, decoded.height);
        EXPECT_TRUE(c.picture.pixels == decoded.pixels);
    }

    // Bands of any size, one row, past the end: the same file.
    const MapFileContents map = MixedMap(40, 24);
    std::vector<unsigned char> png;
    ASSERT_EQ(ImageError::None, EncodeMapPicture(map, atlas, kBuiltIn, &png));
    MapPictureWriter writer(map, atlas, kBuiltIn);
    std::vector<unsigned char> early;
    EXPECT_EQ(ImageError::CannotEncode, writer.Finish(&early));
    for (int rows : {1, 7, 100, 1, 0, 33}) {
        EXPECT_TRUE(writer.WriteRows(rows));
    }
    ASSERT_FALSE(writer.Done());
    EXPECT_TRUE(writer.WriteRows(writer.Height()));
    EXPECT_TRUE(writer.Done());
    EXPECT_EQ(writer.Height(), writer.RowsWritten());
    std::vector<unsigned char> banded;
    ASSERT_EQ(ImageError::None, writer.Finish(&banded));
    EXPECT_TRUE(png == banded);

    // A map without cells makes no picture.
    MapFileContents empty;
    std::vector<unsigned char> none;
    EXPECT_NE(ImageError::None, EncodeMapPicture(empty, atlas, kBuiltIn, &none));
    EXPECT_TRUE(none.empty());
}
