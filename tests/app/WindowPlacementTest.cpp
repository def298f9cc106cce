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

TEST(WindowPlacement, SizeClearOfCutsTheSideThatKeepsMoreOfTheWindow)
{
    // The default layout's neighbours of a window at (644, 0): a dialog at the
    // right, a title bar below, a title bar at the left that ends before it.
    const std::vector<RECT> layout = {{974, 0, 1280, 580}, {647, 367, 971, 390}, {3, 66, 643, 89}};
    const struct {
        POINT place;
        SIZE wanted;
        std::vector<RECT> kept;
        SIZE expected;
    } cases[] = {
        {{644, 0}, {636, 700}, layout, {330, 367}},
        {{644, 0}, {300, 300}, layout, {300, 300}},                  // clear of them all: as wanted
        {{644, 367}, {636, 657}, {layout[0], layout[2]}, {330, 657}},  // below the dialog's top: only narrower helps
        {{0, 0}, {500, 100}, {{200, 50, 210, 60}}, {500, 50}},       // a wide window keeps its width
        {{0, 0}, {100, 500}, {{50, 200, 60, 210}}, {50, 500}},       // a tall one its height
        {{100, 100}, {400, 400}, {{0, 0, 200, 200}}, {400, 400}},    // it stands on it already: no help
        {{0, 0}, {400, 400}, {{0, 300, 400, 320}, {300, 0, 320, 400}}, {300, 300}},
    };
    for (const auto& c : cases) {
        const SIZE size = SizeClearOf(c.place, c.wanted, c.kept);
        EXPECT_EQ(c.expected.cx, size.cx) << c.place.x << ", " << c.place.y << " " << c.wanted.cx;
        EXPECT_EQ(c.expected.cy, size.cy) << c.place.x << ", " << c.place.y << " " << c.wanted.cx;
    }
}
