#pragma once

#include <windows.h>

// The About box (dialog resource 101), modeless. Each call opens another box;
// the handle of the newest is kept, the older ones live on until closed.
HWND OpenAboutDialog(HWND owner);
