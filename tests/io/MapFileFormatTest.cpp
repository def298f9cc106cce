#include "io/MapFileFormat.h"

#include "io/AnsiPath.h"
#include "support/SampleMaps.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <cstring>
#include <functional>
#include <limits>
#include <string>
#include <vector>

namespace {

using Bytes = std::vector<unsigned char>;

const std::size_t kCells = 306;
const std::size_t kPlanes16 = kCells + 128 * 16 * 16;  // first plane of a 16 x 16 map

template <typename T>
void Put(Bytes& bytes, std::size_t at, T value)
{
    std::memcpy(&bytes[at], &value, sizeof value);
}

template <typename T>
T Get(const Bytes& bytes, std::size_t at)
{
    T value;
    std::memcpy(&value, &bytes[at], sizeof value);
    return value;
}

std::string Text(const Bytes& bytes, std::size_t at, std::size_t length)
{
    return std::string(bytes.begin() + at, bytes.begin() + at + length);
}

MapFileError Decode(const Bytes& bytes, MapFileContents* map)
{
    return DecodeMapFile(bytes.data(), bytes.size(), map);
}

// A whole, otherwise sound file of width x height cells.
Bytes NonSquareMap(int width, int height)
{
    MapFileContents map = SampleMap(16, 2, 2);
    const std::vector<MapFileCell> square = map.cells;
    map.width = width;
    map.height = height;
    map.cells.resize(static_cast<std::size_t>(width) * height);
    for (std::size_t i = 0; i < map.cells.size(); ++i) {
        map.cells[i] = square[i % square.size()];
        map.cells[i].index = static_cast<std::int32_t>(i);
    }
    return EncodeMapFile(map);
}

}  // namespace

TEST(MapFileFormat, LengthIs306Plus128PerCellPlus272PerPlanePlus264PerBillboard)
{
    const struct {
        int size, planes, billboards;
        std::size_t length;
    } maps[] = {{16, 0, 0, 33074}, {32, 0, 0, 131378}, {64, 0, 0, 524594},
                {16, 2, 0, 33618}, {16, 0, 3, 33866},  {16, 2, 3, 34410}};
    for (const auto& m : maps) {
        const MapFileContents map = SampleMap(m.size, m.planes, m.billboards);
        const Bytes bytes = EncodeMapFile(map);
        EXPECT_EQ(m.length, bytes.size()) << m.size << " " << m.planes << " " << m.billboards;
        EXPECT_EQ(static_cast<std::uint32_t>(m.planes), Get<std::uint32_t>(bytes, 278));
        EXPECT_EQ(static_cast<std::uint32_t>(m.billboards), Get<std::uint32_t>(bytes, 282));
        MapFileContents read;
        EXPECT_EQ(MapFileError::None, Decode(bytes, &read));
        EXPECT_EQ(map, read);
    }
}

TEST(MapFileFormat, AFileReadBackGivesTheSameMapAndSavesToIdenticalBytes)
{
    const Bytes bytes = EncodeMapFile(SampleMap(32, 3, 2));
    MapFileContents read;
    ASSERT_EQ(MapFileError::None, Decode(bytes, &read));
    EXPECT_EQ(SampleMap(32, 3, 2), read);
    EXPECT_EQ(bytes, EncodeMapFile(read));
}

TEST(MapFileFormat, MagicHeaderAndRecordsLieAtTheirOffsetsWithPaddingAndTextTailsZero)
{
    MapFileContents map = SampleMap(16, 1, 1);
    MapFileCell& cell = map.cells[17];
    cell = MapFileCell{17,
                       0x55555555,
                       {1.5, 2.5, 3.5, 16.0},
                       {{1, 2, 3}, {4, 5, 6}, {7, 8, 9}, {10, 11, 12}},
                       {1, 1.5f, 1},
                       {2, 16, 2},
                       9,
                       3,
                       0,
                       0x55555555};
    std::memcpy(map.planes[0].textureFile, "sea.dds\0junk", 12);
    map.planes[0].y = 2.75f;
    map.planes[0].repeat = 0;
    map.planes[0].visible = 1;
    const Bytes bytes = EncodeMapFile(map);

    EXPECT_EQ(std::string("OMD v0.01\0", 10), Text(bytes, 0, 10));
    EXPECT_EQ(16, Get<std::int32_t>(bytes, 10));
    EXPECT_EQ(16, Get<std::int32_t>(bytes, 14));
    EXPECT_EQ("textures\\atlas.bmp" + std::string(260 - 18, '\0'), Text(bytes, 18, 260));
    EXPECT_EQ(std::string(20, '\0'), Text(bytes, 286, 20));

    const std::size_t at = kCells + 128 * 17;
    EXPECT_EQ(17, Get<std::int32_t>(bytes, at));
    EXPECT_EQ(0, Get<std::int32_t>(bytes, at + 4));
    EXPECT_EQ(1.5, Get<double>(bytes, at + 8));
    EXPECT_EQ(16.0, Get<double>(bytes, at + 32));
    EXPECT_EQ(1.0f, Get<float>(bytes, at + 40));
    EXPECT_EQ(4.0f, Get<float>(bytes, at + 52));
    EXPECT_EQ(12.0f, Get<float>(bytes, at + 84));
    EXPECT_EQ(1.5f, Get<float>(bytes, at + 92));
    EXPECT_EQ(16.0f, Get<float>(bytes, at + 104));
    EXPECT_EQ(9, Get<std::int32_t>(bytes, at + 112));
    EXPECT_EQ(3, Get<std::int32_t>(bytes, at + 116));
    EXPECT_EQ(0, Get<std::int32_t>(bytes, at + 120));
    EXPECT_EQ(0, Get<std::int32_t>(bytes, at + 124));

    EXPECT_EQ("sea.dds" + std::string(260 - 7, '\0'), Text(bytes, kPlanes16, 260));
    EXPECT_EQ(2.75f, Get<float>(bytes, kPlanes16 + 260));
    EXPECT_EQ(0, Get<std::int32_t>(bytes, kPlanes16 + 264));
    EXPECT_EQ(1, Get<std::int32_t>(bytes, kPlanes16 + 268));
    const std::size_t billboard = kPlanes16 + 272;
    EXPECT_EQ("billboard0.dds" + std::string(260 - 14, '\0'), Text(bytes, billboard, 260));
    EXPECT_EQ(1, Get<std::int32_t>(bytes, billboard + 260));
    EXPECT_EQ(billboard + 264, bytes.size());
}

TEST(MapFileFormat, MalformedFilesAreRefusedWithTheirReasonAndOddButSafeOnesPass)
{
    const double nan = std::numeric_limits<double>::quiet_NaN();
    const double inf = std::numeric_limits<double>::infinity();
    const std::size_t cell5 = kCells + 128 * 5;
    const std::size_t billboards = kPlanes16 + 272 * 2;
    const struct {
        const char* what;
        std::function<void(Bytes&)> change;
        MapFileError reason;
    } cases[] = {
        {"empty", [](Bytes& b) { b.clear(); }, MapFileError::WrongMagic},
        {"shorter than the magic", [](Bytes& b) { b.resize(9); }, MapFileError::WrongMagic},
        {"magic in lower case", [](Bytes& b) { std::memcpy(&b[0], "omd", 3); }, MapFileError::WrongMagic},
        {"magic then a non-zero byte", [](Bytes& b) { b[9] = '2'; }, MapFileError::WrongMagic},
        {"only the magic", [](Bytes& b) { b.resize(10); }, MapFileError::HeaderTruncated},
        {"header cut short", [](Bytes& b) { b.resize(305); }, MapFileError::HeaderTruncated},
        {"width 0", [](Bytes& b) { Put<std::int32_t>(b, 10, 0); }, MapFileError::BadMapSize},
        {"height 0", [](Bytes& b) { Put<std::int32_t>(b, 14, 0); }, MapFileError::BadMapSize},
        {"width -16", [](Bytes& b) { Put<std::int32_t>(b, 10, -16); }, MapFileError::BadMapSize},
        {"width huge", [](Bytes& b) { Put<std::int32_t>(b, 10, 0x7FFFFFFF); }, MapFileError::BadMapSize},
        {"height most negative", [](Bytes& b) { Put<std::uint32_t>(b, 14, 0x80000000u); }, MapFileError::BadMapSize},
        {"width 48", [](Bytes& b) { Put<std::int32_t>(b, 10, 48); }, MapFileError::BadMapSize},
        {"width 1024", [](Bytes& b) { Put<std::int32_t>(b, 10, 1024); }, MapFileError::BadMapSize},
        {"height 384", [](Bytes& b) { Put<std::int32_t>(b, 14, 384); }, MapFileError::BadMapSize},
        {"width 8", [](Bytes& b) { Put<std::int32_t>(b, 10, 8); }, MapFileError::BadMapSize},
        // The quad tree over the map is square.
        {"16 x 32 cells", [](Bytes& b) { b = NonSquareMap(16, 32); }, MapFileError::BadMapSize},
        {"512 x 16 cells", [](Bytes& b) { b = NonSquareMap(512, 16); }, MapFileError::BadMapSize},
        {"width 32 over 16 x 16 cells", [](Bytes& b) { Put<std::int32_t>(b, 10, 32); },
         MapFileError::ShorterThanHeaderSays},
        {"cells cut short", [](Bytes& b) { b.resize(kCells + 128 * 100); }, MapFileError::ShorterThanHeaderSays},
        {"last billboard cut short", [](Bytes& b) { b.pop_back(); }, MapFileError::ShorterThanHeaderSays},
        {"plane count past the end", [](Bytes& b) { Put<std::uint32_t>(b, 278, 3); },
         MapFileError::ShorterThanHeaderSays},
        {"plane count huge", [](Bytes& b) { Put<std::uint32_t>(b, 278, 0xFFFFFFFFu); },
         MapFileError::ShorterThanHeaderSays},
        {"billboard count huge", [](Bytes& b) { Put<std::uint32_t>(b, 282, 0xFFFFFFFFu); },
         MapFileError::ShorterThanHeaderSays},
        {"billboard count one short", [](Bytes& b) { Put<std::uint32_t>(b, 282, 1); },
         MapFileError::LongerThanHeaderSays},
        {"one byte extra", [](Bytes& b) { b.push_back(0); }, MapFileError::LongerThanHeaderSays},
        {"65 planes", [](Bytes& b) { b = EncodeMapFile(SampleMap(16, 65, 0)); }, MapFileError::TooManyPlanes},
        {"65 billboards", [](Bytes& b) { b = EncodeMapFile(SampleMap(16, 0, 65)); }, MapFileError::TooManyBillboards},
        {"64 planes and 64 billboards", [](Bytes& b) { b = EncodeMapFile(SampleMap(16, 64, 64)); },
         MapFileError::None},
        {"cell index out of order", [&](Bytes& b) { Put<std::int32_t>(b, cell5, 6); }, MapFileError::CellOutOfOrder},
        {"cell index negative", [](Bytes& b) { Put<std::int32_t>(b, kCells, -1); }, MapFileError::CellOutOfOrder},
        {"NaN height", [&](Bytes& b) { Put(b, cell5 + 24, nan); }, MapFileError::NonFiniteHeight},
        {"infinite height", [&](Bytes& b) { Put(b, cell5 + 8, inf); }, MapFileError::NonFiniteHeight},
        {"minus infinite height", [&](Bytes& b) { Put(b, cell5 + 32, -inf); }, MapFileError::NonFiniteHeight},
        {"NaN normal", [&](Bytes& b) { Put(b, cell5 + 84, float(nan)); }, MapFileError::NonFiniteNormal},
        {"infinite normal", [&](Bytes& b) { Put(b, cell5 + 44, float(inf)); }, MapFileError::NonFiniteNormal},
        {"NaN in the box", [&](Bytes& b) { Put(b, cell5 + 108, float(nan)); }, MapFileError::NonFiniteBoundingBox},
        {"NaN plane height", [&](Bytes& b) { Put(b, kPlanes16 + 272 + 260, float(nan)); },
         MapFileError::NonFinitePlaneHeight},
        {"infinite plane height", [&](Bytes& b) { Put(b, kPlanes16 + 260, float(-inf)); },
         MapFileError::NonFinitePlaneHeight},
        {"atlas without its zero", [](Bytes& b) { std::memset(&b[18], 'a', 260); }, MapFileError::UnterminatedText},
        {"plane texture without its zero", [](Bytes& b) { std::memset(&b[kPlanes16 + 272], 'p', 260); },
         MapFileError::UnterminatedText},
        {"billboard texture without its zero", [&](Bytes& b) { std::memset(&b[billboards + 264], 'b', 260); },
         MapFileError::UnterminatedText},
        // Loading clamps heights and drops billboard ids that name no billboard.
        {"height above 16", [&](Bytes& b) { Put(b, cell5 + 8, 20.0); }, MapFileError::None},
        {"height below 0", [&](Bytes& b) { Put(b, cell5 + 8, -3.0); }, MapFileError::None},
        {"billboard id of no billboard", [&](Bytes& b) { Put<std::int32_t>(b, cell5 + 120, 99); }, MapFileError::None},
    };
    const MapFileContents untouched = SampleMap(16, 0, 1);
    for (const auto& c : cases) {
        Bytes bytes = EncodeMapFile(SampleMap(16, 2, 2));
        c.change(bytes);
        MapFileContents read = untouched;
        EXPECT_EQ(c.reason, Decode(bytes, &read)) << c.what;
        if (c.reason != MapFileError::None) {
            EXPECT_EQ(untouched, read) << c.what;
        }
    }
}

TEST(MapFileFormat, PaddingReservedBytesAndTextTailsAreIgnoredAndSavedAsZero)
{
    const Bytes clean = EncodeMapFile(SampleMap(16, 2, 2));
    Bytes bytes = clean;
    std::memset(&bytes[286], 0xEE, 20);
    Put<std::int32_t>(bytes, kCells + 4, -1);
    Put<std::int32_t>(bytes, kCells + 128 * 255 + 124, -1);
    bytes[18 + 100] = 'x';  // after the atlas name's zero
    bytes[kPlanes16 + 259] = 'x';
    MapFileContents read;
    ASSERT_EQ(MapFileError::None, Decode(bytes, &read));
    EXPECT_EQ(SampleMap(16, 2, 2), read);
    EXPECT_EQ(clean, EncodeMapFile(read));
}

TEST(MapFileFormat, NetworkDeviceAndReservedNamesAreToldFromFilesOnThisMachine)
{
    const struct {
        const char* name;
        bool refused;
    } cases[] = {
        {"\\\\host\\share\\atlas.bmp", true},
        {"//host/share/atlas.bmp", true},
        {"\\/host/atlas.bmp", true},
        {"\\\\.\\COM1", true},
        {"\\\\?\\C:\\maps\\atlas.bmp", true},
        {"CON", true},
        {"nul.dds", true},
        {"textures\\Com3.bmp", true},
        {"C:\\maps\\lpt9 .dds", true},
        {"C:aux", true},
        {"conin$", true},
        {"C:\\maps\\atlas.bmp", false},
        {"textures\\atlas.bmp", false},
        {"\\maps\\atlas.bmp", false},
        {"planetexture.dds", false},
        {"IDB_MAPCHIP", false},
        {"console.bmp", false},
        {"COM0.bmp", false},
        {"COM10", false},
        {"", false},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(c.refused, IsRemoteOrDevicePath(c.name)) << c.name;
    }
}
