#include "editor/StatusReadout.h"

#include "app/ProgramText.h"

#include <cmath>
#include <cstdio>

std::string HeightText(double height)
{
    if (!std::isfinite(height)) {
        return "-";
    }
    // Rounded first, so that a height just below zero shows as "0.0", not "-0.0".
    double rounded = std::round(height * 100.0) / 100.0;
    if (rounded == 0.0) {
        rounded = 0.0;
    }
    char text[64];
    std::snprintf(text, sizeof text, "%.2f", rounded);
    std::string shown = text;
    if (shown.size() > 1 && shown.back() == '0') {
        shown.pop_back();
    }
    return shown;
}

std::string VertexReadout(int x, int y, double height)
{
    char text[128];
    std::snprintf(text, sizeof text, Text(IDS_VERTEX_READOUT), x, y, HeightText(height).c_str());
    return text;
}

std::string CellReadout(int x, int y, int chip, int turn, int billboard)
{
    char text[160];
    std::snprintf(text, sizeof text, Text(IDS_CELL_READOUT), x, y, chip, turn);
    std::string shown = text;
    if (billboard < 0) {
        return shown + Text(IDS_READOUT_NO_BILLBOARD);
    }
    return shown + Text(IDS_READOUT_BILLBOARD) + std::to_string(billboard);
}
