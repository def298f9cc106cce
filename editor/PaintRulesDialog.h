#pragma once

#include "tools/PaintRules.h"

#include <windows.h>

#include <vector>

class COxelD3DTerrainEditor;

// "高さと傾きで塗る...": up to eight rules, shown as the settings file keeps
// them. OK keeps the rules and paints the map by them as one step; a row that
// makes no rule the atlas can paint is named in a message and the dialog stays
// open. Modal to the whole program, as the file dialogs are. True when the
// rules were taken.
bool AskPaintRules(HWND owner, COxelD3DTerrainEditor& editor);

// Paints the map by `rules` with its atlas's chips and terrains, inside the
// selection when there is one, as one step.
void PaintMapByRules(COxelD3DTerrainEditor& editor, const std::vector<PaintRule>& rules);
