#include "editor/StatusReadout.h"

#include <cstdio>

std::string VertexReadout(int x, int y, double height)
{
    char text[64];
    std::snprintf(text, sizeof text, "X %d  Y %d  高さ %.2f", x, y, height);
    return text;
}

std::string CellReadout(int x, int y, int chip, int turn, int billboard)
{
    char text[96];
    std::snprintf(text, sizeof text, "X %d  Y %d  チップ %d  回転 %d  ビルボード %d", x, y, chip, turn, billboard);
    return text;
}
