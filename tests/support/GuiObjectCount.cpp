#include "support/GuiObjectCount.h"

#include <windows.h>

namespace {

// GDI and USER handles are indexes into tables of at most 64K entries, with a
// reuse count in the high word that a handle of the low word alone passes
// (the first USER index is 0x20, and USER indexes step by two).
const UINT_PTR kHandleLimit = 0x10000;
const UINT_PTR kFirstUserHandle = 0x20;

int ProbeGdiObjects()
{
    int count = 0;
    for (UINT_PTR index = 1; index < kHandleLimit; ++index) {
        count += GetObjectType(reinterpret_cast<HGDIOBJ>(index)) != 0;
    }
    return count;
}

int ProbeUserObjects()
{
    const DWORD self = GetCurrentProcessId();
    int count = 0;
    for (UINT_PTR index = kFirstUserHandle; index < kHandleLimit; index += 2) {
        DWORD process = 0;
        if (IsMenu(reinterpret_cast<HMENU>(index)) ||
            (GetWindowThreadProcessId(reinterpret_cast<HWND>(index), &process) && process == self)) {
            ++count;
        }
    }
    return count;
}

}  // namespace

GuiObjectCount CountGuiObjects()
{
    const HANDLE process = GetCurrentProcess();
    const GuiObjectCount counted = {static_cast<int>(GetGuiResources(process, GR_GDIOBJECTS)),
                                    static_cast<int>(GetGuiResources(process, GR_USEROBJECTS))};
    if (counted.gdi > 0) {
        return counted;
    }
    return GuiObjectCount{ProbeGdiObjects(), ProbeUserObjects()};
}
