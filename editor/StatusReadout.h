#pragma once

#include <string>

// The texts the edit menu's status bar shows for what is under the mouse, in
// the map's own coordinates (x as the file stores it, not the mirrored screen
// column).

// "X 12  Y 40  高さ 3.5": a grid vertex and its height.
std::string VertexReadout(int x, int y, double height);
// "X 12  Y 40  チップ 5  回転 1  ビルボード 2": a cell, its chip, its quarter
// turns and its billboard; "ビルボード なし" when `billboard` is negative.
std::string CellReadout(int x, int y, int chip, int turn, int billboard);
// A height as the readout shows it: to the hundredth, with one decimal at
// least and no trailing zero past it ("3.0", "3.25", "3.5").
std::string HeightText(double height);
