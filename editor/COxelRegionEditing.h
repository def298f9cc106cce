#pragma once

#include "tools/COxelSelectTool.h"
#include "tools/COxelStampTool.h"
#include "tools/MapRegion.h"

#include <windows.h>

class COxelD3DTerrainEditor;

// Regions of the map: "範囲選択" and the selection it makes, and the copy,
// cut and paste of "編集(&E)". A copy goes to the Windows clipboard in a
// format of the program's own, so that it outlives the map it came from and
// another running Quelmora pastes it; a paste makes it a stamp that follows
// the pointer until Esc or a right click. Owned by the editor, which asks it
// for the tool of the 2D windows while it selects or stamps.
class COxelRegionEditing {
public:
    enum Command {
        kCopy = 702,
        kCut = 703,
        kPaste = 704,
        kSelectAll = 705,
        kSelectNone = 706,
        kSelectMode = 7050,
        // Keys of the stamp, while there is one: "R" and Esc.
        kTurnStamp = 7051,
        kEndStamp = 7052,
    };

    explicit COxelRegionEditing(COxelD3DTerrainEditor& editor);

    // Carries out one of the commands; false when `id` is none of them.
    bool OnCommand(int id);
    // The tool of the 2D windows: the stamp, else the selection while
    // "範囲選択" is on; null for the painting tools.
    COxelTool* Tool();
    bool Stamping() const { return m_stamp.Active(); }
    bool Selecting() const { return m_selecting; }

    const MapRect& Selection() const { return m_selection; }
    // Takes `rect` as the selection (empty: none) and shows it.
    void Select(const MapRect& rect);
    // The map was replaced: the selection and the stamp belonged to the old one.
    void Forget();
    void EndStamp();
    // Where the stamp would go, as COxelStampTool::Footprint.
    MapRect StampFootprint() const { return m_stamp.Footprint(); }
    // Shows the selection and the stamp where they are now, in the 2D windows
    // and the preview, repainting what they left.
    void ShowOutlines();
    // Marks "範囲選択" and greys what has nothing to work on in `menu`.
    void ShowIn(HMENU menu) const;

private:
    // False, having said so, when the clipboard did not take it.
    bool Copy();
    void Cut();
    void Paste();
    // The clipboard's format for a copy, registered once.
    static UINT ClipboardFormat();

    COxelD3DTerrainEditor& m_editor;
    COxelSelectTool m_select;
    COxelStampTool m_stamp;
    MapRect m_selection;
    bool m_selecting;
    // What the windows show now, to repaint when it goes.
    MapRect m_shownSelection;
    MapRect m_shownStamp;
};
