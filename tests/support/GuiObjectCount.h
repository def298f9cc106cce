#pragma once

// How many GDI objects (bitmaps, pens, brushes, fonts, device contexts...) and
// USER objects (windows, menus...) this process holds, for finding handles that
// are never given back.
struct GuiObjectCount {
    int gdi;
    int user;
};

// The system's own counts (GetGuiResources). Where the system does not count
// (Wine answers 0), the live handles are counted one by one instead: every GDI
// object, and every window and menu of this process.
GuiObjectCount CountGuiObjects();
