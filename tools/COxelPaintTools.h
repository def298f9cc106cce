#pragma once

#include "tools/BrushMath.h"

#include <windows.h>

#include <vector>

class COxelSettingsFile;

// The painting tools the "ツール(&T)" menu chooses: the brush size, what a
// click in the height views does, whether dragging paints, and whether a left
// click in the texture mapping window fills. The defaults (1 x 1, raise and
// lower, no strokes, no fill) edit one vertex or cell per click, as the
// windows always have. Kept in a section of its own in the settings file.
class COxelPaintTools {
public:
    enum HeightTool {
        kRaiseLower = 0,
        kSmooth = 1,
        kFlatten = 2,
    };

    // The menu's commands.
    enum Command {
        kBrush1 = 7000,
        kBrush3 = 7001,
        kBrush5 = 7002,
        kBrush9 = 7003,
        kRaiseLowerTool = 7010,
        kSmoothTool = 7011,
        kFlattenTool = 7012,
        kDragPaint = 7020,
        kFill = 7021,
    };

    COxelPaintTools();

    // Takes the choices from the settings file; a missing or unknown value
    // leaves that choice at its default.
    void Load(COxelSettingsFile& settings);
    void Save(COxelSettingsFile& settings) const;

    // Carries out a menu command; false when `id` is none of the tools'.
    bool OnCommand(int id);
    // Sets the marks of every tool item in `menu` from the choices.
    void ShowIn(HMENU menu) const;

    // The vertices or cells the brush covers around `centre`.
    std::vector<GridPoint> Footprint(GridPoint centre, int mapWidth, int mapHeight) const;
    // What the height tool does around `vertex`: the right button lowers, or
    // smooths fully instead of halfway; flatten levels to `startHeight`, the
    // height where the click or stroke began, with either button.
    std::vector<HeightChange> HeightEdit(const HeightAt& heightAt, GridPoint vertex, bool rightButton,
                                         double startHeight, int mapWidth, int mapHeight) const;

    int m_brushSize;
    int m_heightTool;
    int m_dragPaint;
    int m_fill;
};
