#pragma once

#include "editor/COxelD3DTerrainEditorChildWndBase.h"
#include "tools/COxelMapView.h"

#include <windows.h>

#include <vector>

// An editor window that shows the map through a view of squares: the whole map
// for maps of up to 64 cells a side, and for larger maps the part that 64
// squares a side show (within the screen), with scroll bars and the wheel.
class COxelMapViewWnd : public COxelD3DTerrainEditorChildWndBase {
public:
    // `mirrorShift` as for COxelMapView; `sizeCommands` are the window's
    // "小", "中" and "大" of "表示サイズ", for kDisplaySizes.
    COxelMapViewWnd(int mirrorShift, const int (&sizeCommands)[3]);

    // Scroll-bar requests move the view by a square, a page or to the thumb.
    void OnScroll(LPARAM bar, int code, int position, int vertical) override;
    // One square a notch, up for a positive delta; `across` moves it left.
    // The notches already waiting in the queue are taken with it, as one scroll.
    void OnWheel(int delta, bool across) override;
    // Steps through the display sizes, keeping the square under `anchor` there.
    void OnZoom(int delta, POINT anchor) override;
    // The display-size menu: "小", "中" and "大". The square at the top-left
    // corner stays there.
    void OnCommand(int id) override;

    // The square sizes of "表示サイズ" ("小", "中", "大"), in pixels.
    static const int kDisplaySizes[3];
    // The square size the window shows now.
    virtual int SquareSize() const = 0;

protected:
    // Follows the editor's map size and the square size.
    virtual void UpdateLayout() = 0;
    // Takes a new square size and marks it in the menu (the caller fits the window).
    virtual void SetSquareSize(int size) = 0;
    // A "表示サイズ" command: shows its size, the square at the top-left
    // corner staying there. False when `id` is none of them.
    bool OnDisplaySizeCommand(int id);
    // Marks `size` in "表示サイズ".
    void MarkDisplaySize(int size);
    // Shows the map with squares of `size` pixels, the square under client
    // point `anchor` staying under it (where the map's edges let it).
    // `keepWithin`: the same spot of that square stays under the anchor, not
    // only the square.
    void ShowAtSize(int size, POINT anchor, bool keepWithin);
    // Takes a map of `columns` x `rows` squares of the given size and fits the
    // window to it: to the whole map up to 64 squares a side, past that to a
    // page of 64 squares or less, with scroll bars, the offset kept on the map.
    // A page stays on the screen and clear of the other windows' title bars
    // and of the dialogs, showing fewer squares where there is no room.
    void FitView(int columns, int rows, int squareWidth, int squareHeight);

    COxelMapView m_view;

private:
    SIZE Page() const;
    // Shows the offset that moved from `from` on the scroll bars and in the
    // window: what is drawn moves along, and only the squares that come into
    // view are painted.
    void ShowScrolled(POINT from);
    // Where the window stands for a fit: where the user put it, also when the
    // last fit moved it to stay on the screen and it has not moved since.
    POINT Origin();
    // Moves the window to `place`, remembering `origin` when they differ.
    void Place(POINT origin, POINT place);
    // What a page at `place` must not cover: the title bars and menus of the
    // program's other windows, and the whole of its dialogs, leaving out the
    // windows that `place` lies on already.
    std::vector<RECT> KeptClear(POINT place) const;

    const int* m_sizeCommands;
    // Where the user put the window before a fit moved it, and where it went.
    POINT m_home;
    POINT m_movedTo;
    bool m_moved;
};
