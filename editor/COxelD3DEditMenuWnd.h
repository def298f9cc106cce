#pragma once

#include "editor/COxelD3DTerrainEditorChildWndBase.h"
#include "editor/RecentFiles.h"

#include <windows.h>

#include <string>

// The small window that carries the editor's main menu: new maps, files, undo
// and redo, the preview's display switches, the atlas image, the sample map and the About box.
// Below the menu bar, its client area holds only a status bar, which shows
// what is under the mouse in the 2D windows.
class COxelD3DEditMenuWnd : public COxelD3DTerrainEditorChildWndBase {
public:
    COxelD3DEditMenuWnd();
    ~COxelD3DEditMenuWnd() override;

    void Create() override;
    void OnPaint(HDC hdc) override;
    int OnMouse(UINT message, int x, int y) override;
    void OnCommand(int id) override;
    void OnScroll(LPARAM bar, int code, int position, int vertical) override;
    void Refresh() override;

    // "元に戻す(&U)" and "やり直し(&R)" of "編集(&E)", which the keyboard
    // shortcuts of every window send here too.
    static const int kUndoCommand = 700;
    static const int kRedoCommand = 701;

    // "新規作成(&N)" with the map's current size, which Ctrl+N sends.
    static const int kNewMapOfCurrentSize = 207;
    // The status bar's control id.
    static const int kStatusBarId = 800;

    // Shows `text` in the status bar's first part, where WM_GETTEXT on the
    // status bar reads it. The same text again costs no repaint.
    void SetStatusText(const char* text);
    // Null until the window is made.
    HWND StatusBar() const { return m_statusBar; }

    // Greys "元に戻す(&U)" and "やり直し(&R)" when they have nothing to do.
    void ShowHistory(bool canUndo, bool canRedo);
    // Saves as "上書き保存(&S)" does: to the map's file, or to one the user
    // names when it has none. True when the map was written.
    bool SaveMap();
    // Opens the map file at `path` as "開く(&O)" opens the file it asks for:
    // first the question about unsaved changes, then the file's checks and
    // messages. True when the map was replaced by the file's.
    bool OpenMapFile(const char* path);
    // "サンプルマップを開く" of "ヘルプ(&H)": opens the sample map that comes
    // with the program as an untitled map, after the question about unsaved
    // changes; a missing sample is reported and the map stays. True when the
    // map was replaced by the sample.
    bool OpenSampleMap();

    // The file "上書き保存(&S)" writes to: the map file last opened or saved
    // under a name the user chose; empty for a new map, so its first save asks.
    char m_fileName[MAX_PATH];
    // The maps last opened or saved, listed in "ファイル(&F)".
    RecentFiles m_recentFiles;
    // The map in `path` has just been opened, saved or restored: it heads the
    // recent files, in the menu and in the settings file.
    void Remember(const char* path);

private:
    // Makes the window tall enough for every line of its menu bar and the
    // status bar below it, and puts the status bar along the bottom.
    void FitMenuAndStatusBar();
    // Names the map's size in the item of "新規作成(&N)" that makes a map of it.
    void ShowCurrentSize();
    // Makes a new map of width x height after the question about unsaved changes.
    void NewMap(int width, int height);
    // Saves under a name the user chooses; true when the map was written.
    bool SaveMapAs();
    // Shows the recent files as they are now, and writes them to the settings file.
    void KeepRecentFiles();
    // Opens an entry of the recent files; one whose file is gone leaves the list.
    void OpenRecentFile(int id);
    // Opens the open dialog in the folder of declined recovery copies.
    void OpenDeclinedCopy();
    // The map file at `opened` (a full path) has become the map: it is the
    // file saves go to, and joins the recent files. A declined recovery copy
    // is unsaved work instead: the map counts as changed and saves to the
    // file its note names, or asks for one.
    void TakeOpenedFile(const char* opened);
    // Flips a switch that lives elsewhere and sets the item's mark from the
    // switch's new value, whatever the mark showed before.
    void Toggle(int id, int& flag);

    // Owned by the window, which destroys it.
    HWND m_statusBar;
    // What the status bar shows.
    std::string m_statusText;
};
