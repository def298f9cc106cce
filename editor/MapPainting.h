#pragma once

#include "terrain/TerrainCorners.h"
#include "tools/BrushMath.h"

#include <vector>

class COxelD3DTerrainEditor;

// How the painting tools' clicks, strokes and fills change the map: each call
// makes a step and hands it to the editor's Perform, which does it, keeps it
// for undo and has every open window repaint what it touched. A user action
// (a click, a whole stroke, a fill) lies between BeginPaintAction and
// EndPaintAction and is one step: its later pieces join its first.

// Starts a user action; the changes until EndPaintAction belong to it.
void BeginPaintAction(COxelD3DTerrainEditor& editor);
void EndPaintAction(COxelD3DTerrainEditor& editor);

// Gives each listed vertex its new height (kept within the grid's bounds).
void PaintHeights(COxelD3DTerrainEditor& editor, const std::vector<HeightChange>& changes);
// Puts `chip`, unturned, on each listed cell; cells that show it already are left alone.
void PaintChips(COxelD3DTerrainEditor& editor, const std::vector<GridPoint>& cells, int chip);
// Puts `chip`, unturned, on the region of cells that share the chip and turn of
// cell `start` and connect to it through shared edges, across the map's edges.
// A region that shows `chip` unturned already is left alone.
void FillChips(COxelD3DTerrainEditor& editor, GridPoint start, int chip);
// Gives each listed cell (by index) the chip and turn it is to show.
void ShowCellChips(COxelD3DTerrainEditor& editor, const std::vector<CellChipChange>& cells);
// Paints terrain `terrain` of `set` on each listed vertex: the cells around
// them take the chips and turns their corners call for (TerrainCorners says how).
void PaintTerrain(COxelD3DTerrainEditor& editor, const TerrainSet& set, const std::vector<GridPoint>& vertices,
                  int terrain);
// Turns the chip of each listed cell a quarter further.
void TurnChips(COxelD3DTerrainEditor& editor, const std::vector<GridPoint>& cells);
// Puts billboard `billboard` (-1: none) on each listed cell; cells that have it already are left alone.
void PaintBillboards(COxelD3DTerrainEditor& editor, const std::vector<GridPoint>& cells, int billboard);
// Puts `billboard` on the region of cells that share the billboard (or the
// lack of one) of cell `start` and connect to it through shared edges, across
// the map's edges.
void FillBillboards(COxelD3DTerrainEditor& editor, GridPoint start, int billboard);
// Takes billboard `billboard` off every cell that has it, as one step.
void RemoveBillboardEverywhere(COxelD3DTerrainEditor& editor, int billboard);
