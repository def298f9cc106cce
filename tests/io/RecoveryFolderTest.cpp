#include "io/RecoveryFolder.h"

#include <gtest/gtest.h>

#include <windows.h>

#include <string>
#include <vector>

namespace {

const unsigned long long kDay = 24ull * 60 * 60 * 10000000;

}  // namespace

// Declined copies stay a week from when they were declined, and only the
// newest twenty; the order they are listed in does not matter, and a copy
// whose time is ahead of the clock counts as new.
TEST(RecoveryFolderTest, DeclinedCopiesGoAfterAWeekAndPastTheNewestTwenty)
{
    const unsigned long long now = 1000 * kDay;
    // Ages in days (negative: ahead of the clock) and the indexes that go.
    const struct {
        const char* what;
        std::vector<double> ages;
        std::vector<size_t> removed;
    } cases[] = {
        {"none", {}, {}},
        {"a day old", {1}, {}},
        {"exactly a week", {7}, {}},
        {"just over a week", {7.0001}, {0}},
        {"old and new mixed", {8, 0.5, 30, 6.9}, {0, 2}},
        {"ahead of the clock", {-2, 8}, {1}},
        {"twenty", std::vector<double>(20, 1), {}},
        {"twenty-one: the oldest goes", {1, 1, 1, 1, 1, 1, 1, 1, 1, 1, 1, 1, 1, 1, 1, 1, 1, 1, 1, 1, 2}, {20}},
        {"twenty-two, newest first",
         {0.1, 0.2, 0.3, 0.4, 0.5, 0.6, 0.7, 0.8, 0.9, 1.0, 1.1, 1.2, 1.3, 1.4, 1.5, 1.6, 1.7, 1.8, 1.9, 2.0, 2.1, 2.2},
         {20, 21}},
        {"twenty-two, oldest first",
         {2.2, 2.1, 2.0, 1.9, 1.8, 1.7, 1.6, 1.5, 1.4, 1.3, 1.2, 1.1, 1.0, 0.9, 0.8, 0.7, 0.6, 0.5, 0.4, 0.3, 0.2, 0.1},
         {0, 1}},
        {"twenty within the week and three past it",
         {9, 1, 1, 1, 1, 1, 1, 1, 1, 1, 1, 1, 1, 1, 1, 1, 1, 1, 1, 1, 8, 1, 10},
         {0, 20, 22}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        std::vector<unsigned long long> times;
        for (double age : c.ages) {
            times.push_back(static_cast<unsigned long long>(static_cast<double>(now) - age * kDay));
        }
        EXPECT_EQ(c.removed, DeclinedCopiesToRemove(times, now));
    }
}

// A declined copy is named after its map and the minute it was written; the
// map's name is read a character at a time (a trail byte 0x5C is no folder)
// and shortened to the room there is, never inside a character.
TEST(RecoveryFolderTest, ADeclinedCopyIsNamedAfterItsMapAndTime)
{
    SYSTEMTIME written = {};
    written.wYear = 2026;
    written.wMonth = 12;
    written.wDay = 8;
    written.wHour = 9;
    written.wMinute = 5;
    const struct {
        const char* mapFile;
        size_t room;
        std::string expected;
    } cases[] = {
        {"C:\\maps\\island.omd", 200, "island 2026-12-08 09.05"},
        {"", 200, "名前のないマップ 2026-12-08 09.05"},
        {"\\\\server\\share\\two.dots.omd", 200, "two.dots 2026-12-08 09.05"},
        {"C:\\maps\\noextension", 200, "noextension 2026-12-08 09.05"},
        // "表" ends in 0x5C: the name is "表ソ", not "ソ".
        {"C:\\表ソ.omd", 200, "表ソ 2026-12-08 09.05"},
        {"C:\\maps\\island.omd", 20, "isl 2026-12-08 09.05"},
        // Two bytes each: three characters fit in seven bytes, not three and a half.
        {"C:\\あいうえお.omd", 24, "あいう 2026-12-08 09.05"},
        {"C:\\maps\\island.omd", 10, "2026-12-08"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.mapFile);
        const std::string stem = DeclinedCopyStem(c.mapFile, written, c.room);
        EXPECT_EQ(c.expected, stem);
        EXPECT_LE(stem.size(), c.room);
    }
}
