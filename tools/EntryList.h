#pragma once

#include <windows.h>

// The report-style lists of the scene and billboard dialogs: one entry per
// plane or billboard, picked with a single click.

struct EntryColumn {
    const char* title;
    int width;
};

// A list with the given left-aligned columns, made in `dialog` at a place laid
// out in pixels (see DesignedPlace); full-row selection, one-click activation.
HWND CreateEntryList(HWND dialog, int id, int x, int y, int width, int height, const EntryColumn* columns,
                     int columnCount);
// Inserts an entry at `position` with `text` in its first column.
void InsertEntry(HWND list, int position, const char* text);
// Sets the text of column `column` of the entry at `position`.
void SetEntryText(HWND list, int position, int column, const char* text);
// The first selected entry, or -1.
int SelectedEntry(HWND list);
// Where the entry picked at position `picked` is once an entry was inserted at
// `index` (`inserted`) or removed from there: the pick follows its plane or
// billboard. When the picked entry itself goes, the pick keeps its position.
int PickAfterListChange(int picked, int index, bool inserted);
