#pragma once

#include "editor/COxelPreviewMouse.h"
#include "editor/MapHistory.h"
#include "editor/MapStep.h"
#include "editor/RecoveryCopy.h"
#include "editor/COxelRegionEditing.h"
#include "editor/COxelTerrainEditing.h"
#include "tools/COxelBillboardTool.h"
#include "tools/COxelChipTool.h"
#include "tools/COxelHeightTool.h"
#include "tools/COxelPaintTools.h"
#include "tools/TurnedAtlas.h"

#include <windows.h>

#include <memory>
#include <string>
#include <vector>

class COxelD3DEditMenuWnd;
class COxelD3DSceneBase;
class COxelD3DSceneSettingWnd;
class COxelD3DTerrainChipManager;
class COxelD3DTerrainEditorChildWndBase;
class COxelMapDataFile;

// The editor windows by their fixed index: the index names a window in the
// window procedures, in the settings file's layout keys and in the editor's table.
enum EditorWindowIndex {
    kEditMenuWindow = 0,
    kSceneSettingWindow = 1,
    kBillboardSettingWindow = 2,
    kHeightWindow = 3,
    kTextureWindow = 4,
    kTextureMappingWindow = 5,
    kMapEditWindow = 6,
    kEditorWindowCount = 7,
};

// Ties the editor windows to the terrain: owns the windows, holds the map size
// and the picked map chip, routes each window's messages to its object, and does
// what several windows need (new map, atlas image, planes, window layout).
// One per process, made on first use; the terrain root that it edits creates
// and destroys it.
class COxelD3DTerrainEditor {
public:
    // The editor, made on the first call; null only when it cannot be allocated.
    static COxelD3DTerrainEditor* GetInstance();
    // The editor if there is one; never makes one. For messages to windows
    // that may outlive their editor.
    static COxelD3DTerrainEditor* ExistingInstance();
    static void DestroyInstance();

    virtual ~COxelD3DTerrainEditor();
    // Called for WM_PAINT of window `index`, inside its paint cycle.
    virtual void PaintChild(HDC hdc, int index);

    // Makes the windows over `terrain` (a map of width x height cells) and puts
    // them where the settings file says. Windows that exist already are kept.
    void Initialize(COxelD3DTerrainChipManager* terrain, int width, int height);
    void ShowWindows();
    void PaintWindow(int index);

    // Hand a window's message to its object; an empty slot does nothing.
    int DispatchMouse(int index, UINT message, int x, int y);
    void DispatchCommand(int index, int id);
    void DispatchScroll(int index, LPARAM bar, int code, int position, int vertical);
    // A wheel turned over window `index`: `tilted` for WM_MOUSEHWHEEL.
    void DispatchWheel(int index, bool tilted, int delta, bool shift);
    // Ctrl+wheel over window `index`, at client point `anchor`.
    void DispatchZoom(int index, int delta, POINT anchor);
    void DispatchNotify(int index, WPARAM wParam, LPARAM lParam);
    void DispatchSize(int index, UINT type, int width, int height);
    // Null when the window has not been made.
    HWND GetWindowHandle(int index);

    // Replaces the map by a flat one of width x height cells with the built-in
    // atlas, and brings the windows up to date.
    void NewMap(int width, int height);
    // Gives grid vertex (column, row) the height heights[row * m_mapWidth +
    // column] (kept within 0 .. 16), all at once, as one step of the history;
    // the windows show it at once. False, changing nothing, when there is no
    // map or the list does not hold one height for every vertex.
    bool ReplaceHeights(const std::vector<double>& heights);
    // Opens the map file at `path` as "開く(&O)" does once its dialog has
    // chosen the file: after the question about unsaved changes, a file that
    // cannot be opened is reported and the map stays; an opened one is the file
    // "上書き保存(&S)" writes, and it joins the recent files. For a map named
    // on the command line.
    void OpenMapFile(const char* path);
    // Loads a BMP file as the map-chip atlas; a null path asks the user first.
    void OpenTextureImage(const char* path);
    // Makes window `index` on first use, at its place from the settings file,
    // then shows it and brings it to the front. For the windows the editor
    // does not make at start: the map edit window and the billboard dialog.
    void OpenWindow(int index);
    // Writes the window layout to the settings file, once per run: the first
    // window to close saves where everything was.
    void SaveWindowLayout();
    void RestoreWindowLayout();

    // The one way to change the map: does `step`, keeps it in the history and
    // tells every open window what it changed (MapStep.h says how to write a
    // step and how a stroke becomes one). `continuesStroke` marks the later
    // pieces of a drag. False when there is no map or the step changed nothing.
    bool Perform(std::unique_ptr<MapStep> step, bool continuesStroke = false);
    // Take back the last step done, or do again the last one taken back; every
    // open window shows the result at once.
    void Undo();
    void Redo();
    // Whether the map has changed since it was made, opened or last saved.
    bool IsModified() const;
    // The map as it is now has been saved.
    void MarkSaved();
    // Asked before anything discards the map: when it is modified, the user
    // chooses to save it (as "上書き保存(&S)" does), to discard it, or to
    // cancel. True when the action may go on: nothing to lose, saved, or discarded.
    bool ConfirmDiscard();
    // Forgets every step: the map as it is now counts as made or opened.
    void ForgetHistory();
    // The map as it is now came from somewhere other than its file: it counts
    // as changed, and no undo makes it saved.
    void MarkUnsaved();

    // At start, before anything else: when a program that ended without
    // closing left unsaved changes behind, asks whether to restore them. Yes
    // opens the copy as a modified map that saves to the map's own file; No,
    // or a damaged copy, puts it among the declined copies. Declined copies
    // kept long enough go first.
    void OfferRecoveredWork();
    // Called by the main loop when no message waits: writes the recovery copy
    // when it is due and no mouse button is held in the program's windows,
    // and tells the user when copies cannot be written.
    // How long the loop may sleep before it is to be called again (INFINITE
    // when nothing waits).
    static DWORD KeepRecoveryCopy(DWORD now);
    // The Windows session ends, and the program with it, after the question
    // about unsaved changes was answered: the recovery copy goes now, as the
    // process may end before any destructor runs.
    void EndSession();
    // Tells every open window what changed, and the edit menu what can be undone.
    void NotifyWindows(const MapChange& change);
    // What steps work on.
    EditedMap Map();
    // Called by the main loop for each message before it is dispatched: the
    // keys of the accelerator table (undo, redo, new, open, save, save as),
    // whichever of the program's windows has the focus, become commands of the
    // edit menu. A stroke under way ends first. True when the message was used so.
    static bool TranslateShortcut(MSG* message);
    // The atlas turned four ways for the 2D views, one copy for all of them;
    // null while there is none (no atlas, or no memory for it), and the views
    // then show outlines.
    const TurnedAtlas* TurnedTiles();

    // Whether there is a map to show and edit: a failed map leaves the grid without cells.
    bool HasMap() const;
    // The file "上書き保存(&S)" writes to; empty for a map that has none yet.
    std::string MapFileName();
    // Shows `text` in the edit menu's status bar: what is under the mouse.
    // Nothing happens without an edit menu.
    void ShowStatus(const std::string& text);
    // Puts the preview's 3D cursor on grid vertex (column, row), at the lowest
    // of the four corners of the cell there. Columns and rows wrap. A brush
    // larger than one square widens the cursor to the whole footprint, centred
    // there, standing on the footprint's lowest corner.
    void PlaceCursor(int column, int row);
    // The tool the views hand their mouse to over a vertex or a cell, as
    // "ツール(&T)" chooses it.
    COxelTool& ActiveTool(MapPoint::Kind kind);
    // The same for the map edit window, where the terrain brush paints on
    // vertices as well as on cells.
    COxelTool& MapEditTool(MapPoint::Kind kind);
    // The tool "プレビューで編集" names with `mode` (COxelPaintTools::PreviewEdit,
    // not kPreviewOff): the height, chip or billboard tool.
    COxelTool& PreviewTool(int mode);
    // A mouse message of the preview window; true when the preview's mouse used it.
    bool OnPreviewMouse(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
    // The view, the map or a tool changed under a pointer that did not move:
    // what the preview shows under it follows.
    void FollowPreviewPointer();
    // The billboard picked in the billboard dialog; -1 for none (or no dialog yet).
    int PickedBillboard();
    // Moves the preview's camera so that its eye stands over (x, z) in map
    // units, at the same height and looking the same way: the middle click of
    // the 2D windows, to get about a large map faster than the keys do.
    void MoveCameraOver(float x, float z);

    // Gives the modeless dialogs (scene and billboard settings) the keyboard of
    // every dialog: Tab, Shift+Tab, arrows, Enter, Esc and mnemonics. True when
    // `message` was for one of them and has been handled; false, and nothing
    // done, for every other window, so the camera keys reach the preview and
    // the windows that pass them on. No editor: false.
    static bool TranslateDialogMessage(MSG* message);

    // The windows the editor makes, shows and refreshes, in index order; the
    // others are made when the view menu first opens them, and closing them
    // only hides them.
    static bool IsManagedWindow(int index);

    // The scene the preview draws and the preview window, when the program has them.
    static COxelD3DSceneBase* Scene();
    static HWND PreviewWindow();

    int m_mapWidth;
    int m_mapHeight;
    // Not owned.
    COxelD3DTerrainChipManager* m_terrain;
    // Owned; empty for windows that have no object.
    COxelD3DTerrainEditorChildWndBase* m_windows[kEditorWindowCount];
    int m_selectedChip;
    // The painting tools chosen in the edit menu's "ツール(&T)" menu.
    COxelPaintTools m_tools;
    // The selection, the copy and paste of regions and their stamp.
    COxelRegionEditing m_regions;
    // The atlas's terrains, the picked one and the terrain brush.
    COxelTerrainEditing m_terrains;
    // Owned; reads and writes map files for the edit menu.
    COxelMapDataFile* m_mapFile;
    // Every step done to the map since it was made or opened.
    MapHistory m_history;
    // The copy of the unsaved changes that outlives a crash.
    RecoveryCopy m_recovery;
    // Counts the maps made by NewMap. A step that runs a message loop (a
    // message box, a file dialog) may let a command replace the map; whoever
    // holds on to the old map compares this before going on.
    unsigned m_newMapCount;
    // The atlas a loaded map names while the built-in one stands in for it (the
    // file could not be read or was refused); empty otherwise. Saving writes
    // this name, so the map does not lose its atlas.
    char m_missingAtlas[MAX_PATH];

private:
    // Loading a map builds its planes without steps: the loaded map starts a
    // history of its own. Everything else changes the map through Perform.
    friend class COxelMapDataFile;

    COxelD3DTerrainEditor();
    COxelD3DTerrainEditor(const COxelD3DTerrainEditor&) = delete;
    COxelD3DTerrainEditor& operator=(const COxelD3DTerrainEditor&) = delete;

    // For the load: adds a plane to the scene and to the scene setting
    // window's list, and shows or hides the plane with this id (an id no plane
    // has is ignored).
    void AddPlane();
    void SetPlaneVisible(int id, int visible);

    COxelD3DTerrainEditorChildWndBase* Window(int index);
    // Window 1 when it is the scene setting window, which keeps the scene's planes and its list in step.
    COxelD3DSceneSettingWnd* SceneSettingWindow();
    // Window 0 when it is the edit menu window, which keeps the map's file name and the recent files.
    COxelD3DEditMenuWnd* EditMenu();
    // Moves window `index`, when it has been made, to its place from the
    // settings file (and the map edit window to its saved size).
    void RestoreWindowPlace(int index);
    // A pick the atlas now in use does not have goes back to its first chip.
    void KeepPickInAtlas();

    // Greys the edit menu's undo and redo items when there is nothing to take back or do again.
    void UpdateEditCommands();
    // Ends a stroke or drag under way in any editor window, by taking the
    // mouse from it: a new map, an undo or a redo comes between no stroke's pieces.
    void EndStrokes();
    // The menu command of the shortcut `message` presses; 0 for none.
    int ShortcutCommand(const MSG& message) const;

    bool m_layoutSaved;
    // The keyboard shortcuts, read from the program's accelerator table. Matched
    // here rather than by TranslateAccelerator, which sends nothing while the
    // edit menu window is minimised and still swallows the key.
    std::vector<ACCEL> m_shortcuts;
    // The tools' keys, which have no Ctrl or Alt: not while a text box has the focus.
    std::vector<ACCEL> m_toolKeys;
    TurnedAtlas m_turnedTiles;
    COxelHeightTool m_heightTool;
    COxelChipTool m_chipTool;
    COxelBillboardTool m_billboardTool;
    COxelPreviewMouse m_previewMouse;

    static COxelD3DTerrainEditor* s_instance;
};
