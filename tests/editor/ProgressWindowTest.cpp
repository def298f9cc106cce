#include "editor/ProgressWindow.h"

#include <commctrl.h>

#include <gtest/gtest.h>

#include <vector>

namespace {

// A visible window of this thread, as the editor's windows are.
class PlainWindow {
public:
    PlainWindow()
        : m_hwnd(CreateWindowExA(0, "STATIC", "progress-test", WS_OVERLAPPEDWINDOW | WS_VISIBLE, 10, 10, 200, 100,
                                 nullptr, nullptr, GetModuleHandleA(nullptr), nullptr))
    {
    }
    ~PlainWindow() { DestroyWindow(m_hwnd); }
    PlainWindow(const PlainWindow&) = delete;
    PlainWindow& operator=(const PlainWindow&) = delete;
    HWND get() const { return m_hwnd; }

private:
    HWND m_hwnd;
};

}  // namespace

TEST(ProgressWindow, StepsRunUntilDoneWithTheOtherWindowsTakingNoInputAndShortWorkShowsNoWindow)
{
    PlainWindow other;
    ProgressWindow progress(other.get(), "マップ画像の書き出し");
    std::vector<bool> enabled;
    int steps = 0;
    EXPECT_TRUE(progress.Run([&](double* done) {
        enabled.push_back(IsWindowEnabled(other.get()) != FALSE);
        *done = ++steps / 3.0;
        return steps == 3;
    }));
    EXPECT_EQ(3, steps);
    EXPECT_EQ((std::vector<bool>{false, false, false}), enabled);
    EXPECT_TRUE(IsWindowEnabled(other.get()));
    EXPECT_EQ(nullptr, progress.Window());
}

TEST(ProgressWindow, LongWorkShowsItsWindowAndAQuitEndsItLeavingTheQuitForTheProgramsLoop)
{
    PlainWindow other;
    ProgressWindow progress(other.get(), "マップ画像の書き出し");
    HWND shown = nullptr;
    int steps = 0;
    const DWORD start = GetTickCount();
    EXPECT_FALSE(progress.Run([&](double* done) {
        ++steps;
        *done = 0.5;
        if (progress.Window() && !shown) {
            shown = progress.Window();
            char caption[64] = {};
            GetWindowTextA(shown, caption, sizeof caption);
            EXPECT_STREQ("マップ画像の書き出し", caption);
            EXPECT_EQ(500, SendDlgItemMessageA(shown, 1100, PBM_GETPOS, 0, 0));
            PostQuitMessage(3);
        }
        Sleep(10);
        // Never done: only the quit ends it, long after the window would show.
        return GetTickCount() - start > 20000;
    }));
    ASSERT_NE(nullptr, shown);
    EXPECT_FALSE(IsWindow(shown));
    EXPECT_TRUE(IsWindowEnabled(other.get()));
    MSG message;
    ASSERT_TRUE(PeekMessageA(&message, nullptr, WM_QUIT, WM_QUIT, PM_REMOVE));
    EXPECT_EQ(3u, message.wParam);
    EXPECT_GT(steps, 1);
}

// Esc in the window gives the work up; once the work can no longer be given
// up, it goes on to the end.
TEST(ProgressWindow, EscInItsWindowCancelsTheWorkUntilCancellingStops)
{
    for (bool cancellable : {true, false}) {
        SCOPED_TRACE(cancellable);
        PlainWindow other;
        ProgressWindow progress(other.get(), "マップ画像の書き出し");
        if (!cancellable) {
            progress.StopCancelling();
        }
        int pressed = 0;
        bool focused = false;
        EXPECT_EQ(!cancellable, progress.Run([&](double*) {
            if (progress.Window() && pressed < 3) {
                // The key goes where the keyboard is: the window has it once it shows.
                HWND focus = GetFocus();
                focused = focus && (focus == progress.Window() || IsChild(progress.Window(), focus));
                PostMessageA(focus ? focus : progress.Window(), WM_KEYDOWN, VK_ESCAPE, 0);
                ++pressed;
            }
            Sleep(10);
            return pressed == 3;
        }));
        EXPECT_TRUE(focused);
        EXPECT_EQ(cancellable ? 1 : 3, pressed);
    }
}
