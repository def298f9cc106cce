#include "io/MapFileDisk.h"

#include "app/ProgramText.h"

#include <windows.h>

#include <string>
#include <utility>

static_assert(306 + sizeof(MapFileCell) * 512 * 512 + sizeof(MapFilePlane) * kMaxMapFilePlanes +
                      sizeof(MapFileBillboard) * kMaxMapFileBillboards <=
                  kMaxMapFileBytes,
              "the largest map file can be read");

namespace {

// Closes the handle when the function that opened it returns.
class FileHandle {
public:
    explicit FileHandle(HANDLE handle) : m_handle(handle) {}
    ~FileHandle()
    {
        if (ok()) {
            CloseHandle(m_handle);
        }
    }
    bool ok() const { return m_handle != INVALID_HANDLE_VALUE; }
    HANDLE get() const { return m_handle; }

private:
    FileHandle(const FileHandle&) = delete;
    FileHandle& operator=(const FileHandle&) = delete;

    HANDLE m_handle;
};

// Fills the file that GetTempFileNameA reserved, and closes it before anything renames it.
bool WriteAndFlush(const char* path, const unsigned char* data, std::size_t size)
{
    FileHandle file(CreateFileA(path, GENERIC_WRITE, 0, nullptr, TRUNCATE_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr));
    if (!file.ok()) {
        return false;
    }
    const std::size_t kChunk = 1u << 30;
    while (size > 0) {
        const DWORD chunk = static_cast<DWORD>(size < kChunk ? size : kChunk);
        DWORD written = 0;
        if (!WriteFile(file.get(), data, chunk, &written, nullptr) || written != chunk) {
            return false;
        }
        data += chunk;
        size -= chunk;
    }
    return FlushFileBuffers(file.get()) != 0;
}

// Puts the written temporary in the target's place. An existing target is
// replaced, so that what the user gave it (attributes, security, streams) stays
// with the file; a new one is the temporary renamed.
bool PutInPlace(const char* temporary, const char* target)
{
    const DWORD attributes = GetFileAttributesA(target);
    if (attributes == INVALID_FILE_ATTRIBUTES) {
        return MoveFileExA(temporary, target, MOVEFILE_WRITE_THROUGH);
    }
    // A file another program holds is refused here: some ReplaceFile
    // implementations leave a file of their own behind when it fails.
    {
        FileHandle held(CreateFileA(target, DELETE, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr,
                                    OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr));
        if (!held.ok()) {
            return false;
        }
    }
    if (!ReplaceFileA(target, temporary, nullptr, REPLACEFILE_IGNORE_MERGE_ERRORS, nullptr, nullptr)) {
        return false;
    }
    // Not every ReplaceFile keeps the attributes: they are put back.
    if (GetFileAttributesA(target) != attributes) {
        SetFileAttributesA(target, attributes);
    }
    return true;
}

}  // namespace

const char* MapNotSavedMessage()
{
    return Text(IDS_MAP_NOT_SAVED);
}

MapFileError ReadFileBytes(const char* path, unsigned long long limit, std::vector<unsigned char>* bytes)
{
    FileHandle file(
        CreateFileA(path, GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr));
    // Devices and pipes open too, but a read from them may never end.
    if (!file.ok() || GetFileType(file.get()) != FILE_TYPE_DISK) {
        return MapFileError::CannotOpen;
    }
    LARGE_INTEGER size = {};
    if (!GetFileSizeEx(file.get(), &size)) {
        return MapFileError::CannotRead;
    }
    if (size.QuadPart < 0 || static_cast<unsigned long long>(size.QuadPart) > limit) {
        return MapFileError::TooLarge;
    }
    std::vector<unsigned char> read(static_cast<std::size_t>(size.QuadPart));
    std::size_t at = 0;
    while (at < read.size()) {
        DWORD got = 0;
        // Zero bytes before the end: the file shrank under us.
        if (!ReadFile(file.get(), read.data() + at, static_cast<DWORD>(read.size() - at), &got, nullptr) || got == 0) {
            return MapFileError::CannotRead;
        }
        at += got;
    }
    *bytes = std::move(read);
    return MapFileError::None;
}

MapFileError ReadMapFileBytes(const char* path, std::vector<unsigned char>* bytes)
{
    return ReadFileBytes(path, kMaxMapFileBytes, bytes);
}

bool WriteFileSafely(const char* path, const void* data, std::size_t size)
{
    char fullPath[MAX_PATH];
    char* name = nullptr;
    const DWORD length = GetFullPathNameA(path, MAX_PATH, fullPath, &name);
    if (length == 0 || length >= MAX_PATH || name == nullptr) {
        return false;
    }
    // A read-only file is the user's word that it must not change; a rename
    // over it is not refused everywhere, so refuse it here.
    const DWORD attributes = GetFileAttributesA(fullPath);
    if (attributes != INVALID_FILE_ATTRIBUTES && (attributes & (FILE_ATTRIBUTE_READONLY | FILE_ATTRIBUTE_DIRECTORY))) {
        SetLastError(ERROR_ACCESS_DENIED);
        return false;
    }
    // The temporary lies in the target's folder, so the final rename never
    // crosses volumes and can replace the target in one step.
    const std::string folder(fullPath, name);
    char temporary[MAX_PATH];
    if (GetTempFileNameA(folder.c_str(), "omd", 0, temporary) == 0) {
        return false;
    }
    if (WriteAndFlush(temporary, static_cast<const unsigned char*>(data), size) && PutInPlace(temporary, fullPath)) {
        return true;
    }
    // The caller may tell the user why: the clean-up must not hide it.
    const DWORD error = GetLastError();
    DeleteFileA(temporary);
    SetLastError(error);
    return false;
}

MapFileError LoadMapFile(const char* path, MapFileContents* map)
{
    std::vector<unsigned char> bytes;
    const MapFileError error = ReadMapFileBytes(path, &bytes);
    if (error != MapFileError::None) {
        return error;
    }
    return DecodeMapFile(bytes.data(), bytes.size(), map);
}

bool SaveMapFile(const char* path, const MapFileContents& map)
{
    const std::vector<unsigned char> bytes = EncodeMapFile(map);
    // A file the reader would refuse (too many planes, a map size it does not
    // know) is never written: it could not be opened again.
    MapFileContents check;
    if (DecodeMapFile(bytes.data(), bytes.size(), &check) != MapFileError::None) {
        return false;
    }
    return WriteFileSafely(path, bytes.data(), bytes.size());
}

const char* MapFileErrorMessage(MapFileError error)
{
    switch (error) {
        case MapFileError::None:
            return "";
        case MapFileError::CannotOpen:
            return Text(IDS_MAP_CANNOT_OPEN);
        case MapFileError::TooLarge:
            return Text(IDS_MAP_TOO_LARGE);
        case MapFileError::CannotRead:
            return Text(IDS_MAP_CANNOT_READ);
        case MapFileError::WrongMagic:
            return Text(IDS_MAP_WRONG_MAGIC);
        case MapFileError::HeaderTruncated:
            return Text(IDS_MAP_HEADER_TRUNCATED);
        case MapFileError::BadMapSize:
            return Text(IDS_MAP_BAD_MAP_SIZE);
        case MapFileError::ShorterThanHeaderSays:
            return Text(IDS_MAP_SHORTER_THAN_HEADER_SAYS);
        case MapFileError::LongerThanHeaderSays:
            return Text(IDS_MAP_LONGER_THAN_HEADER_SAYS);
        case MapFileError::TooManyPlanes:
            return Text(IDS_MAP_TOO_MANY_PLANES);
        case MapFileError::TooManyBillboards:
            return Text(IDS_MAP_TOO_MANY_BILLBOARDS);
        case MapFileError::CellOutOfOrder:
            return Text(IDS_MAP_CELL_OUT_OF_ORDER);
        case MapFileError::NonFiniteHeight:
            return Text(IDS_MAP_NON_FINITE_HEIGHT);
        case MapFileError::NonFiniteNormal:
            return Text(IDS_MAP_NON_FINITE_NORMAL);
        case MapFileError::NonFiniteBoundingBox:
            return Text(IDS_MAP_NON_FINITE_BOUNDING_BOX);
        case MapFileError::NonFinitePlaneHeight:
            return Text(IDS_MAP_NON_FINITE_PLANE_HEIGHT);
        case MapFileError::UnterminatedText:
            return Text(IDS_MAP_UNTERMINATED_TEXT);
    }
    return "";
}
