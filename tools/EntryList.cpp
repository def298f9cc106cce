#include "tools/EntryList.h"

#include "tools/DialogLayout.h"

#include <commctrl.h>

HWND CreateEntryList(HWND dialog, int id, int x, int y, int width, int height, const EntryColumn* columns,
                     int columnCount)
{
    const DialogBox place = DesignedPlace(dialog, x, y, width, height);
    HWND list = CreateWindowExA(0, WC_LISTVIEWA, nullptr, WS_CHILD | WS_VISIBLE | WS_TABSTOP | LVS_REPORT, place.x,
                                place.y, place.width, place.height, dialog, reinterpret_cast<HMENU>(static_cast<INT_PTR>(id)),
                                GetModuleHandleA(nullptr), nullptr);
    SendMessageA(list, LVM_SETEXTENDEDLISTVIEWSTYLE, 0, LVS_EX_FULLROWSELECT | LVS_EX_ONECLICKACTIVATE);
    for (int i = 0; i < columnCount; ++i) {
        LVCOLUMNA column = {};
        column.mask = LVCF_FMT | LVCF_WIDTH | LVCF_TEXT | LVCF_SUBITEM;
        column.fmt = LVCFMT_LEFT;
        column.cx = columns[i].width;
        column.pszText = const_cast<char*>(columns[i].title);
        column.iSubItem = i;
        SendMessageA(list, LVM_INSERTCOLUMNA, i, reinterpret_cast<LPARAM>(&column));
    }
    return list;
}

void InsertEntry(HWND list, int position, const char* text)
{
    LVITEMA item = {};
    item.mask = LVIF_TEXT;
    item.iItem = position;
    item.pszText = const_cast<char*>(text);
    SendMessageA(list, LVM_INSERTITEMA, 0, reinterpret_cast<LPARAM>(&item));
}

void SetEntryText(HWND list, int position, int column, const char* text)
{
    LVITEMA item = {};
    item.mask = LVIF_TEXT;
    item.iItem = position;
    item.iSubItem = column;
    item.pszText = const_cast<char*>(text);
    SendMessageA(list, LVM_SETITEMA, 0, reinterpret_cast<LPARAM>(&item));
}

int SelectedEntry(HWND list)
{
    return static_cast<int>(SendMessageA(list, LVM_GETNEXTITEM, static_cast<WPARAM>(-1), MAKELPARAM(LVNI_SELECTED, 0)));
}

int PickAfterListChange(int picked, int index, bool inserted)
{
    if (inserted) {
        return index <= picked ? picked + 1 : picked;
    }
    return index < picked ? picked - 1 : picked;
}
