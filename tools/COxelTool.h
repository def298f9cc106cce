#pragma once

#include "tools/BrushMath.h"

#include <string>
#include <vector>

class COxelD3DTerrainEditor;

// What the pointer is over, in the map's own coordinates (x as the file
// stores it, wrapped into the map): a grid vertex or a cell.
struct MapPoint {
    enum Kind { kVertex, kCell };
    Kind kind;
    GridPoint at;
};

// A tool of "ツール(&T)" as every view hosts it. The view turns its mouse into
// map points and tells the tool when a button goes down over one (Begin),
// which points the pointer reaches while it is held (Reach) and when the
// action is over (End); a click is all three at once. A tool changes the map
// only through the editor's Perform, and one action is one step of the
// history. A new tool is a new class here, not a branch in every view.
class COxelTool {
public:
    explicit COxelTool(COxelD3DTerrainEditor& editor);
    virtual ~COxelTool();

    // Whether a drag with the button held acts on every point it passes;
    // otherwise a press and a release over the same point make a click.
    virtual bool Strokes(bool right) const;
    // An action of the right (or left) button starts over `start`.
    virtual void Begin(MapPoint start, bool right);
    // The pointer reached `points` (of the kind the action began on).
    virtual void Reach(const std::vector<GridPoint>& points) = 0;
    virtual void End();
    // One press and release over `point`.
    void Click(MapPoint point, bool right);
    // The pointer rests or moves over `point` with no action under way; a tool
    // that shows where it would act follows it. The default shows nothing.
    virtual void Hover(MapPoint point);

    // What the status bar says while the pointer is over `point`: what the
    // map holds there.
    virtual std::string StatusText(MapPoint point) const;

protected:
    COxelD3DTerrainEditor& m_editor;
    // The button of the action under way.
    bool m_right;

private:
    COxelTool(const COxelTool&) = delete;
    COxelTool& operator=(const COxelTool&) = delete;
};
