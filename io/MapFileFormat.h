#pragma once

#include <cstddef>
#include <cstdint>
#include <vector>

// The .omd map file as bytes: fixed-size records back to back, a plain
// little-endian memory image. Encoding and decoding need no window, device or
// disk, so the layout can be tested and fuzzed on its own.
//
//   offset 0                         10-byte magic "OMD v0.01" and a zero
//   offset 10                        MapFileHeader
//   offset 306                       MapFileCell for cell 0 .. W*H - 1
//   then                             MapFilePlane for plane id 0 .. P - 1
//   then                             MapFileBillboard for billboard id 0 .. B - 1

// File names in the file: zero-terminated 8-bit text, the rest of the field zero.
const int kMapFileTextSize = 260;

const char kMapFileMagic[] = "OMD v0.01";
static_assert(sizeof(kMapFileMagic) == 10, "the magic is nine characters and a zero");

const std::size_t kMapFileHeaderOffset = sizeof(kMapFileMagic);

struct MapFileHeader {
    std::int32_t width;   // cells along x (columns)
    std::int32_t height;  // cells along z (rows)
    // "IDB_MAPCHIP" for the built-in atlas, otherwise the path of the BMP loaded as the atlas.
    char atlasFile[kMapFileTextSize];
    std::uint32_t planeCount;
    std::uint32_t billboardCount;
    std::uint8_t reserved[20];
};
static_assert(sizeof(MapFileHeader) == 296, "header size");
static_assert(offsetof(MapFileHeader, width) == 0, "header layout");
static_assert(offsetof(MapFileHeader, height) == 4, "header layout");
static_assert(offsetof(MapFileHeader, atlasFile) == 8, "header layout");
static_assert(offsetof(MapFileHeader, planeCount) == 268, "header layout");
static_assert(offsetof(MapFileHeader, billboardCount) == 272, "header layout");
static_assert(offsetof(MapFileHeader, reserved) == 276, "header layout");

const std::size_t kMapFileCellsOffset = kMapFileHeaderOffset + sizeof(MapFileHeader);

// Cell i is column x = i mod W, row y = i div W. Corner c is vertex c of the
// cell's quad: (x, y), (x, y + 1), (x + 1, y), (x + 1, y + 1), wrapping at the
// map's edges.
struct MapFileCell {
    std::int32_t index;  // i, the record's own position
    std::int32_t padding0;
    double heights[4];
    float normals[4][3];
    float boxMin[3];  // the quad's bounding box
    float boxMax[3];
    std::int32_t chip;       // atlas tile
    std::int32_t rotation;   // quarter turns
    std::int32_t billboard;  // billboard id, -1 for none
    std::int32_t padding1;
};
static_assert(sizeof(MapFileCell) == 128, "cell record size");
static_assert(offsetof(MapFileCell, index) == 0, "cell layout");
static_assert(offsetof(MapFileCell, padding0) == 4, "cell layout");
static_assert(offsetof(MapFileCell, heights) == 8, "cell layout");
static_assert(offsetof(MapFileCell, normals) == 40, "cell layout");
static_assert(offsetof(MapFileCell, boxMin) == 88, "cell layout");
static_assert(offsetof(MapFileCell, boxMax) == 100, "cell layout");
static_assert(offsetof(MapFileCell, chip) == 112, "cell layout");
static_assert(offsetof(MapFileCell, rotation) == 116, "cell layout");
static_assert(offsetof(MapFileCell, billboard) == 120, "cell layout");
static_assert(offsetof(MapFileCell, padding1) == 124, "cell layout");

struct MapFilePlane {
    char textureFile[kMapFileTextSize];
    float y;               // the height the plane lies at
    std::int32_t repeat;   // 1 tiles the image, 0 shows it once
    std::int32_t visible;  // 1 drawn, 0 hidden
};
static_assert(sizeof(MapFilePlane) == 272, "plane record size");
static_assert(offsetof(MapFilePlane, textureFile) == 0, "plane layout");
static_assert(offsetof(MapFilePlane, y) == 260, "plane layout");
static_assert(offsetof(MapFilePlane, repeat) == 264, "plane layout");
static_assert(offsetof(MapFilePlane, visible) == 268, "plane layout");

struct MapFileBillboard {
    char textureFile[kMapFileTextSize];
    std::int32_t repeat;
};
static_assert(sizeof(MapFileBillboard) == 264, "billboard record size");
static_assert(offsetof(MapFileBillboard, textureFile) == 0, "billboard layout");
static_assert(offsetof(MapFileBillboard, repeat) == 260, "billboard layout");

// Records compare by what they say: texts up to their zero, padding ignored.
bool operator==(const MapFileCell& a, const MapFileCell& b);
bool operator==(const MapFilePlane& a, const MapFilePlane& b);
bool operator==(const MapFileBillboard& a, const MapFileBillboard& b);

// Everything one map file holds. The header's counts are the sizes of the vectors.
struct MapFileContents {
    std::int32_t width = 0;
    std::int32_t height = 0;
    char atlasFile[kMapFileTextSize] = {};
    std::vector<MapFileCell> cells;  // width x height records, cell i with index i
    std::vector<MapFilePlane> planes;
    std::vector<MapFileBillboard> billboards;
};
bool operator==(const MapFileContents& a, const MapFileContents& b);

// The most planes and billboards a file may list. A real map has a handful of
// each; every one costs the loader image reads and list entries (some 30 ms),
// so a file that lists thousands would keep the editor busy for minutes, while
// at these bounds the largest file opens in a few seconds.
const std::uint32_t kMaxMapFilePlanes = 64;
const std::uint32_t kMaxMapFileBillboards = 64;

// Why a map file was not taken. The first three come from reading the disk,
// the others from the bytes.
enum class MapFileError {
    None,
    CannotOpen,             // missing, locked, or not a file
    TooLarge,               // far larger than any map file
    CannotRead,             // the read itself failed
    WrongMagic,             // another version or another kind of file, or shorter than the magic
    HeaderTruncated,        // ends inside the header
    BadMapSize,             // width or height other than 16, 32, 64, 128, 256 or 512, or the two differ
    ShorterThanHeaderSays,  // ends before the cells, planes and billboards that the header counts
    LongerThanHeaderSays,   // bytes after the last record
    TooManyPlanes,          // more than kMaxMapFilePlanes
    TooManyBillboards,      // more than kMaxMapFileBillboards
    CellOutOfOrder,         // a cell record whose index is not its position
    NonFiniteHeight,
    NonFiniteNormal,
    NonFiniteBoundingBox,
    NonFinitePlaneHeight,
    UnterminatedText,  // a 260-byte file name without its zero
};

// The map sizes the editor makes: 16, 32, 64, 128, 256 and 512 cells on a side.
bool IsMapFileSize(std::int32_t cells);

// Copies at most 259 characters of source into text and zeroes the rest.
void CopyMapFileText(char (&text)[kMapFileTextSize], const char* source);

// The whole file for map: the magic, the header, then the records as given,
// with every padding byte and the rest of every text zero. map.cells must hold
// width x height records.
std::vector<unsigned char> EncodeMapFile(const MapFileContents& map);

// Checks everything before anything is taken: magic, header, map size, the
// exact length the header implies, the plane and billboard bounds, cell order, finite heights, normals, boxes
// and plane heights, terminated texts. Fills *map only when the file passes
// (padding and text tails come back zero). Heights outside 0 .. 16 and
// billboard ids that name no billboard pass: the loader deals with them.
MapFileError DecodeMapFile(const unsigned char* bytes, std::size_t size, MapFileContents* map);
