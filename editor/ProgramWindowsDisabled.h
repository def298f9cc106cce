#pragma once

#include <windows.h>

#include <vector>

// While it lives, the program's other windows are disabled, as a task-modal
// message box disables them: the editor's windows are owned by the preview,
// not by the dialog's owner, and would otherwise go on editing the map that
// the dialog is about to replace, save or export. Windows made while it lives
// (the dialog itself) stay enabled.
class ProgramWindowsDisabled {
public:
    ProgramWindowsDisabled() { EnumThreadWindows(GetCurrentThreadId(), Disable, reinterpret_cast<LPARAM>(this)); }
    ~ProgramWindowsDisabled()
    {
        for (HWND window : m_disabled) {
            EnableWindow(window, TRUE);
        }
    }
    ProgramWindowsDisabled(const ProgramWindowsDisabled&) = delete;
    ProgramWindowsDisabled& operator=(const ProgramWindowsDisabled&) = delete;

private:
    static BOOL CALLBACK Disable(HWND window, LPARAM self)
    {
        if (IsWindowVisible(window) && IsWindowEnabled(window)) {
            EnableWindow(window, FALSE);
            reinterpret_cast<ProgramWindowsDisabled*>(self)->m_disabled.push_back(window);
        }
        return TRUE;
    }

    std::vector<HWND> m_disabled;
};
