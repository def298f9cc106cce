#pragma once

#include "terrain/TerrainSet.h"
#include "tools/COxelTerrainTool.h"

#include <windows.h>

#include <string>

class COxelD3DTerrainEditor;

// Terrains: the ones the map's atlas describes (built in for the atlas with
// terrains, else from the ".terrain.ini" file beside the atlas), the terrain
// picked in "ツール(&T)" → "地形" and the Texture window, "地形ブラシ", and
// "地形つきの内蔵画像を使う". Owned by the editor, which asks it for the tool
// of the texture mapping and map edit windows while the brush is on.
class COxelTerrainEditing {
public:
    enum Command {
        kUseTerrainAtlas = 401,
        kTerrainBrush = 7060,
        kPaintByRules = 7061,
        // The greyed item of "地形" while the atlas has no terrains.
        kNoTerrain = 7099,
        // "地形": the atlas's terrains, in order.
        kFirstTerrain = 7100,
        kLastTerrain = 7163,
    };

    explicit COxelTerrainEditing(COxelD3DTerrainEditor& editor);

    // Carries out one of the commands; false when `id` is none of them.
    bool OnCommand(int id);
    // Marks the brush, the atlas with terrains and the picked terrain, and
    // lists the atlas's terrains in "地形".
    void ShowIn(HMENU menu);
    // The map's atlas changed: its terrains are read anew, a broken description is reported.
    void AtlasChanged();

    // The terrains of the map's atlas (none while it describes none).
    const TerrainSet& Terrains();
    int Picked() const { return m_picked; }
    // Picks terrain `terrain` and turns the brush on.
    void Pick(int terrain);
    bool BrushOn() const { return m_brush; }
    // Turns the brush on or off. On an atlas without terrains, turning it on
    // first offers the built-in atlas with terrains; declined, it stays off.
    void SetBrush(bool on);
    // Makes the built-in atlas with terrains the map's, as one step.
    void UseTerrainAtlas();
    // The tool of the texture mapping and map edit windows while the brush is
    // on over an atlas with terrains; null otherwise.
    COxelTool* Tool();

private:
    // Reads the terrains of the atlas when it is not the one they were read for.
    void ReadTerrains();
    // Shows the marks in the edit menu and the picked terrain in the Texture window.
    void ShowChoices();

    COxelD3DTerrainEditor& m_editor;
    COxelTerrainTool m_tool;
    TerrainSet m_set;
    // The atlas the set was read for: its name and bitmap.
    std::string m_readFor;
    HBITMAP m_readForBitmap;
    // The description last reported broken, so that undo and redo do not report it again.
    std::string m_reported;
    int m_picked;
    bool m_brush;
};
