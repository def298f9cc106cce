#include "editor/AboutDialog.h"

#include "app/ProgramText.h"

namespace {

const int kAboutDialogResource = 101;

HWND g_aboutDialog = nullptr;

INT_PTR CALLBACK AboutDialogProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM)
{
    if (message == WM_CLOSE || (message == WM_COMMAND && LOWORD(wParam) == IDOK)) {
        DestroyWindow(hwnd);
        return TRUE;
    }
    return FALSE;
}

}  // namespace

HWND OpenAboutDialog(HWND owner)
{
    g_aboutDialog = CreateDialogIndirectParamA(GetModuleHandleA(nullptr), ProgramDialog(kAboutDialogResource), owner,
                                               AboutDialogProc, 0);
    return g_aboutDialog;
}
