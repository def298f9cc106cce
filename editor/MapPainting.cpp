#include "editor/MapPainting.h"

#include "editor/COxelD3DMapEditWnd.h"
#include "editor/COxelD3DTerrainEditor.h"
#include "terrain/COxelD3DTerrainChipManager.h"
#include "tools/COxelD3DHeightWnd.h"
#include "tools/COxelD3DTextureMappingWnd.h"

namespace {

template <typename Window>
Window* OpenWindow(COxelD3DTerrainEditor& editor, int index)
{
    Window* window = dynamic_cast<Window*>(editor.m_windows[index]);
    return window && window->m_hWnd ? window : nullptr;
}

void ShowVertices(COxelD3DTerrainEditor& editor, const std::vector<GridPoint>& vertices)
{
    if (vertices.empty()) {
        return;
    }
    if (auto* height = OpenWindow<COxelD3DHeightWnd>(editor, kHeightWindow)) {
        height->ShowVertices(vertices);
    }
    if (auto* mapEdit = OpenWindow<COxelD3DMapEditWnd>(editor, kMapEditWindow)) {
        mapEdit->ShowVertices(vertices);
    }
}

void ShowCells(COxelD3DTerrainEditor& editor, const std::vector<GridPoint>& cells)
{
    if (cells.empty()) {
        return;
    }
    if (auto* mapping = OpenWindow<COxelD3DTextureMappingWnd>(editor, kTextureMappingWindow)) {
        mapping->ShowCells(cells);
    }
    if (auto* mapEdit = OpenWindow<COxelD3DMapEditWnd>(editor, kMapEditWindow)) {
        mapEdit->ShowCells(cells);
    }
}

}  // namespace

void BeginPaintAction(COxelD3DTerrainEditor&)
{
}

void EndPaintAction(COxelD3DTerrainEditor&)
{
}

void PaintHeights(COxelD3DTerrainEditor& editor, const std::vector<HeightChange>& changes)
{
    if (!editor.HasMap()) {
        return;
    }
    std::vector<GridPoint> vertices;
    vertices.reserve(changes.size());
    for (const HeightChange& change : changes) {
        editor.m_terrain->SetHeight(change.vertex.column, change.vertex.row, change.height);
        vertices.push_back(change.vertex);
    }
    ShowVertices(editor, vertices);
}

void PaintChips(COxelD3DTerrainEditor& editor, const std::vector<GridPoint>& cells, int chip)
{
    if (!editor.HasMap()) {
        return;
    }
    COxelD3DTerrainChipManager* terrain = editor.m_terrain;
    std::vector<GridPoint> changed;
    changed.reserve(cells.size());
    for (const GridPoint& cell : cells) {
        if (terrain->GetMapChip(cell.column, cell.row) != chip ||
            terrain->GetMapChipRotation(cell.column, cell.row) != 0) {
            terrain->SetMapChip(cell.column, cell.row, chip);
            changed.push_back(cell);
        }
    }
    ShowCells(editor, changed);
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
    if (!editor.HasMap()) {
        return;
    }
    for (const GridPoint& cell : cells) {
        editor.m_terrain->SetMapChipRotation(cell.column, cell.row, -1);
    }
    ShowCells(editor, cells);
}
