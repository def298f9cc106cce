#include "editor/RecoveryCopy.h"

#include "io/MapFileDisk.h"
#include "support/ProgramFiles.h"
#include "support/SampleMaps.h"
#include "support/ScratchFolder.h"

#include <gtest/gtest.h>

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
