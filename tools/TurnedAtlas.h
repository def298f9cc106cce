#pragma once

#include <windows.h>

#include <memory>
#include <vector>

struct ChipImageInfo;

// The map-chip atlas with every tile turned by 0, 1, 2 and 3 quarter turns,
// for the 2D views. A blit cannot be relied on to turn a picture (some GDI
// implementations ignore the turn a PlgBlt asks for and mirror instead), and a
// quarter turn is exact, so each tile is turned pixel by pixel once per atlas;
// drawing a cell then only scales. A HALFTONE scale of a whole chip costs more
// than a small square is worth, and a scrolled view of a large map shows
// thousands of them: each chip is scaled once per square size and turn, as
// first drawn, and then only copied. Owns its bitmaps and device contexts.
class TurnedAtlas {
public:
    TurnedAtlas();
    ~TurnedAtlas();
    TurnedAtlas(const TurnedAtlas&) = delete;
    TurnedAtlas& operator=(const TurnedAtlas&) = delete;

    // Turns the tiles of `atlas`, laid out as `columns` x `rows` chips of 128
    // pixels below `rowRest` leftover rows. False, holding nothing, when the
    // atlas has no whole chip or its pixels cannot be read.
    bool Build(const ChipImageInfo& atlas, int columns, int rows, int rowRest);
    // Build, unless this copy was last built (or tried) for the same atlas
    // bitmap and layout; whether there is a copy to draw from.
    bool Update(const ChipImageInfo& atlas, int columns, int rows, int rowRest);
    // Drops the copy; the next Update builds anew.
    void Release();
    bool built() const { return m_dc != nullptr; }

    // Draws map chip `chip` turned `rotation` quarter turns clockwise (values
    // other than 1 to 3 draw it unturned) into `cell`, scaled with HALFTONE. A
    // chip the atlas does not have draws nothing. True when it drew: the chip
    // then covers the whole cell.
    bool DrawTile(HDC hdc, const RECT& cell, int chip, int rotation) const;

private:
    // Every chip and turn scaled to one square size, a chip's four turns one
    // below the other, each scaled as first drawn.
    struct ScaledChips {
        ScaledChips(int width, int height, int columns, int rows);
        ~ScaledChips();
        ScaledChips(const ScaledChips&) = delete;
        ScaledChips& operator=(const ScaledChips&) = delete;

        int width;
        int height;
        HDC dc;
        HBITMAP bitmap;
        HGDIOBJ previous;
        // By chip and turn.
        std::vector<char> scaled;
    };
    // The scaled chips for squares of `width` x `height`, made if need be;
    // null when there is no memory for them.
    ScaledChips* ScaledFor(int width, int height) const;
    // Chip `chip` turned `turn` quarter turns, scaled with HALFTONE into
    // `width` x `height` pixels of `hdc` at (x, y).
    void Scale(HDC hdc, int x, int y, int width, int height, int chip, int turn) const;

    // What a copy was made from.
    struct Source {
        HBITMAP bitmap;
        int width;
        int height;
        int columns;
        int rows;
        int rowRest;
    };
    static Source SourceOf(const ChipImageInfo& atlas, int columns, int rows, int rowRest);
    bool IsFor(const ChipImageInfo& atlas, int columns, int rows, int rowRest) const;

    HDC m_dc;
    HBITMAP m_bitmap;
    HGDIOBJ m_previous;
    Source m_source;
    bool m_tried;
    int m_atlasHeight;
    int m_columns;
    int m_rows;
    int m_rowRest;
    // The windows show at most a couple of square sizes at once.
    mutable std::vector<std::unique_ptr<ScaledChips>> m_scaled;
};
