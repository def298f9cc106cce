#include "editor/MapPainting.h"

#include "editor/COxelD3DTerrainEditor.h"
#include "editor/CellStep.h"
#include "editor/HeightStep.h"
#include "terrain/COxelD3DTerrainChipManager.h"

#include <memory>

namespace {

// The action under way: whether one of its pieces became a step, which the
// later pieces then join. One action at a time, on the one UI thread.
bool g_actionHasStep = false;

void Perform(COxelD3DTerrainEditor& editor, std::unique_ptr<MapStep> step)
{
    if (editor.Perform(std::move(step), g_actionHasStep)) {
        g_actionHasStep = true;
    }
}

}  // namespace

void BeginPaintAction(COxelD3DTerrainEditor&)
{
    g_actionHasStep = false;
}

void EndPaintAction(COxelD3DTerrainEditor&)
{
    g_actionHasStep = false;
}

void PaintHeights(COxelD3DTerrainEditor& editor, const std::vector<HeightChange>& changes)
{
    if (changes.empty()) {
        return;
    }
    auto step = std::make_unique<HeightStep>();
    for (const HeightChange& change : changes) {
        step->Add(change.vertex.column, change.vertex.row, change.height);
    }
    Perform(editor, std::move(step));
}

void PaintChips(COxelD3DTerrainEditor& editor, const std::vector<GridPoint>& cells, int chip)
{
    if (!editor.HasMap()) {
        return;
    }
    COxelD3DTerrainChipManager* terrain = editor.m_terrain;
    auto step = std::make_unique<CellStep>();
    bool any = false;
    for (const GridPoint& cell : cells) {
        if (terrain->GetMapChip(cell.column, cell.row) != chip ||
            terrain->GetMapChipRotation(cell.column, cell.row) != 0) {
            step->PlaceChip(cell.column, cell.row, chip);
            any = true;
        }
    }
    if (any) {
        Perform(editor, std::move(step));
    }
}

void FillChips(COxelD3DTerrainEditor& editor, GridPoint start, int chip)
{
    if (!editor.HasMap()) {
        return;
    }
    COxelD3DTerrainChipManager* terrain = editor.m_terrain;
    const int regionChip = terrain->GetMapChip(start.column, start.row);
    const int regionRotation = terrain->GetMapChipRotation(start.column, start.row);
    if (regionChip == chip && regionRotation == 0) {
        return;
    }
    const CellMatches alike = [&](int column, int row) {
        return terrain->GetMapChip(column, row) == regionChip &&
               terrain->GetMapChipRotation(column, row) == regionRotation;
    };
    PaintChips(editor, FloodFillRegion(alike, start, editor.m_mapWidth, editor.m_mapHeight), chip);
}

void TurnChips(COxelD3DTerrainEditor& editor, const std::vector<GridPoint>& cells)
{
    if (cells.empty()) {
        return;
    }
    auto step = std::make_unique<CellStep>();
    for (const GridPoint& cell : cells) {
        step->Turn(cell.column, cell.row);
    }
    Perform(editor, std::move(step));
}
