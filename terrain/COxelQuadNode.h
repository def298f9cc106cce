#pragma once

#include <d3dx9math.h>

class COxelD3DTerrainChipManager;

// A block of the map grid in the culling tree. Building a node builds its whole
// subtree: four quarters down to single cells. Children are owned.
class COxelQuadNode {
public:
    // The block of w x h cells whose first (lowest column and row) cell is `start`.
    // The cells' quads must exist: the box starts from the first cell's quad.
    COxelQuadNode(COxelD3DTerrainChipManager* manager, COxelQuadNode* parent, int start, int w, int h);
    virtual ~COxelQuadNode();

    COxelD3DTerrainChipManager* m_pManager;
    COxelQuadNode* m_pParent;
    // Null where a child could not be allocated; the chip manager then drops the tree.
    COxelQuadNode* m_pChild[4];
    int m_start;
    // First cells of children 1, 2 and 3; child 0 starts at m_start.
    int m_childStart[3];
    int m_width;
    int m_height;
    // x and z are fixed here. y spans the heights of the block's quads
    // whenever m_heightsStale is false; an edit marks the leaf of each cell
    // it rewrote and the leaf's ancestors stale, and culling refreshes a stale
    // node from its children, so no frame walks the cells of a large block.
    D3DXVECTOR3 m_vMin;
    D3DXVECTOR3 m_vMax;
    bool m_heightsStale;

    // Marks the node and its ancestors stale, up to the first one already
    // stale (whose ancestors are stale too).
    void MarkHeightsStale();
    // Makes the height range current again; the leaf's from its cell's quad.
    void RefreshHeights();

private:
    COxelQuadNode(const COxelQuadNode&) = delete;
    COxelQuadNode& operator=(const COxelQuadNode&) = delete;
};
