#include "app/WindowPlacement.h"

#include <gtest/gtest.h>

#include <climits>

TEST(WindowPlacement, KeepInsideMovesAWindowTheLeastThatBringsItIn)
{
    const RECT area = {0, 0, 1280, 1000};
    const struct {
        RECT window;
        POINT expected;
    } cases[] = {
        {{100, 100, 400, 300}, {100, 100}},            // inside: stays
        {{-32000, -32000, -31700, -31800}, {0, 0}},    // where a minimised window reports itself
        {{1200, 900, 1500, 1100}, {980, 800}},         // off the right and bottom
        {{-50, 500, 250, 700}, {0, 500}},              // partly off the left
        {{10, 10, 2010, 1510}, {0, 0}},                // larger than the area
    };
    for (const auto& c : cases) {
        const POINT place = KeepInside(c.window, area);
        EXPECT_EQ(c.expected.x, place.x) << c.window.left << ", " << c.window.top;
        EXPECT_EQ(c.expected.y, place.y) << c.window.left << ", " << c.window.top;
    }
}

TEST(WindowPlacement, AMinimisedWindowReportsWhereItWillBeRestoredAndOffScreenPlacesComeBack)
{
    HWND window = CreateWindowExA(WS_EX_TOOLWINDOW, "STATIC", "placed", WS_CAPTION | WS_SYSMENU | WS_MINIMIZEBOX, 130,
                                  140, 200, 100, nullptr, nullptr, GetModuleHandleA(nullptr), nullptr);
    ASSERT_NE(nullptr, window);
    ShowWindow(window, SW_SHOWMINNOACTIVE);
    const RECT restored = RestoredWindowRect(window);
    DestroyWindow(window);
    EXPECT_EQ(130, restored.left);
    EXPECT_EQ(140, restored.top);

    const POINT lostPlaces[] = {{-32000, -32000}, {INT_MAX, INT_MIN}, {INT_MAX - 50, 0}, {0, INT_MIN + 10}};
    for (const POINT& place : lostPlaces) {
        const POINT lost = VisibleWindowPosition(place.x, place.y, 200, 100);
        const RECT back = {lost.x, lost.y, lost.x + 200, lost.y + 100};
        EXPECT_NE(nullptr, MonitorFromRect(&back, MONITOR_DEFAULTTONULL)) << place.x << ", " << place.y;
    }
    const POINT kept = VisibleWindowPosition(40, 50, 200, 100);
    EXPECT_EQ(40, kept.x);
    EXPECT_EQ(50, kept.y);
}
