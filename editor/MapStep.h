#pragma once

#include <cstddef>

class COxelD3DSceneBase;
class COxelD3DTerrainChipManager;

// Undo and redo are built from steps: each user action that changes the map
// (anything a map file keeps) is one MapStep object that holds only what it
// changed, knows the part of the map it touched, and can take itself back and
// do itself again. Steps reach the map through one entry point,
// COxelD3DTerrainEditor::Perform, which does the step, keeps it in the
// editor's MapHistory and tells every open window what changed; no window
// changes the map by itself.
//
// Adding a kind of step:
//   1. Derive from MapStep. The constructor notes what the action will change
//      (reading the "before" values from the map as needed); nothing changes yet.
//   2. Redo does the change. Its first call is the action itself: it may
//      record the "after" values there (a height clamped by the grid, a newly
//      made object) and returns false when nothing changed, so that the step
//      is dropped and the map does not count as modified. Later calls put the
//      recorded "after" state back exactly.
//   3. Undo puts the "before" state back exactly: the map file written after an
//      undo must hold the same bytes as before the step.
//   4. Changed says which part of the map the last Redo or Undo touched, so
//      that each window repaints only that.
//   5. Bytes counts what the step holds, for the history's memory bound.
//   Then hand it over: editor->Perform(std::make_unique<MyStep>(...)).
//
// Strokes (a drag that edits as it goes) are one step: the press performs the
// first piece as usual, and every later piece of the same drag is performed
// with `continuesStroke` set. The history then offers the piece, already done,
// to the stroke's first step through MergeWith; a step that takes it in keeps
// its own "before" values and the piece's "after" values, and the piece is
// dropped. So one Undo takes back the whole drag. A piece that is not taken in
// (another kind of step, or the first step was undone meanwhile) starts a
// step of its own.
//
// Whole-map operations (an import, a generated map) use WholeMapStep, which
// keeps a copy of the grid from before and after the operation.

// The map a step works on: the chip manager with its grid, atlas and
// billboards, the scene with its planes (null where a test has none), and the
// atlas file a loaded map names while the built-in atlas stands in for it
// (MAX_PATH bytes, empty when none; null where there is no editor).
struct EditedMap {
    COxelD3DTerrainChipManager* terrain;
    COxelD3DSceneBase* scene;
    char* missingAtlas;
};

// Cells of the grid, inclusive, in grid columns and rows. A rectangle may run
// past either edge of the map (a vertex at column 0 touches cell -1, which is
// the last column): readers wrap each cell into the map and need look at no
// more than one map's width and height of it.
struct MapArea {
    int left;
    int top;
    int right;
    int bottom;

    static MapArea Cell(int column, int row) { return MapArea{column, row, column, row}; }
    // The four cells that share grid vertex (column, row) as a corner.
    static MapArea AroundVertex(int column, int row) { return MapArea{column - 1, row - 1, column, row}; }
    // The smallest area that holds both.
    MapArea Joined(const MapArea& other) const;
    // Calls visit(column, row) once for each cell of a width x height map
    // that the area covers, with the column and row wrapped into the map.
    template <typename Visit>
    void ForEachCell(int width, int height, Visit visit) const
    {
        const int columns = right - left + 1 < width ? right - left + 1 : width;
        const int rows = bottom - top + 1 < height ? bottom - top + 1 : height;
        for (int r = 0; r < rows; ++r) {
            for (int c = 0; c < columns; ++c) {
                visit(((left + c) % width + width) % width, ((top + r) % height + height) % height);
            }
        }
    }
    // Whether the area covers the whole of a width x height map.
    bool CoversMap(int width, int height) const { return right - left + 1 >= width && bottom - top + 1 >= height; }
};

// What a step changed, for the windows that show it.
struct MapChange {
    enum Kind {
        kNothing,
        // Heights, chips, turns or billboard ids of the cells in `area`: the
        // corners of those cells and their pictures.
        kGrid,
        // The atlas image: every cell's picture and the texture window. The
        // editor refreshes the windows that draw chips before they hear of it.
        kAtlas,
        // A plane (billboard) with id `index` came into the list (the ids from
        // `index` on moved up by one), left it (the ids after it moved down),
        // or changed its height, image, tiling or visibility.
        kPlaneInserted,
        kPlaneRemoved,
        kPlaneChanged,
        kBillboardInserted,
        kBillboardRemoved,
        kBillboardChanged,
    };

    Kind kind;
    MapArea area;
    int index;
    // For an insertion: the list entry's name to show again, or null for a
    // new entry's name.
    const char* label;
    // Set by the editor when an undo or redo made the change, rather than a
    // control the user just worked, which shows its new state by itself.
    bool replayed;

    static MapChange Nothing() { return MapChange{kNothing, MapArea(), -1, nullptr, false}; }
    static MapChange Grid(const MapArea& area) { return MapChange{kGrid, area, -1, nullptr, false}; }
    static MapChange Atlas() { return MapChange{kAtlas, MapArea(), -1, nullptr, false}; }
    static MapChange Listed(Kind kind, int index, const char* label = nullptr)
    {
        return MapChange{kind, MapArea(), index, label, false};
    }
};

class MapStep {
public:
    virtual ~MapStep();

    // Called by the entry point to do the step for the first time, and by the
    // history to do it again after an undo. The first call returns false
    // when it changed nothing; later calls always succeed.
    virtual bool Redo(EditedMap& map) = 0;
    // Called by the history, after Redo, to take the step back exactly.
    virtual void Undo(EditedMap& map) = 0;
    // What the last Redo or Undo touched.
    virtual MapChange Changed() const = 0;
    // Called with the next piece of a stroke, which has been done already;
    // true when this step took it in (then the piece is dropped). The default
    // takes nothing in.
    virtual bool MergeWith(const MapStep& next);
    // What the step holds, in bytes, for the history's memory bound.
    virtual std::size_t Bytes() const = 0;
};
