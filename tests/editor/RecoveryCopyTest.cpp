#include "editor/RecoveryCopy.h"

#include "support/ScratchFolder.h"

#include <gtest/gtest.h>

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
