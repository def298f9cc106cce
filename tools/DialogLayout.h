#pragma once

#include <windows.h>

// Where a control that a dialog makes in code goes. Such controls are laid out
// in pixels for dialog base units of 6 x 13 (the dialog font at 96 dpi); their
// places follow the dialog's real base units, as the template's own controls
// do, so that with another font or dpi they do not slide over the template's
// buttons and texts. At 6 x 13 nothing moves.
struct DialogBox {
    int x;
    int y;
    int width;
    int height;
};
DialogBox DesignedPlace(HWND dialog, int x, int y, int width, int height);

// DesignedPlace for a dialog whose base units are `baseWidth` x `baseHeight`.
DialogBox ScaledPlace(int x, int y, int width, int height, int baseWidth, int baseHeight);

// A modeless dialog from template `resource` that is made hidden, whatever its
// template says, so that it can be put in its place before it is first shown.
HWND CreateHiddenDialog(HINSTANCE instance, int resource, HWND owner, DLGPROC procedure);
