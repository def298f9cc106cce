#pragma once

#include <windows.h>

// Paces the preview: a frame at most every 16 ms, and every half second the
// frame rate for the title bar. Times come from the caller (timeGetTime in the
// program), so the pacing can be driven by hand.
class COxelFrameTimer {
public:
    enum Step { Skip, Draw, DrawAndShowRate };

    static const DWORD kFrameInterval = 16;
    static const DWORD kRateInterval = 500;

    COxelFrameTimer();

    // Decides what the frame at `now` does and counts it. Differences are unsigned,
    // so the pacing survives the millisecond counter's wrap.
    Step Advance(DWORD now);
    // Milliseconds from `now` until a frame may be drawn again; 0 when one may
    // be drawn now.
    DWORD TimeToNextFrame(DWORD now) const;
    // "[ FPS : 060/s ]" for thirty frames in the last interval; valid after DrawAndShowRate.
    const char* RateText() const { return m_rateText; }

private:
    DWORD m_lastFrame;
    DWORD m_intervalStart;
    bool m_intervalStarted;
    int m_frameCount;
    char m_rateText[64];
};
