#include "editor/ProgressWindow.h"

#include "app/ProgramText.h"
#include "editor/ProgramWindowsDisabled.h"

#include <commctrl.h>

namespace {

const int kProgressDialogResource = 104;
const int kProgressBar = 1100;
const int kCancelButton = 1102;
// The bar's range: fine enough for a picture of 8192 rows.
const int kProgressSteps = 1000;
// Work that ends sooner shows no window, only the wait cursor: a window that
// flashes up and goes is worse than none.
const DWORD kShowAfterMs = 300;

}  // namespace

ProgressWindow::ProgressWindow(HWND owner, const char* caption)
    : m_owner(owner ? owner : GetActiveWindow()),
      m_caption(caption),
      m_dialog(nullptr),
      m_cancellable(true),
      m_cancelled(false)
{
}

ProgressWindow::~ProgressWindow()
{
    Close();
}

bool ProgressWindow::Run(const std::function<bool(double* done)>& step)
{
    bool finished = false;
    {
        ProgramWindowsDisabled modal;
        const DWORD start = GetTickCount();
        double done = 0.0;
        while (!m_cancelled && !(finished = step(&done))) {
            if (!m_dialog && GetTickCount() - start >= kShowAfterMs) {
                Show();
            }
            if (m_dialog) {
                const double clamped = done < 0.0 ? 0.0 : done > 1.0 ? 1.0 : done;
                SendDlgItemMessageA(m_dialog, kProgressBar, PBM_SETPOS, static_cast<WPARAM>(clamped * kProgressSteps),
                                    0);
            }
            if (!HandleMessages()) {
                m_cancelled = true;
            }
        }
    }
    // Once the other windows take input again, so that the owner becomes the active window again.
    Close();
    return finished;
}

void ProgressWindow::StopCancelling()
{
    m_cancellable = false;
    if (m_dialog) {
        // The keyboard stays with the window, which still takes Esc (and does nothing).
        HWND button = GetDlgItem(m_dialog, kCancelButton);
        const bool focused = GetFocus() == button;
        EnableWindow(button, FALSE);
        if (focused) {
            SetFocus(m_dialog);
        }
    }
}

void ProgressWindow::Show()
{
    INITCOMMONCONTROLSEX controls = {sizeof controls, ICC_PROGRESS_CLASS};
    InitCommonControlsEx(&controls);
    m_dialog = CreateDialogIndirectParamA(GetModuleHandleA(nullptr), ProgramDialog(kProgressDialogResource), m_owner,
                                          DialogProc, reinterpret_cast<LPARAM>(this));
    if (m_dialog) {
        // In front with the focus, as a modal window comes: Esc reaches it at once.
        ShowWindow(m_dialog, SW_SHOW);
        SetForegroundWindow(m_dialog);
        if (!m_cancellable) {
            StopCancelling();
        }
        UpdateWindow(m_dialog);
    }
}

bool ProgressWindow::HandleMessages()
{
    // Until the window shows, input waits in the queue (the windows it is for
    // take none anyway), so the pointer keeps the wait cursor it was given.
    const UINT kinds = m_dialog ? PM_QS_INPUT | PM_QS_PAINT | PM_QS_POSTMESSAGE | PM_QS_SENDMESSAGE
                                : PM_QS_PAINT | PM_QS_POSTMESSAGE | PM_QS_SENDMESSAGE;
    MSG message;
    while (PeekMessageA(&message, nullptr, 0, 0, PM_REMOVE | kinds)) {
        if (message.message == WM_QUIT) {
            PostQuitMessage(static_cast<int>(message.wParam));
            return false;
        }
        if (m_dialog && IsDialogMessageA(m_dialog, &message)) {
            continue;
        }
        TranslateMessage(&message);
        DispatchMessageA(&message);
    }
    return true;
}

void ProgressWindow::Close()
{
    if (m_dialog) {
        DestroyWindow(m_dialog);
        m_dialog = nullptr;
    }
}

INT_PTR CALLBACK ProgressWindow::DialogProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam)
{
    if (message == WM_INITDIALOG) {
        ProgressWindow* self = reinterpret_cast<ProgressWindow*>(lParam);
        SetWindowLongPtrA(hwnd, DWLP_USER, lParam);
        SetWindowTextA(hwnd, self->m_caption.c_str());
        SendDlgItemMessageA(hwnd, kProgressBar, PBM_SETRANGE32, 0, kProgressSteps);
        return TRUE;
    }
    ProgressWindow* self = reinterpret_cast<ProgressWindow*>(GetWindowLongPtrA(hwnd, DWLP_USER));
    // Esc and the close box come as IDCANCEL.
    if (self && message == WM_COMMAND && (LOWORD(wParam) == kCancelButton || LOWORD(wParam) == IDCANCEL)) {
        self->m_cancelled = self->m_cancelled || self->m_cancellable;
        EnableWindow(GetDlgItem(hwnd, kCancelButton), FALSE);
        return TRUE;
    }
    return FALSE;
}
