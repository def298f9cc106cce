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
    // x and z are fixed here; y is refreshed each time the node is tested.
    D3DXVECTOR3 m_vMin;
    D3DXVECTOR3 m_vMax;

private:
    COxelQuadNode(const COxelQuadNode&) = delete;
    COxelQuadNode& operator=(const COxelQuadNode&) = delete;
};
