#include "app/COxelFrameTimer.h"

#include <cstdio>
#include <cstring>

COxelFrameTimer::COxelFrameTimer()
    : m_lastFrame(0), m_intervalStart(0), m_intervalStarted(false), m_frameCount(0), m_rateText()
{
}

DWORD COxelFrameTimer::TimeToNextFrame(DWORD now) const
{
    const DWORD sinceLast = now - m_lastFrame;
    return sinceLast < kFrameInterval ? kFrameInterval - sinceLast : 0;
}

COxelFrameTimer::Step COxelFrameTimer::Advance(DWORD now)
{
    if (!m_intervalStarted) {
        m_intervalStart = now;
        m_intervalStarted = true;
    }
    if (now - m_lastFrame < kFrameInterval) {
        return Skip;
    }
    m_lastFrame = now;

    Step step = Draw;
    if (now - m_intervalStart >= kRateInterval) {
        std::memset(m_rateText, 0, sizeof m_rateText);
        std::snprintf(m_rateText, sizeof m_rateText, "[ FPS : %03d/s ]", 2 * m_frameCount);
        m_intervalStart = now;
        m_frameCount = 0;
        step = DrawAndShowRate;
    }
    ++m_frameCount;
    return step;
}
