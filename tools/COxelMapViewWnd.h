#pragma once

#include "editor/COxelD3DTerrainEditorChildWndBase.h"
#include "tools/COxelMapView.h"

#include <windows.h>

// An editor window that shows the map through a view of squares: the whole map
// for maps of up to 64 cells a side, and for larger maps the part that 64
// squares a side show (within the screen), with scroll bars and the wheel.
class COxelMapViewWnd : public COxelD3DTerrainEditorChildWndBase {
public:
    // `mirrorShift` as for COxelMapView.
    explicit COxelMapViewWnd(int mirrorShift);

    // Scroll-bar requests move the view by a square, a page or to the thumb.
    void OnScroll(LPARAM bar, int code, int position, int vertical) override;
    // One square a notch, up for a positive delta; `across` moves it left.
    void OnWheel(int delta, bool across) override;

protected:
    // Takes a map of `columns` x `rows` squares of the given size and fits the
    // window to it: to the whole map up to 64 squares a side, past that to a
    // page of 64 squares or the screen, whichever is smaller, with scroll
    // bars, the offset kept on the map.
    void FitView(int columns, int rows, int squareWidth, int squareHeight);

    COxelMapView m_view;

private:
    SIZE Page() const;
    // Shows the new offset on the scroll bars and in the window.
    void ShowScrolled();
};
