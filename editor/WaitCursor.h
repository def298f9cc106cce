#pragma once

#include <windows.h>

// The hourglass while the work of one scope runs (a picture read, a file
// written, a map loaded), then the cursor that was there before. A message box
// or dialog shown inside the scope sets its own cursor as the mouse moves
// over it.
class WaitCursor {
public:
    WaitCursor() : m_previous(SetCursor(LoadCursorA(nullptr, IDC_WAIT))) {}
    ~WaitCursor() { SetCursor(m_previous ? m_previous : LoadCursorA(nullptr, IDC_ARROW)); }
    WaitCursor(const WaitCursor&) = delete;
    WaitCursor& operator=(const WaitCursor&) = delete;

private:
    HCURSOR m_previous;
};
