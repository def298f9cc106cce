#include "editor/MapPainting.h"

#include "editor/COxelD3DTerrainEditor.h"
#include "editor/CellStep.h"
#include "editor/HeightStep.h"
#include "terrain/COxelD3DMapChipData.h"
#include "terrain/COxelD3DTerrainChipManager.h"
#include "terrain/MapGridMath.h"

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

// A brush that wraps round the map's edges touches squares on both sides:
// as one piece the windows would repaint everything between them. So a small
// change goes in pieces, one per quarter of the map, which join into the
// action's one step; a large one (a fill) is repainted whole anyway.
const size_t kMostSplit = 4 * 9 * 9;

template <typename Item, typename PointOf>
std::vector<std::vector<Item>> InQuarters(const std::vector<Item>& items, PointOf pointOf, int mapWidth, int mapHeight)
{
    if (items.size() > kMostSplit) {
        return {items};
    }
    std::vector<std::vector<Item>> quarters(4);
    for (const Item& item : items) {
        const GridPoint point = pointOf(item);
        const int right = WrapIndex(point.column, mapWidth) * 2 / mapWidth;
        const int lower = WrapIndex(point.row, mapHeight) * 2 / mapHeight;
        quarters[right + 2 * lower].push_back(item);
    }
    return quarters;
}

GridPoint Itself(const GridPoint& point)
{
    return point;
}

// One cell step per quarter of `cells`, each given its requests by
// `request(step, cell)`, all joining the action's step.
template <typename Request>
void PerformOnCells(COxelD3DTerrainEditor& editor, const std::vector<GridPoint>& cells, Request request)
{
    for (const auto& quarter : InQuarters(cells, Itself, editor.m_mapWidth, editor.m_mapHeight)) {
        if (quarter.empty()) {
            continue;
        }
        auto step = std::make_unique<CellStep>();
        for (const GridPoint& cell : quarter) {
            request(*step, cell);
        }
        Perform(editor, std::move(step));
    }
}

// Places `chip`, unturned, on cells that each differ from it.
void PlaceChips(COxelD3DTerrainEditor& editor, const std::vector<GridPoint>& cells, int chip)
{
    PerformOnCells(editor, cells, [chip](CellStep& step, const GridPoint& cell) { step.PlaceChip(cell.column, cell.row, chip); });
}

// Gives cells that each lack it billboard `billboard`.
void PlaceBillboards(COxelD3DTerrainEditor& editor, const std::vector<GridPoint>& cells, int billboard)
{
    PerformOnCells(editor, cells,
                   [billboard](CellStep& step, const GridPoint& cell) { step.SetBillboard(cell.column, cell.row, billboard); });
}

int BillboardAt(COxelD3DTerrainEditor& editor, int column, int row)
{
    return CellStep::Read(*editor.m_terrain, row * editor.m_mapWidth + column).billboard;
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
    if (changes.empty() || !editor.HasMap()) {
        return;
    }
    const auto vertexOf = [](const HeightChange& change) { return change.vertex; };
    for (const auto& quarter : InQuarters(changes, vertexOf, editor.m_mapWidth, editor.m_mapHeight)) {
        if (quarter.empty()) {
            continue;
        }
        auto step = std::make_unique<HeightStep>();
        for (const HeightChange& change : quarter) {
            step->Add(change.vertex.column, change.vertex.row, change.height);
        }
        Perform(editor, std::move(step));
    }
}

void PaintChips(COxelD3DTerrainEditor& editor, const std::vector<GridPoint>& cells, int chip)
{
    if (!editor.HasMap()) {
        return;
    }
    COxelD3DTerrainChipManager* terrain = editor.m_terrain;
    std::vector<GridPoint> changing;
    for (const GridPoint& cell : cells) {
        if (terrain->GetMapChip(cell.column, cell.row) != chip ||
            terrain->GetMapChipRotation(cell.column, cell.row) != 0) {
            changing.push_back(cell);
        }
    }
    PlaceChips(editor, changing, chip);
}

namespace {

// Whether a fill may reach cell (column, row): anywhere without a selection,
// else only inside it.
bool Fillable(const COxelD3DTerrainEditor& editor, int column, int row)
{
    const MapRect& selection = editor.m_regions.Selection();
    return selection.Empty() || selection.Contains(GridPoint{column, row}, editor.m_mapWidth, editor.m_mapHeight);
}

}  // namespace

void FillChips(COxelD3DTerrainEditor& editor, GridPoint start, int chip)
{
    if (!editor.HasMap()) {
        return;
    }
    COxelD3DTerrainChipManager* terrain = editor.m_terrain;
    const int regionChip = terrain->GetMapChip(start.column, start.row);
    const int regionRotation = terrain->GetMapChipRotation(start.column, start.row);
    if ((regionChip == chip && regionRotation == 0) || !Fillable(editor, start.column, start.row)) {
        return;
    }
    const CellMatches alike = [&](int column, int row) {
        return Fillable(editor, column, row) && terrain->GetMapChip(column, row) == regionChip &&
               terrain->GetMapChipRotation(column, row) == regionRotation;
    };
    // Every cell of the region differs from the chip placed unturned.
    PlaceChips(editor, FloodFillRegion(alike, start, editor.m_mapWidth, editor.m_mapHeight), chip);
}

void ShowCellChips(COxelD3DTerrainEditor& editor, const std::vector<CellChipChange>& cells)
{
    if (cells.empty() || !editor.HasMap()) {
        return;
    }
    const int width = editor.m_mapWidth;
    const auto cellOf = [width](const CellChipChange& change) {
        return GridPoint{change.index % width, change.index / width};
    };
    for (const auto& quarter : InQuarters(cells, cellOf, width, editor.m_mapHeight)) {
        if (quarter.empty()) {
            continue;
        }
        auto step = std::make_unique<CellStep>();
        for (const CellChipChange& change : quarter) {
            step->ShowChip(change.index % width, change.index / width, change.shows.chip, change.shows.turn);
        }
        Perform(editor, std::move(step));
    }
}

void PaintTerrain(COxelD3DTerrainEditor& editor, const TerrainSet& set, const std::vector<GridPoint>& vertices,
                  int terrain)
{
    if (vertices.empty() || !editor.HasMap() || terrain < 0 || terrain >= set.Count()) {
        return;
    }
    const COxelD3DTerrainChipManager* grid = editor.m_terrain;
    TerrainCorners corners(set, editor.m_mapWidth, editor.m_mapHeight, [grid](int index) {
        return ChipTurn{grid->m_cells[index].m_chipIndex, grid->m_cells[index].m_rotation};
    });
    for (const GridPoint& vertex : vertices) {
        corners.Paint(vertex.column, vertex.row, terrain);
    }
    corners.Settle(TerrainCorners::PaintedFirst(set, terrain));
    ShowCellChips(editor, corners.Changes());
}

void TurnChips(COxelD3DTerrainEditor& editor, const std::vector<GridPoint>& cells)
{
    if (cells.empty() || !editor.HasMap()) {
        return;
    }
    PerformOnCells(editor, cells, [](CellStep& step, const GridPoint& cell) { step.Turn(cell.column, cell.row); });
}

void PaintBillboards(COxelD3DTerrainEditor& editor, const std::vector<GridPoint>& cells, int billboard)
{
    if (!editor.HasMap()) {
        return;
    }
    std::vector<GridPoint> changing;
    for (const GridPoint& cell : cells) {
        if (BillboardAt(editor, cell.column, cell.row) != billboard) {
            changing.push_back(cell);
        }
    }
    PlaceBillboards(editor, changing, billboard);
}

void FillBillboards(COxelD3DTerrainEditor& editor, GridPoint start, int billboard)
{
    if (!editor.HasMap()) {
        return;
    }
    const int region = BillboardAt(editor, start.column, start.row);
    if (region == billboard || !Fillable(editor, start.column, start.row)) {
        return;
    }
    const CellMatches alike = [&](int column, int row) {
        return Fillable(editor, column, row) && BillboardAt(editor, column, row) == region;
    };
    PlaceBillboards(editor, FloodFillRegion(alike, start, editor.m_mapWidth, editor.m_mapHeight), billboard);
}

void RemoveBillboardEverywhere(COxelD3DTerrainEditor& editor, int billboard)
{
    if (!editor.HasMap() || billboard < 0) {
        return;
    }
    std::vector<GridPoint> cells;
    for (int row = 0; row < editor.m_mapHeight; ++row) {
        for (int column = 0; column < editor.m_mapWidth; ++column) {
            if (BillboardAt(editor, column, row) == billboard) {
                cells.push_back(GridPoint{column, row});
            }
        }
    }
    BeginPaintAction(editor);
    PlaceBillboards(editor, cells, -1);
    EndPaintAction(editor);
}
