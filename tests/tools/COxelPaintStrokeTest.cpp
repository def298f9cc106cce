#include "tools/COxelPaintStroke.h"

#include <gtest/gtest.h>

#include <set>
#include <utility>

TEST(PaintStroke, ReachesEverySquareThePointerPassesOnlyOncePerStroke)
{
    COxelPaintStroke stroke;
    std::set<std::pair<int, int>> reached;
    size_t calls = 0;
    const auto take = [&](const std::vector<GridPoint>& squares) {
        for (const GridPoint& square : squares) {
            ++calls;
            reached.insert({square.column, square.row});
        }
    };
    take(stroke.Begin(WM_LBUTTONDOWN, POINT{5, 5}, 10, 10, 32, 32));
    EXPECT_TRUE(stroke.Active());
    EXPECT_EQ(static_cast<UINT>(WM_LBUTTONDOWN), stroke.Button());
    // Across the view in one jump, back over the same squares, then down.
    take(stroke.MoveTo(POINT{315, 5}));
    take(stroke.MoveTo(POINT{5, 5}));
    take(stroke.MoveTo(POINT{5, 95}));
    // Outside the view: the squares up to its edge only.
    take(stroke.MoveTo(POINT{5, 900}));
    EXPECT_EQ(32u + 31u, reached.size());
    EXPECT_EQ(reached.size(), calls) << "no square twice";
    EXPECT_EQ(1u, reached.count({0, 31}));

    stroke.End();
    EXPECT_FALSE(stroke.Active());
    EXPECT_TRUE(stroke.MoveTo(POINT{50, 50}).empty());
    // A new stroke reaches its squares again.
    EXPECT_EQ(1u, stroke.Begin(WM_RBUTTONDOWN, POINT{5, 5}, 10, 10, 32, 32).size());
    EXPECT_TRUE(stroke.Begin(WM_RBUTTONDOWN, POINT{500, 5}, 10, 10, 32, 32).empty()) << "outside the view";
}

TEST(PaintStroke, FollowsPressesMovesAndReleasesOfTheButtonThatBeganIt)
{
    struct Row {
        UINT message;
        POINT at;
        bool interrupted, handled, begins, ends;
    };
    const Row rows[] = {
        {WM_MOUSEMOVE, POINT{5, 5}, false, true, false, false},       // no stroke: nothing to reach
        {WM_LBUTTONUP, POINT{5, 5}, false, false, false, false},      // a lone release
        {WM_LBUTTONDOWN, POINT{500, 5}, false, false, false, false},  // a press outside the view
        {WM_LBUTTONDOWN, POINT{5, 5}, false, true, true, false},
        {WM_RBUTTONUP, POINT{15, 5}, false, false, false, false},     // the other button's release
        {WM_MOUSEMOVE, POINT{25, 5}, false, true, false, false},
        {WM_RBUTTONDOWN, POINT{500, 5}, true, false, false, false},   // ends the held stroke, begins none
        {WM_RBUTTONDOWN, POINT{5, 5}, false, true, true, false},
        {WM_RBUTTONUP, POINT{35, 5}, false, true, false, true},
    };
    COxelPaintStroke stroke;
    for (const Row& row : rows) {
        const COxelPaintStroke::Event event = stroke.Follow(row.message, row.at, 10, 10, 32, 32);
        EXPECT_EQ(row.interrupted, event.interrupted) << row.message << " at " << row.at.x;
        EXPECT_EQ(row.handled, event.handled) << row.message << " at " << row.at.x;
        EXPECT_EQ(row.begins, event.begins) << row.message << " at " << row.at.x;
        EXPECT_EQ(row.ends, event.ends) << row.message << " at " << row.at.x;
    }
}
