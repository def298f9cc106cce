#pragma once

#include "tools/BrushMath.h"

#include <windows.h>

#include <vector>

class COxelSettingsFile;

// The painting tools the "ツール(&T)" menu chooses: the brush size, what a
// click in the height views does and how strongly, whether dragging paints,
// whether a left click in the texture mapping window fills, whether clicks
// on cells place billboards instead of chips, and what the preview edits. The
// defaults (1 x 1, raise and lower by 0.5, no strokes, no fill, chips, nothing
// in the preview) edit one vertex or cell per click, as the windows always have. Kept in a section of its own in the settings file.
class COxelPaintTools {
public:
    enum HeightTool {
        kRaiseLower = 0,
        kSmooth = 1,
        kFlatten = 2,
        // Vertices take the target height; the right button picks it up.
        kSetHeight = 3,
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
        kSetHeightTool = 7013,
        // "指定する高さ...": asks for the target height.
        kTargetHeightCommand = 7014,
        kDragPaint = 7020,
        kFill = 7021,
        kPlaceBillboard = 7022,
        // "強さ": 0.1, 0.25, 0.5, 1 and 2.
        kStrength1 = 7030,
        kStrength5 = 7034,
        // "プレビューで編集": しない, 高さ, チップ, ビルボード.
        kPreviewOffCommand = 7040,
        kPreviewHeightsCommand = 7041,
        kPreviewChipsCommand = 7042,
        kPreviewBillboardsCommand = 7043,
    };

    // What the preview's mouse edits: nothing (it only moves the camera), the
    // heights as the height window does, the chips as the texture mapping
    // window does, or the billboards as "ビルボードを置く" places them.
    enum PreviewEdit {
        kPreviewOff = 0,
        kPreviewHeights = 1,
        kPreviewChips = 2,
        kPreviewBillboards = 3,
    };

    // The heights a target may take, as the grid keeps them.
    static constexpr double kLowest = 0.0;
    static constexpr double kHighest = 16.0;

    COxelPaintTools();

    // Takes the choices from the settings file; a missing or unknown value
    // leaves that choice at its default.
    void Load(COxelSettingsFile& settings);
    void Save(COxelSettingsFile& settings) const;

    // Carries out a menu command that needs no dialog; false when `id` is
    // none of the tools' (or is kTargetHeightCommand, which the caller asks for).
    bool OnCommand(int id);
    // A target height, kept within the grid's heights; false for text that is
    // no number (the target stays).
    bool SetTargetHeight(const char* text);
    void SetTargetHeight(double height);
    // Sets the marks of every tool item in `menu` from the choices.
    void ShowIn(HMENU menu) const;

    // The vertices or cells the brush covers around `centre`.
    std::vector<GridPoint> Footprint(GridPoint centre, int mapWidth, int mapHeight) const;
    // What the height tool does around `vertex`: the right button lowers, or
    // smooths fully instead of halfway; flatten levels to `startHeight`, the
    // height where the click or stroke began, with either button; set height
    // levels to the target with the left button and leaves the right button
    // to pick the target up.
    std::vector<HeightChange> HeightEdit(const HeightAt& heightAt, GridPoint vertex, bool rightButton,
                                         double startHeight, int mapWidth, int mapHeight) const;

    int m_brushSize;
    int m_heightTool;
    int m_dragPaint;
    int m_fill;
    int m_placeBillboard;
    int m_previewEdit;
    // The raise or lower of a click at the brush's centre.
    double m_strength;
    double m_targetHeight;
};
