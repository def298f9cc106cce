#pragma once

#include <windows.h>

#include <string>

// How many pixels a control's text has to spare inside it, measured with the
// control's own font (the dialog's): negative when the text is clipped. A
// static text has its whole client width; a push button loses its edge and
// focus margin, a check box its box.
int TextRoom(HWND control);
// The same for a text in a list view's report column, which keeps a margin
// on either side of it.
int ColumnTextRoom(HWND list, int column, const std::string& text);
// The control of `dialog` showing exactly `text`, or null.
HWND ControlWithText(HWND dialog, const std::string& text);
