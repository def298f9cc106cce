#pragma once

#include "scene/COxelD3DCameraObserver.h"
#include "terrain/COxelD3DTerrainChipBatch.h"
#include "terrain/COxelD3DTerrainChipTextureManagerBase.h"
#include "terrain/ChipImageInfo.h"

#include <windows.h>

#include <d3d9.h>
#include <d3dx9math.h>

#include <list>
#include <memory>
#include <vector>

class COxelD3DMapChipData;
class COxelD3DTerrainChipBase;
class COxelD3DTerrainPlane;
class COxelQuadNode;

// The terrain as the rest of the program sees it: the map grid (a torus of
// cells), the map-chip atlas as a texture and as a GDI bitmap, the quad tree
// that culls the grid against the camera, and the billboards. Owns all of them.
//
// The cells' quads are slots in the order of the quad tree's leaves, so that
// the visible cells of a map copy form a few runs of slots and each run is
// drawn with one call. The slots fill batches of 128 x 128 quads, each a block
// of the tree; a map of up to 128 x 128 cells has one.
class COxelD3DTerrainChipManager : public COxelD3DTerrainChipTextureManagerBase, public COxelD3DCameraObserver {
public:
    COxelD3DTerrainChipManager();
    ~COxelD3DTerrainChipManager() override;

    // Binds the atlas for the cell quads.
    void SetTexture() override;
    // A new atlas from a BMP file. A file that cannot be read, or has no whole
    // 128 x 128 tile, is refused with a message box and the current atlas stays.
    int LoadTexture(const char* path) override;
    // The two halves of LoadTexture. ReadAtlas reads the file as a GDI bitmap
    // and a texture, changing nothing; a file it refuses is reported with a
    // message box (false). AdoptAtlas makes what it read the atlas, named
    // `path`, and frees the one before.
    bool ReadAtlas(const char* path, HBITMAP* bitmap, IDirect3DTexture9** texture);
    void AdoptAtlas(const char* path, HBITMAP bitmap, IDirect3DTexture9* texture);
    // Deletes the atlas's GDI bitmap; the texture stays.
    void ReleaseTexture() override;
    void OnCameraChanged() override;

    // Makes a map of width x height cells at height 2.0 with the built-in atlas,
    // and its quad tree; 0, or E_FAIL when a cell's quad cannot be made.
    int Create(int width, int height);
    // Destroys billboards, quad tree and cells. Create must follow before the
    // grid is used or drawn again.
    void Release();
    // Default-pool buffers around a reset of the device: the batch, every
    // cell's quad and every billboard's quad let go of theirs before it and
    // make them again after it.
    void OnLostDevice();
    int OnResetDevice();
    // Draws the visible cells, then their billboards far to near. Needs the
    // current camera applied; culls with the world transform now set. Quads
    // changed since the last call are written to their batches first.
    void Render();
    // Writes every quad changed since the last call to its batch's buffer.
    void WriteChangedQuads();
    // Render in two halves, for a frame that draws something between the
    // ground of every map copy and the billboards. Each DrawGround draws one
    // copy's cells and queues its billboards far to near; DrawBillboards draws
    // everything queued, copy after copy, and empties the queue.
    void DrawGround();
    void DrawBillboards();

    // Grid. Columns and rows wrap around the map; cell indexes are used as given.
    double GetHeight(int column, int row);
    void SetHeight(int column, int row, double height);
    void GetCornerHeights(int cellIndex, double* h0, double* h1, double* h2, double* h3);
    int GetMapChip(int column, int row);
    int GetMapChip(int cellIndex);
    void SetMapChip(int column, int row, int chip);
    void SetMapChip(int cellIndex, int chip);
    int GetMapChipRotation(int column, int row);
    int GetMapChipRotation(int cellIndex);
    // -1 turns the tile one more quarter; any other value is stored as given.
    void SetMapChipRotation(int column, int row, int rotation);
    void SetMapChipRotation(int cellIndex, int rotation);
    // The cells' half of SetHeight, SetMapChip and SetMapChipRotation: the
    // data takes the value and no quad is rewritten. A whole map stored so is
    // brought to its quads by one UpdateAllCells. A height that is not a
    // number is refused (false) and the vertex keeps its height.
    bool StoreHeight(int column, int row, double height);
    void StoreMapChip(int cellIndex, int chip);
    void StoreMapChipRotation(int cellIndex, int rotation);
    COxelD3DTerrainChipBase* GetTerrainChip(int cellIndex);
    // Rewrites every quad and vertex normal from the cells' data.
    void UpdateAllCells();
    // Lays one cell's picture anew from its chip and turn, or every cell's
    // (after the atlas size changed): the ground's shape is untouched.
    void UpdateCellPicture(int cellIndex);
    void UpdateAllCellPictures();

    // Rewrites one cell's quad from its data, with straight-up vertex normals.
    void UpdateCellGeometry(int column, int row);
    void GetMapChipTexCoords(int column, int row, double* uRight, double* uLeft, double* vTop, double* vBottom);
    // The smoothed normal of grid vertex (column, row), written to its four quads.
    void UpdateVertexNormal(int column, int row);
    // After an edit at vertex (column, row): the four quads around it and the
    // nine vertex normals around it.
    void UpdateAround(int column, int row);

    // Billboards. The billboard at position i of m_billboards has the id i.
    void AddBillboard();
    void DeleteBillboard(int index);
    COxelD3DTerrainPlane* FindBillboard(int id);

    // state 1: the node is known to be inside the view; 2: it must be tested.
    void Cull(COxelQuadNode* node, int state);
    // Adds the cell to the runs drawn after culling (or draws its quad at once
    // when m_drawEachCell is set) and notes its billboard.
    void DrawCell(int cellIndex);
    // The same for every cell of a block known to be in view: its slots are
    // one run, added whole.
    void DrawBlock(const COxelQuadNode* node);

    COxelD3DMapChipData* m_cells;
    COxelQuadNode* m_pRoot;
    IDirect3DTexture9* m_chipTexture;
    int m_mapWidth;
    int m_mapHeight;
    ChipImageInfo m_chipImage;
    int m_chipRows;
    int m_chipRowRest;
    int m_chipColumns;
    int m_chipColumnRest;
    // Cells drawn in the current render call that name a billboard; far to near
    // once sorted. Not owned.
    std::list<COxelD3DMapChipData*> m_billboardCells;
    // Owned; COxelD3DBillboardBase objects.
    std::vector<COxelD3DTerrainPlane*> m_billboards;
    // Billboards waiting for DrawBillboards, each where its copy puts it.
    struct QueuedBillboard {
        int id;
        D3DXVECTOR3 position;
    };
    std::vector<QueuedBillboard> m_queuedBillboards;

    // The cells' quads, in the order of QuadTreeLeafOrder: cell c is in slot
    // m_cellSlots[c], the cell in slot s is m_slotCells[s], and slot s is
    // slot s % kQuadsPerBatch of batch s / kQuadsPerBatch.
    static constexpr int kQuadsPerBatch = COxelD3DTerrainChipBatch::kMaximumQuads;
    std::vector<std::unique_ptr<COxelD3DTerrainChipBatch>> m_batches;
    std::vector<int> m_cellSlots;
    std::vector<int> m_slotCells;
    // The quad tree's leaf of each cell, by cell index; not owned.
    std::vector<COxelQuadNode*> m_cellLeaves;
    // Consecutive slots drawn by the current render call, in drawing order;
    // one call each, or one per batch that a run crosses.
    struct SlotRun {
        int first;
        int count;
    };
    std::vector<SlotRun> m_runs;
    // 1: every visible cell is drawn with a call of its own, as a lone quad
    // draws itself. Tests and the benchmark compare the runs with it; 0 at start.
    int m_drawEachCell;

    // Counted by the last Render (or OnCameraChanged), for measuring the culling.
    int m_cellsDrawn;
    int m_nodesTested;
    int m_billboardsDrawn;

private:
    COxelD3DTerrainChipManager(const COxelD3DTerrainChipManager&) = delete;
    COxelD3DTerrainChipManager& operator=(const COxelD3DTerrainChipManager&) = delete;

    // The index of the cell at a column and row taken modulo the map size.
    int WrappedCellIndex(int column, int row) const;
    // Culls and draws the grid and sorts the billboard cells far to near.
    void DrawVisibleCells();
    void DrawRuns();
    int MakeBatches(int quadCount);
    // Extends the last run by slots first .. first + count - 1, or starts one.
    void AddRun(int first, int count);
    // Queues the cell's billboard, if it names one, for the billboard pass.
    void NoteBillboard(int cellIndex);
    void FindLeaves(COxelQuadNode* node);
    // Takes over a loaded atlas bitmap: the image record and the tile counts.
    void AdoptAtlasBitmap(HBITMAP bitmap);

    // The world transform of the current render call: the culling boxes and the
    // billboards of a copy of the map drawn side by side are placed with it.
    D3DXMATRIX m_cullWorld;
};
