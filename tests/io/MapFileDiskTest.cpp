#include "io/MapFileDisk.h"

#include "support/SampleMaps.h"
#include "support/ScratchFolder.h"

#include <gtest/gtest.h>

#include <windows.h>

#include <string>
#include <vector>

namespace {

using Bytes = std::vector<unsigned char>;

class MapFileDiskTest : public ::testing::Test {
protected:
    std::vector<std::string> Files() const { return scratch.Files(); }

    void Write(const std::string& file, const Bytes& bytes)
    {
        ASSERT_TRUE(WriteFileSafely(file.c_str(), bytes.data(), bytes.size()));
    }

    Bytes Read(const std::string& file)
    {
        Bytes bytes;
        EXPECT_EQ(MapFileError::None, ReadMapFileBytes(file.c_str(), &bytes)) << file;
        return bytes;
    }

    ScratchFolder scratch{"quelmora-map-file-test"};
    const std::string folder = scratch.path();
    const std::string path = folder + "map.omd";
};

}  // namespace

TEST_F(MapFileDiskTest, ReadingFailsCleanlyOnMissingLockedFoldersAndHugeFilesAndCreatesNothing)
{
    const MapFileContents untouched = SampleMap(16, 0, 0);
    MapFileContents map = untouched;
    EXPECT_EQ(MapFileError::CannotOpen, LoadMapFile(path.c_str(), &map));
    EXPECT_EQ(std::vector<std::string>{}, Files());
    EXPECT_EQ(MapFileError::CannotOpen, LoadMapFile(folder.c_str(), &map));

    Write(path, EncodeMapFile(SampleMap(16, 1, 1)));
    const HANDLE locked = CreateFileA(path.c_str(), GENERIC_READ, 0, nullptr, OPEN_EXISTING, 0, nullptr);
    EXPECT_EQ(MapFileError::CannotOpen, LoadMapFile(path.c_str(), &map));
    CloseHandle(locked);

    const std::string huge = folder + "huge.omd";
    const HANDLE file = CreateFileA(huge.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_NEW, 0, nullptr);
    LARGE_INTEGER end;
    end.QuadPart = kMaxMapFileBytes + 1;
    SetFilePointerEx(file, end, nullptr, FILE_BEGIN);
    SetEndOfFile(file);
    CloseHandle(file);
    EXPECT_EQ(MapFileError::TooLarge, LoadMapFile(huge.c_str(), &map));
    EXPECT_EQ(untouched, map);
}

TEST_F(MapFileDiskTest, SavingOverALongerFileLeavesExactlyTheNewMapWithTheOldFilesAttributesAndNoTemporary)
{
    Write(path, Bytes(200000, 0xAB));
    // What the user gave the file stays with it.
    ASSERT_TRUE(SetFileAttributesA(path.c_str(), FILE_ATTRIBUTE_HIDDEN));
    const MapFileContents map = SampleMap(32, 2, 1);
    ASSERT_TRUE(SaveMapFile(path.c_str(), map));
    EXPECT_TRUE(GetFileAttributesA(path.c_str()) & FILE_ATTRIBUTE_HIDDEN);
    EXPECT_EQ(EncodeMapFile(map), Read(path));
    MapFileContents read;
    EXPECT_EQ(MapFileError::None, LoadMapFile(path.c_str(), &read));
    EXPECT_EQ(map, read);
    EXPECT_EQ(std::vector<std::string>{"map.omd"}, Files());
}

TEST_F(MapFileDiskTest, FailedSavesKeepTheOldFileAndLeaveNoTemporary)
{
    const Bytes old = EncodeMapFile(SampleMap(16, 0, 0));
    Write(path, old);
    const MapFileContents map = SampleMap(64, 1, 1);

    EXPECT_FALSE(SaveMapFile((folder + "missing\\map.omd").c_str(), map));

    const HANDLE locked = CreateFileA(path.c_str(), GENERIC_READ, 0, nullptr, OPEN_EXISTING, 0, nullptr);
    ASSERT_NE(INVALID_HANDLE_VALUE, locked);
    EXPECT_FALSE(SaveMapFile(path.c_str(), map));
    CloseHandle(locked);

    SetFileAttributesA(path.c_str(), FILE_ATTRIBUTE_READONLY);
    EXPECT_FALSE(SaveMapFile(path.c_str(), map));
    SetFileAttributesA(path.c_str(), FILE_ATTRIBUTE_NORMAL);

    // A map the reader would refuse is never written: it could not be opened again.
    EXPECT_FALSE(SaveMapFile(path.c_str(), SampleMap(16, 65, 0)));
    EXPECT_FALSE(SaveMapFile(path.c_str(), SampleMap(16, 0, 65)));

    EXPECT_EQ(old, Read(path));
    EXPECT_EQ(std::vector<std::string>{"map.omd"}, Files());
}
