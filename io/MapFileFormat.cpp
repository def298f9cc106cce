#include "io/MapFileFormat.h"

#include <cmath>
#include <cstring>
#include <limits>
#include <utility>

// Records go to and from the file as they lie in memory, so the file's byte
// order and number formats must be the machine's.
#if defined(__BYTE_ORDER__) && __BYTE_ORDER__ != __ORDER_LITTLE_ENDIAN__
#error "map files are little-endian memory images"
#endif
static_assert(std::numeric_limits<float>::is_iec559 && std::numeric_limits<double>::is_iec559,
              "map files hold IEEE 754 numbers");

namespace {

// Zero padding, and zero after each text's first zero (at most 259 characters kept).
void Tidy(MapFileCell& cell)
{
    cell.padding0 = 0;
    cell.padding1 = 0;
}

void Tidy(MapFilePlane& plane)
{
    CopyMapFileText(plane.textureFile, plane.textureFile);
}

void Tidy(MapFileBillboard& billboard)
{
    CopyMapFileText(billboard.textureFile, billboard.textureFile);
}

// Two records are equal when they encode to the same bytes.
template <typename Record>
bool SameRecord(Record a, Record b)
{
    Tidy(a);
    Tidy(b);
    return std::memcmp(&a, &b, sizeof a) == 0;
}

bool IsTerminated(const char (&text)[kMapFileTextSize])
{
    return std::memchr(text, '\0', kMapFileTextSize) != nullptr;
}

template <typename Number, std::size_t N>
bool AllFinite(const Number (&values)[N])
{
    for (Number value : values) {
        if (!std::isfinite(value)) {
            return false;
        }
    }
    return true;
}

MapFileError CheckCell(const MapFileCell& cell, std::size_t position)
{
    if (cell.index < 0 || static_cast<std::size_t>(cell.index) != position) {
        return MapFileError::CellOutOfOrder;
    }
    if (!AllFinite(cell.heights)) {
        return MapFileError::NonFiniteHeight;
    }
    for (const auto& normal : cell.normals) {
        if (!AllFinite(normal)) {
            return MapFileError::NonFiniteNormal;
        }
    }
    if (!AllFinite(cell.boxMin) || !AllFinite(cell.boxMax)) {
        return MapFileError::NonFiniteBoundingBox;
    }
    return MapFileError::None;
}

MapFileError CheckPlane(const MapFilePlane& plane)
{
    if (!IsTerminated(plane.textureFile)) {
        return MapFileError::UnterminatedText;
    }
    return std::isfinite(plane.y) ? MapFileError::None : MapFileError::NonFinitePlaneHeight;
}

template <typename Record>
void PutRecords(const std::vector<Record>& records, unsigned char*& out)
{
    for (Record record : records) {
        Tidy(record);
        std::memcpy(out, &record, sizeof record);
        out += sizeof record;
    }
}

template <typename Record>
std::vector<Record> TakeRecords(const unsigned char*& in, std::size_t count)
{
    std::vector<Record> records(count);
    if (count > 0) {
        std::memcpy(records.data(), in, count * sizeof(Record));
    }
    in += count * sizeof(Record);
    return records;
}

// With a map size from IsMapFileSize and 32-bit counts, no term can overflow.
std::uint64_t FileLength(std::uint64_t cells, std::uint64_t planes, std::uint64_t billboards)
{
    return kMapFileCellsOffset + sizeof(MapFileCell) * cells + sizeof(MapFilePlane) * planes +
           sizeof(MapFileBillboard) * billboards;
}

}  // namespace

bool operator==(const MapFileCell& a, const MapFileCell& b)
{
    return SameRecord(a, b);
}

bool operator==(const MapFilePlane& a, const MapFilePlane& b)
{
    return SameRecord(a, b);
}

bool operator==(const MapFileBillboard& a, const MapFileBillboard& b)
{
    return SameRecord(a, b);
}

bool operator==(const MapFileContents& a, const MapFileContents& b)
{
    return a.width == b.width && a.height == b.height &&
           std::strncmp(a.atlasFile, b.atlasFile, kMapFileTextSize - 1) == 0 && a.cells == b.cells &&
           a.planes == b.planes && a.billboards == b.billboards;
}

bool IsMapFileSize(std::int32_t cells)
{
    // Powers of two only: the quad tree over the map stays complete.
    return cells >= 16 && cells <= 512 && (cells & (cells - 1)) == 0;
}

void CopyMapFileText(char (&text)[kMapFileTextSize], const char* source)
{
    std::size_t length = 0;
    while (length < kMapFileTextSize - 1 && source[length] != '\0') {
        ++length;
    }
    std::memmove(text, source, length);
    std::memset(text + length, 0, kMapFileTextSize - length);
}

std::vector<unsigned char> EncodeMapFile(const MapFileContents& map)
{
    MapFileHeader header = {};
    header.width = map.width;
    header.height = map.height;
    CopyMapFileText(header.atlasFile, map.atlasFile);
    header.planeCount = static_cast<std::uint32_t>(map.planes.size());
    header.billboardCount = static_cast<std::uint32_t>(map.billboards.size());

    std::vector<unsigned char> bytes(FileLength(map.cells.size(), map.planes.size(), map.billboards.size()));
    unsigned char* out = bytes.data();
    std::memcpy(out, kMapFileMagic, sizeof kMapFileMagic);
    std::memcpy(out + kMapFileHeaderOffset, &header, sizeof header);
    out += kMapFileCellsOffset;
    PutRecords(map.cells, out);
    PutRecords(map.planes, out);
    PutRecords(map.billboards, out);
    return bytes;
}

MapFileError DecodeMapFile(const unsigned char* bytes, std::size_t size, MapFileContents* map)
{
    if (size < sizeof kMapFileMagic || std::memcmp(bytes, kMapFileMagic, sizeof kMapFileMagic) != 0) {
        return MapFileError::WrongMagic;
    }
    if (size < kMapFileCellsOffset) {
        return MapFileError::HeaderTruncated;
    }
    MapFileHeader header;
    std::memcpy(&header, bytes + kMapFileHeaderOffset, sizeof header);
    if (!IsMapFileSize(header.width) || !IsMapFileSize(header.height)) {
        return MapFileError::BadMapSize;
    }
    const std::size_t cellCount = static_cast<std::size_t>(header.width) * header.height;
    const std::uint64_t length = FileLength(cellCount, header.planeCount, header.billboardCount);
    if (size < length) {
        return MapFileError::ShorterThanHeaderSays;
    }
    if (size > length) {
        return MapFileError::LongerThanHeaderSays;
    }
    // The quad tree over the map is square: a map of other proportions would draw the wrong cells.
    if (header.width != header.height) {
        return MapFileError::BadMapSize;
    }
    if (header.planeCount > kMaxMapFilePlanes) {
        return MapFileError::TooManyPlanes;
    }
    if (header.billboardCount > kMaxMapFileBillboards) {
        return MapFileError::TooManyBillboards;
    }
    if (!IsTerminated(header.atlasFile)) {
        return MapFileError::UnterminatedText;
    }

    MapFileContents read;
    read.width = header.width;
    read.height = header.height;
    CopyMapFileText(read.atlasFile, header.atlasFile);
    const unsigned char* in = bytes + kMapFileCellsOffset;
    read.cells = TakeRecords<MapFileCell>(in, cellCount);
    read.planes = TakeRecords<MapFilePlane>(in, header.planeCount);
    read.billboards = TakeRecords<MapFileBillboard>(in, header.billboardCount);

    for (std::size_t i = 0; i < read.cells.size(); ++i) {
        const MapFileError error = CheckCell(read.cells[i], i);
        if (error != MapFileError::None) {
            return error;
        }
        Tidy(read.cells[i]);
    }
    for (MapFilePlane& plane : read.planes) {
        const MapFileError error = CheckPlane(plane);
        if (error != MapFileError::None) {
            return error;
        }
        Tidy(plane);
    }
    for (MapFileBillboard& billboard : read.billboards) {
        if (!IsTerminated(billboard.textureFile)) {
            return MapFileError::UnterminatedText;
        }
        Tidy(billboard);
    }
    *map = std::move(read);
    return MapFileError::None;
}
