#pragma once

#include <windows.h>

#include <string>
#include <vector>

class COxelD3DApplication;
class COxelD3DSceneBase;
class COxelD3DTerrainChipManager;
class COxelD3DTerrainEditor;
class COxelD3DTerrainEditorChildWndBase;

// A real application as the program makes it, with its preview window hidden:
// the device, the scene, the terrain and the editor with its windows, reachable
// through g_application. Tears down without writing the settings file.
class EditorSession {
public:
    EditorSession();
    ~EditorSession();
    EditorSession(const EditorSession&) = delete;
    EditorSession& operator=(const EditorSession&) = delete;

    bool ok() const;
    // For a benchmark's start: ok(), and when not, why, on standard output.
    bool okOrSaid() const;
    COxelD3DApplication& application() const { return *m_application; }
    COxelD3DSceneBase& scene() const;
    COxelD3DTerrainEditor& editor() const;
    COxelD3DTerrainChipManager& terrain() const;
    COxelD3DTerrainEditorChildWndBase* window(int index) const;
    HWND handle(int index) const;

    // A press and a release of one button, delivered as the window procedure
    // gets them, at client points `down` and `up`.
    void Click(int index, POINT down, POINT up, bool right = false) const;
    void Click(int index, POINT at, bool right = false) const { Click(index, at, at, right); }

    // A new size x size map in which every cell differs (heights, chips and
    // turns vary across it), with `planes` planes at heights 1.5, 2.5, ...,
    // shown when `planesVisible`.
    void MakeVariedMap(int size, int planes, bool planesVisible) const;

private:
    COxelD3DApplication* m_application;
};

// What window `index`'s paint draws, into a bitmap of width x height; the
// colour of a pixel as 0xRRGGBB.
class PaintedPicture {
public:
    PaintedPicture(COxelD3DTerrainEditorChildWndBase* window, int width, int height);
    ~PaintedPicture();
    PaintedPicture(const PaintedPicture&) = delete;
    PaintedPicture& operator=(const PaintedPicture&) = delete;

    unsigned Pixel(int x, int y) const;

private:
    HDC m_dc;
    HBITMAP m_bitmap;
    HGDIOBJ m_previous;
};

// The size of a window's client area.
SIZE ClientSize(HWND hwnd);

// The text in column `column` of every entry of a list-view control, in list order.
std::vector<std::string> ListColumn(HWND list, int column);
