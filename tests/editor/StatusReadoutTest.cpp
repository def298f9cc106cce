#include "editor/StatusReadout.h"

#include <gtest/gtest.h>

#include <string>

// What the status bar says for a vertex and for a cell: heights to the
// hundredth with one decimal at least, and a cell without a billboard said so.
TEST(StatusReadout, SaysWhereTheMouseIsAndWhatIsThere)
{
    const struct {
        std::string shown;
        std::string expected;
    } rows[] = {
        {VertexReadout(12, 40, 3.5), "X 12  Y 40  高さ 3.5"},
        {VertexReadout(0, 0, 3.0), "X 0  Y 0  高さ 3.0"},
        {VertexReadout(511, 7, 3.25), "X 511  Y 7  高さ 3.25"},
        {VertexReadout(1, 2, 16.0), "X 1  Y 2  高さ 16.0"},
        {VertexReadout(1, 2, 0.1), "X 1  Y 2  高さ 0.1"},
        // Rounded to the hundredth, never shown as "-0.0" or with a third decimal.
        {VertexReadout(1, 2, 2.999), "X 1  Y 2  高さ 3.0"},
        {VertexReadout(1, 2, 7.126), "X 1  Y 2  高さ 7.13"},
        {VertexReadout(1, 2, -0.001), "X 1  Y 2  高さ 0.0"},
        {CellReadout(12, 40, 5, 1, 2), "X 12  Y 40  チップ 5  回転 1  ビルボード 2"},
        {CellReadout(3, 4, 0, 0, 0), "X 3  Y 4  チップ 0  回転 0  ビルボード 0"},
        {CellReadout(127, 0, 255, 3, -1), "X 127  Y 0  チップ 255  回転 3  ビルボード なし"},
    };
    for (const auto& row : rows) {
        EXPECT_EQ(row.expected, row.shown);
    }
    // In the program's code page, as every text of its windows is.
    EXPECT_NE(std::string::npos, VertexReadout(1, 2, 3).find("\x8d\x82\x82\xb3"));
}
