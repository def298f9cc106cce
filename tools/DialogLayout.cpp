#include "tools/DialogLayout.h"

namespace {

const int kDesignBaseWidth = 6;
const int kDesignBaseHeight = 13;

}  // namespace

DialogBox DesignedPlace(HWND dialog, int x, int y, int width, int height)
{
    // Four by eight dialog units are one base unit across and one down.
    RECT units = {0, 0, 4, 8};
    MapDialogRect(dialog, &units);
    return ScaledPlace(x, y, width, height, units.right, units.bottom);
}

DialogBox ScaledPlace(int x, int y, int width, int height, int baseWidth, int baseHeight)
{
    if (baseWidth <= 0 || baseHeight <= 0) {
        return DialogBox{x, y, width, height};
    }
    return DialogBox{MulDiv(x, baseWidth, kDesignBaseWidth), MulDiv(y, baseHeight, kDesignBaseHeight),
                     MulDiv(width, baseWidth, kDesignBaseWidth), MulDiv(height, baseHeight, kDesignBaseHeight)};
}
