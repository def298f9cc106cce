#include "support/TextFit.h"

#include <commctrl.h>

namespace {

int TextWidth(HWND control, const std::string& text)
{
    HDC dc = GetDC(control);
    HGDIOBJ old = SelectObject(dc, reinterpret_cast<HFONT>(SendMessageA(control, WM_GETFONT, 0, 0)));
    SIZE size = {};
    GetTextExtentPoint32A(dc, text.c_str(), static_cast<int>(text.size()), &size);
    SelectObject(dc, old);
    ReleaseDC(control, dc);
    return size.cx;
}

struct TextSearch {
    const std::string* text;
    HWND found;
};

BOOL CALLBACK FindText(HWND child, LPARAM parameter)
{
    auto* search = reinterpret_cast<TextSearch*>(parameter);
    char text[256] = {};
    GetWindowTextA(child, text, sizeof text);
    if (*search->text == text) {
        search->found = child;
        return FALSE;
    }
    return TRUE;
}

}  // namespace

int TextRoom(HWND control)
{
    char text[256] = {};
    GetWindowTextA(control, text, sizeof text);
    RECT client = {};
    GetClientRect(control, &client);
    char className[32] = {};
    GetClassNameA(control, className, sizeof className);
    int frame = 0;
    if (lstrcmpiA(className, "Button") == 0) {
        const LONG_PTR type = GetWindowLongPtrA(control, GWL_STYLE) & BS_TYPEMASK;
        // A check box's box and gap; a push button's edge and focus rectangle on each side.
        frame = type == BS_AUTOCHECKBOX || type == BS_CHECKBOX ? GetSystemMetrics(SM_CXMENUCHECK) + 4 : 2 * 3;
    }
    return client.right - frame - TextWidth(control, text);
}

int ColumnTextRoom(HWND list, int column, const std::string& text)
{
    const int width = static_cast<int>(SendMessageA(list, LVM_GETCOLUMNWIDTH, column, 0));
    const int textWidth = static_cast<int>(SendMessageA(list, LVM_GETSTRINGWIDTHA, 0, reinterpret_cast<LPARAM>(text.c_str())));
    // The list view leaves about 6 pixels on either side of a subitem's text.
    return width - 12 - textWidth;
}

HWND ControlWithText(HWND dialog, const std::string& text)
{
    TextSearch search = {&text, nullptr};
    EnumChildWindows(dialog, FindText, reinterpret_cast<LPARAM>(&search));
    return search.found;
}
