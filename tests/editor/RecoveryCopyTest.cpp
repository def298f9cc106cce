#include "editor/RecoveryCopy.h"

#include "io/MapFileDisk.h"
#include "support/SampleMaps.h"
#include "support/ScratchFolder.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

// A copy as a program that has ended leaves it: no lock held.
void LeaveCopy(const std::string& folder, const std::string& stem, const MapFileContents& map, const std::string& note)
{
    ASSERT_TRUE(SaveMapFile((folder + stem + ".omd").c_str(), map));
    ASSERT_TRUE(WriteFileSafely((folder + stem + ".ini").c_str(), note.data(), note.size()));
}

std::string Note(const char* mapFile, unsigned long long time)
{
    RecoveryNote note;
    note.mapFile = mapFile;
    note.time = time;
    return EncodeRecoveryNote(note);
}

}  // namespace

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

// A running program's copy, with its note and lock, is never offered to
// another program; it goes when the map is saved and when the program ends.
TEST(RecoveryCopyTest, ARunningProgramsCopyIsItsOwnAndGoesWhenSavedOrWhenTheProgramEnds)
{
    ScratchFolder scratch("quelmora-recovery-running-test");
    const MapFileContents map = SampleMap(16, 2, 1);
    {
        RecoveryCopy running(scratch.path());
        running.MapChanged(true, 0);
        ASSERT_TRUE(running.Write(map, "C:\\maps\\island.omd", 5000));
        EXPECT_EQ(INFINITE, running.TimeToWrite(5000));
        ASSERT_EQ(3u, scratch.Files().size()) << "the copy, its note and its lock, and no temporary file";
        MapFileContents read;
        ASSERT_EQ(MapFileError::None, LoadMapFile(running.CopyPath().c_str(), &read));
        EXPECT_TRUE(read == map);

        RecoveryCopy second(scratch.path());
        RecoveryCopy::LeftCopy found;
        EXPECT_FALSE(second.ClaimLeftCopy(&found));

        running.Remove();
        EXPECT_EQ(1u, scratch.Files().size()) << "only the lock of the running program";
        running.MapChanged(true, 6000);
        ASSERT_TRUE(running.Write(map, "", 11000));
    }
    EXPECT_TRUE(scratch.Files().empty());
}

// Copies of programs that have ended: the newest is claimed (and no other
// program can claim it meanwhile), its note read; declined, it goes and the
// others stay; adopted, it is this program's copy and goes with the next save.
// A note that names a device names no map file.
TEST(RecoveryCopyTest, TheNewestLeftCopyIsOfferedOnceAndTheOthersStay)
{
    ScratchFolder scratch("quelmora-recovery-left-test");
    const std::string& folder = scratch.path();
    ASSERT_NO_FATAL_FAILURE(LeaveCopy(folder, "old", SampleMap(16, 0, 0), Note("C:\\maps\\old.omd", 100)));
    ASSERT_NO_FATAL_FAILURE(LeaveCopy(folder, "newest", SampleMap(32, 1, 0), Note("C:\\maps\\new.omd", 300)));
    ASSERT_NO_FATAL_FAILURE(LeaveCopy(folder, "device", SampleMap(16, 0, 0), Note("\\\\.\\PhysicalDrive0", 200)));

    RecoveryCopy first(folder);
    RecoveryCopy::LeftCopy found;
    ASSERT_TRUE(first.ClaimLeftCopy(&found));
    EXPECT_EQ(folder + "newest.omd", found.mapPath);
    EXPECT_EQ("C:\\maps\\new.omd", found.note.mapFile);
    EXPECT_EQ(300u, found.note.time);

    RecoveryCopy second(folder);
    RecoveryCopy::LeftCopy other;
    ASSERT_TRUE(second.ClaimLeftCopy(&other));
    EXPECT_EQ(folder + "device.omd", other.mapPath) << "the claimed copy is not offered twice";
    EXPECT_EQ("", other.note.mapFile);
    second.DiscardClaimed();

    first.AdoptClaimed();
    EXPECT_TRUE(first.HasCopy());
    EXPECT_EQ(folder + "newest.omd", first.CopyPath());
    first.Remove();
    EXPECT_EQ((std::vector<std::string>{"newest.lock", "old.ini", "old.omd"}), scratch.Files());
}
