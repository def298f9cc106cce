#include "editor/TargetHeightDialog.h"

#include "app/ProgramText.h"
#include "editor/ProgramWindowsDisabled.h"
#include "tools/COxelPaintTools.h"

#include <cstdio>

namespace {

const int kDialogResource = 105;
const int kHeightBox = 1110;

INT_PTR CALLBACK TargetHeightProc(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam)
{
    auto* tools = reinterpret_cast<COxelPaintTools*>(GetWindowLongPtrA(dialog, DWLP_USER));
    switch (message) {
    case WM_INITDIALOG: {
        SetWindowLongPtrA(dialog, DWLP_USER, lParam);
        char text[32];
        std::snprintf(text, sizeof text, "%g", reinterpret_cast<COxelPaintTools*>(lParam)->m_targetHeight);
        SetDlgItemTextA(dialog, kHeightBox, text);
        SendDlgItemMessageA(dialog, kHeightBox, EM_SETSEL, 0, -1);
        return TRUE;
    }
    case WM_COMMAND:
        if (LOWORD(wParam) == IDOK) {
            char text[64] = {};
            GetDlgItemTextA(dialog, kHeightBox, text, sizeof text);
            if (!tools->SetTargetHeight(text)) {
                MessageBoxA(dialog, Text(IDS_TARGET_HEIGHT_REFUSED), "Quelmora", MB_OK | MB_ICONWARNING);
                HWND box = GetDlgItem(dialog, kHeightBox);
                SetFocus(box);
                SendMessageA(box, EM_SETSEL, 0, -1);
                return TRUE;
            }
            EndDialog(dialog, IDOK);
            return TRUE;
        }
        if (LOWORD(wParam) == IDCANCEL) {
            EndDialog(dialog, IDCANCEL);
            return TRUE;
        }
        break;
    }
    return FALSE;
}

}  // namespace

bool AskTargetHeight(HWND owner, COxelPaintTools& tools)
{
    ProgramWindowsDisabled disabled;
    return DialogBoxIndirectParamA(GetModuleHandleA(nullptr), ProgramDialog(kDialogResource), owner, TargetHeightProc,
                                   reinterpret_cast<LPARAM>(&tools)) == IDOK;
}
