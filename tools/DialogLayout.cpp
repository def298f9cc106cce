#include "tools/DialogLayout.h"

#include "app/ProgramText.h"

#include <cstring>
#include <vector>

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

HWND CreateHiddenDialog(HINSTANCE instance, int resource, HWND owner, DLGPROC procedure)
{
    DWORD size = 0;
    const void* bytes = ProgramDialog(resource, &size);
    if (!bytes || size < sizeof(DLGTEMPLATE)) {
        return nullptr;
    }
    // The style is the first field of a plain template, and follows the
    // version, signature, help id and extended style of an extended one.
    std::vector<unsigned char> copy(static_cast<const unsigned char*>(bytes),
                                    static_cast<const unsigned char*>(bytes) + size);
    WORD signature[2];
    std::memcpy(signature, copy.data(), sizeof signature);
    const size_t styleAt = signature[0] == 1 && signature[1] == 0xFFFF ? 12 : 0;
    if (copy.size() < styleAt + sizeof(DWORD)) {
        return nullptr;
    }
    DWORD style;
    std::memcpy(&style, &copy[styleAt], sizeof style);
    style &= ~static_cast<DWORD>(WS_VISIBLE);
    std::memcpy(&copy[styleAt], &style, sizeof style);
    return CreateDialogIndirectParamA(instance, reinterpret_cast<const DLGTEMPLATE*>(copy.data()), owner, procedure,
                                      0);
}
