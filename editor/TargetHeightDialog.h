#pragma once

#include <windows.h>

class COxelPaintTools;

// "指定する高さ...": asks for the height the "高さを指定" tool sets, from 0
// to 16, starting from the one `tools` has. Text that is no such number is
// refused in the dialog, which stays open. True when a height was taken.
// Modal to the whole program, as the file dialogs are.
bool AskTargetHeight(HWND owner, COxelPaintTools& tools);
