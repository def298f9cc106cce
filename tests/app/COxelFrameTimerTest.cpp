#include "app/COxelFrameTimer.h"

#include <gtest/gtest.h>

#include <string>

TEST(COxelFrameTimer, FirstCallDrawsAndStartsTheRateInterval)
{
    COxelFrameTimer timer;
    EXPECT_EQ(COxelFrameTimer::Draw, timer.Advance(100000));
    // The title first changes one interval after the first call.
    EXPECT_EQ(COxelFrameTimer::Draw, timer.Advance(100480));
    EXPECT_EQ(COxelFrameTimer::Draw, timer.Advance(100499 - 3));
    EXPECT_EQ(COxelFrameTimer::DrawAndShowRate, timer.Advance(100520));
}

TEST(COxelFrameTimer, CallsWithin16msOfTheLastFrameChangeNothing)
{
    COxelFrameTimer timer;
    timer.Advance(1000);
    EXPECT_EQ(COxelFrameTimer::Skip, timer.Advance(1001));
    EXPECT_EQ(COxelFrameTimer::Skip, timer.Advance(1015));
    // The loop sleeps until the next frame is due.
    EXPECT_EQ(16u, timer.TimeToNextFrame(1000));
    EXPECT_EQ(1u, timer.TimeToNextFrame(1015));
    EXPECT_EQ(0u, timer.TimeToNextFrame(1016));
    EXPECT_EQ(0u, timer.TimeToNextFrame(1400));
    EXPECT_EQ(COxelFrameTimer::Draw, timer.Advance(1016));
    // Skipped calls were not counted: two frames in this interval.
    EXPECT_EQ(COxelFrameTimer::DrawAndShowRate, timer.Advance(1500));
    EXPECT_EQ(std::string("[ FPS : 004/s ]"), timer.RateText());
}

TEST(COxelFrameTimer, ShowsTwiceTheFramesOfTheLastHalfSecond)
{
    COxelFrameTimer timer;
    DWORD now = 5000;
    for (int frame = 0; frame < 30; ++frame, now += 16) {
        ASSERT_NE(COxelFrameTimer::Skip, timer.Advance(now));
    }
    ASSERT_EQ(COxelFrameTimer::DrawAndShowRate, timer.Advance(5500));
    EXPECT_EQ(std::string("[ FPS : 060/s ]"), timer.RateText());

    // The frame that showed the rate opens the next interval: it and two more make three.
    timer.Advance(5600);
    timer.Advance(5700);
    ASSERT_EQ(COxelFrameTimer::DrawAndShowRate, timer.Advance(6000));
    EXPECT_EQ(std::string("[ FPS : 006/s ]"), timer.RateText());
}

TEST(COxelFrameTimer, SurvivesTheMillisecondCounterWrapping)
{
    COxelFrameTimer timer;
    timer.Advance(0xFFFFFFF0u);
    EXPECT_EQ(2u, timer.TimeToNextFrame(0xFFFFFFFEu));
    EXPECT_EQ(COxelFrameTimer::Skip, timer.Advance(0xFFFFFFFEu));
    EXPECT_EQ(COxelFrameTimer::Draw, timer.Advance(0x00000000u));
    EXPECT_EQ(COxelFrameTimer::DrawAndShowRate, timer.Advance(0x000001F0u));
}
