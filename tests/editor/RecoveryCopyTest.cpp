#include "editor/RecoveryCopy.h"

#include "io/MapFileDisk.h"
#include "support/ProgramFiles.h"
#include "support/SampleMaps.h"
#include "support/ScratchFolder.h"

#include <gtest/gtest.h>

#include <windows.h>

#include <mmsystem.h>

#include <string>
#include <vector>

// When a write is due: five seconds after the last change, or a minute after
// the first one not yet written while changes keep coming, across the wrap of
// the millisecond count; a map back at its saved state wants none.
TEST(RecoveryCopyTest, AWriteIsDueFiveSecondsAfterTheLastChangeAndAtLeastOnceAMinute)
{
    ScratchFolder scratch("quelmora-recovery-schedule-test");
    const struct {
        const char* what;
        std::vector<DWORD> changes;
        bool backToSaved;
        DWORD now;
        DWORD expected;
    } cases[] = {
        {"no change", {}, false, 1000, INFINITE},
        {"one change, a second later", {1000}, false, 2000, 4000},
        {"one change, five seconds later", {1000}, false, 6000, 0},
        {"a change every two seconds", {0, 2000, 4000, 56000, 58000}, false, 58000, 2000},
        {"changes for a minute", {0, 2000, 4000, 58000, 60000}, false, 60000, 0},
        {"undone to the saved map", {1000}, true, 9000, INFINITE},
        {"across the wrap", {0xFFFFF000u}, false, 0x00000388u, 0},
        {"just before the wrap's due time", {0xFFFFF000u}, false, 0x00000000u, 904},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        RecoveryCopy copy(scratch.path());
        for (DWORD at : c.changes) {
            copy.MapChanged(true, at);
        }
        if (c.backToSaved) {
            copy.MapChanged(false, c.now);
        }
        EXPECT_EQ(c.expected, copy.TimeToWrite(c.now));
    }
}

// A copy handed to the writer reaches the disk whole, with its note and the
// lock that marks its program as running, and no temporary file; it goes
// with Remove, the lock staying while the program runs.
TEST(RecoveryCopyTest, AHandedOverCopyReachesTheDiskAndGoesWithRemove)
{
    ScratchFolder scratch("quelmora-recovery-write-test");
    const MapFileContents map = SampleMap(16, 1, 1);
    RecoveryCopy copy(scratch.path());
    copy.MapChanged(true, 0);
    copy.Write(map, "C:\\maps\\island.omd");
    copy.WaitForWrite();
    EXPECT_EQ(INFINITE, copy.TimeToWrite(5000));
    const std::vector<std::string> files = scratch.Files();
    ASSERT_EQ(3u, files.size());
    const std::string stem = scratch.path() + files[0].substr(0, files[0].find('.'));
    MapFileContents read;
    ASSERT_EQ(MapFileError::None, LoadMapFile((stem + ".omd").c_str(), &read));
    EXPECT_TRUE(read == map);
    RecoveryNote note;
    EXPECT_TRUE(DecodeRecoveryNote(ReadWholeFile(stem + ".ini"), &note));
    EXPECT_EQ("C:\\maps\\island.omd", note.mapFile);
    copy.Remove();
    EXPECT_EQ(std::vector<std::string>{files[0].substr(0, files[0].find('.')) + ".lock"}, scratch.Files());
}

namespace {

// Writes `map` as a copy now, as the main loop hands it over, and waits for the disk.
void WriteNow(RecoveryCopy& copy, const MapFileContents& map)
{
    copy.MapChanged(true, 0);
    copy.Write(map, "");
    copy.WaitForWrite();
}

// A copy left behind in `folder` by a program that has ended: "<stem>.omd",
// and a note naming `mapFile` unless `withNote` is false.
void LeaveCopy(const std::string& folder, const std::string& stem, const MapFileContents& map, bool withNote,
               const std::string& mapFile = "")
{
    ASSERT_TRUE(SaveMapFile((folder + stem + ".omd").c_str(), map));
    if (withNote) {
        RecoveryNote note;
        note.mapFile = mapFile;
        note.time = 134000000000000000ull;
        const std::string text = EncodeRecoveryNote(note);
        ASSERT_TRUE(WriteFileSafely((folder + stem + ".ini").c_str(), text.data(), text.size()));
    }
}

unsigned long long FileTimeNow()
{
    FILETIME now;
    GetSystemTimeAsFileTime(&now);
    return (static_cast<unsigned long long>(now.dwHighDateTime) << 32) | now.dwLowDateTime;
}

unsigned long long LastWritten(const std::string& path)
{
    WIN32_FILE_ATTRIBUTE_DATA data = {};
    GetFileAttributesExA(path.c_str(), GetFileExInfoStandard, &data);
    return (static_cast<unsigned long long>(data.ftLastWriteTime.dwHighDateTime) << 32) |
           data.ftLastWriteTime.dwLowDateTime;
}

void SetLastWritten(const std::string& path, unsigned long long time)
{
    HANDLE file = CreateFileA(path.c_str(), FILE_WRITE_ATTRIBUTES, FILE_SHARE_READ, nullptr, OPEN_EXISTING, 0, nullptr);
    const FILETIME written = {static_cast<DWORD>(time), static_cast<DWORD>(time >> 32)};
    SetFileTime(file, nullptr, nullptr, &written);
    CloseHandle(file);
}

}  // namespace

// The folder taken away while the program runs (its lock with it) is made
// again, lock and all, at the next write. A folder that cannot be made (a file
// in its place) fails the writes: the failure is to be told once, however
// many writes fail after it, a write is due again, and once a write succeeds
// the next failure is told again.
TEST(RecoveryCopyTest, AFolderTakenAwayIsMadeAgainAndAFailureIsToldOnceUntilAWriteSucceeds)
{
    ScratchFolder scratch("quelmora-recovery-failure-test");
    const std::string place = scratch.path() + "Recovery";
    const std::string folder = place + "\\";
    const MapFileContents map = SampleMap(16, 0, 0);
    RecoveryCopy copy(folder);
    DWORD error = 0;
    WriteNow(copy, map);
    ASSERT_EQ(1u, FileNames(folder, "*.omd").size());
    EXPECT_FALSE(copy.TakeFailure(&error));

    ASSERT_TRUE(MoveFileA(place.c_str(), (scratch.path() + "taken away").c_str()));
    WriteNow(copy, map);
    EXPECT_EQ(1u, FileNames(folder, "*.omd").size()) << "the folder was not made again";
    EXPECT_EQ(1u, FileNames(folder, "*.lock").size()) << "the copy's program would count as ended";
    EXPECT_FALSE(copy.TakeFailure(&error));

    const auto blockFolder = [&](const char* movedTo) {
        ASSERT_TRUE(MoveFileA(place.c_str(), (scratch.path() + movedTo).c_str()));
        ASSERT_TRUE(WriteFileSafely(place.c_str(), "x", 1));
    };
    blockFolder("taken away again");
    WriteNow(copy, map);
    ASSERT_TRUE(copy.TakeFailure(&error));
    EXPECT_EQ(static_cast<DWORD>(ERROR_ALREADY_EXISTS), error);
    EXPECT_FALSE(copy.TakeFailure(&error)) << "told twice";
    WriteNow(copy, map);
    EXPECT_FALSE(copy.TakeFailure(&error)) << "told again before any write succeeded";
    const DWORD longest = RecoveryCopy::kLongestWait;
    EXPECT_LE(copy.TimeToWrite(timeGetTime()), longest) << "no write due after the failure";

    ASSERT_TRUE(DeleteFileA(place.c_str()));
    WriteNow(copy, map);
    EXPECT_FALSE(copy.TakeFailure(&error));
    EXPECT_EQ(1u, FileNames(folder, "*.omd").size());

    blockFolder("taken away a third time");
    WriteNow(copy, map);
    EXPECT_TRUE(copy.TakeFailure(&error)) << "a failure after a success is to be told";
    DeleteFileA(place.c_str());
}

// Copies are not lost to an answer: a left copy declined, a damaged one, and
// a restored copy whose map is given up each go among the declined copies,
// named after their map and time, with their notes, their time on disk the
// time they were declined. A restored copy that was saved goes for good.
// Declined copies past a week go at the next start.
TEST(RecoveryCopyTest, DeclinedCopiesAreKeptBesideTheCopiesAndPrunedAtStart)
{
    ScratchFolder scratch("quelmora-recovery-decline-test");
    const std::string folder = scratch.path() + "Recovery\\";
    const std::string declined = DeclinedFolderPath(folder);
    ASSERT_EQ(folder + "Declined\\", declined);
    ASSERT_TRUE(MakeFolderPath(folder));
    const MapFileContents sound = SampleMap(16, 1, 0);
    const MapFileContents edited = SampleMap(32, 0, 1);
    const unsigned long long start = FileTimeNow();
    RecoveryCopy copy(folder);
    RecoveryCopy::LeftCopy left;

    // Declined twice over: one map and minute, two names.
    for (int i = 0; i < 2; ++i) {
        ASSERT_NO_FATAL_FAILURE(LeaveCopy(folder, "left", sound, true, "C:\\maps\\island.omd"));
        ASSERT_TRUE(copy.ClaimLeftCopy(&left));
        copy.DiscardClaimed();
    }
    std::vector<std::string> names = FileNames(declined, "*.omd");
    ASSERT_EQ(2u, names.size());
    // Sorted, " (2)" comes before ".omd".
    EXPECT_EQ(0u, names[1].find("island ")) << names[1];
    EXPECT_EQ(names[1].substr(0, names[1].size() - 4) + " (2).omd", names[0]);
    EXPECT_EQ(2u, FileNames(declined, "*.ini").size());
    RecoveryNote note;
    ASSERT_TRUE(ReadNoteOfCopy(declined + names[0], &note));
    EXPECT_EQ("C:\\maps\\island.omd", note.mapFile);
    MapFileContents read;
    ASSERT_EQ(MapFileError::None, LoadMapFile((declined + names[0]).c_str(), &read));
    EXPECT_TRUE(read == sound);
    EXPECT_GE(LastWritten(declined + names[0]) + 20000000, start) << "the week starts when it was declined";
    EXPECT_TRUE(IsDeclinedCopy(declined + names[0], folder));
    EXPECT_FALSE(IsDeclinedCopy(folder + names[0], folder));

    // Without a note (a damaged copy may have none): named as a map without a file.
    ASSERT_NO_FATAL_FAILURE(LeaveCopy(folder, "damaged", sound, false));
    ASSERT_TRUE(copy.ClaimLeftCopy(&left));
    copy.DiscardClaimed();
    names = FileNames(declined, "名前のないマップ *.omd");
    EXPECT_EQ(1u, names.size());

    // Restored, edited, then given up: the edits are what is kept.
    ASSERT_NO_FATAL_FAILURE(LeaveCopy(folder, "restored", sound, true));
    ASSERT_TRUE(copy.ClaimLeftCopy(&left));
    copy.AdoptClaimed();
    WriteNow(copy, edited);
    copy.Drop();
    names = FileNames(declined, "名前のないマップ *.omd");
    ASSERT_EQ(2u, names.size());
    int editedCopies = 0;
    for (const std::string& name : names) {
        editedCopies += LoadMapFile((declined + name).c_str(), &read) == MapFileError::None && read == edited;
    }
    EXPECT_EQ(1, editedCopies);

    // Restored and saved: the copy is gone, and the map's own file has the work.
    ASSERT_NO_FATAL_FAILURE(LeaveCopy(folder, "saved", sound, true));
    ASSERT_TRUE(copy.ClaimLeftCopy(&left));
    copy.AdoptClaimed();
    copy.Remove();
    copy.Drop();
    EXPECT_EQ(4u, FileNames(declined, "*.omd").size());
    EXPECT_TRUE(FileNames(folder, "*.omd").empty());

    // An ordinary copy given up goes as ever.
    WriteNow(copy, edited);
    copy.Drop();
    EXPECT_EQ(4u, FileNames(declined, "*.omd").size());
    EXPECT_TRUE(FileNames(folder, "*.omd").empty());

    // Eight days ago: gone at the next start, with its note; the others stay.
    const unsigned long long kDay = 24ull * 60 * 60 * 10000000;
    SetLastWritten(declined + FileNames(declined, "island *.omd")[0], start - 8 * kDay);
    copy.PruneDeclined();
    EXPECT_EQ(3u, FileNames(declined, "*.omd").size());
    EXPECT_EQ(1u, FileNames(declined, "island *.omd").size());
    EXPECT_EQ(1u, FileNames(declined, "island *.ini").size());
}
