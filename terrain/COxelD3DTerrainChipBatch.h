#pragma once

#include <windows.h>

#include <d3d9.h>

#include <vector>

class COxelD3DTerrainChipBase;

// The quads of a map's cells in one vertex buffer, four vertices to a slot, with
// a fixed index buffer of two triangles per slot, so that any run of
// neighbouring slots is drawn with one call. Each quad keeps its vertices and
// tells the batch when they change; the batch writes them before the next draw.
// The chip manager owns the batch; its quads hold references to the vertex buffer.
class COxelD3DTerrainChipBatch {
public:
    // 16-bit indices reach 65536 vertices: 128 x 128 cells.
    static constexpr int kMaximumQuads = 65536 / 4;

    COxelD3DTerrainChipBatch();
    ~COxelD3DTerrainChipBatch();

    // Buffers for `quadCount` quads, replacing any earlier ones; 0, or E_FAIL when
    // the device refuses them or 16-bit indices cannot reach every vertex.
    int Create(int quadCount);
    // Releases the buffers and forgets the changed quads; idempotent.
    void Release();
    // Lets go of the default-pool vertex buffer before the device is reset, and
    // makes a new one after it; the quads fill it again (OnResetDevice of each).
    void OnLostDevice();
    int OnResetDevice();
    // Called by a quad of the batch when its vertices change.
    void MarkChanged(COxelD3DTerrainChipBase* quad);
    // Writes the vertices of every quad changed since the last call, with one
    // lock over the slots between the first and the last of them.
    void WriteChanges();
    // Sets the vertex buffer, vertex format and indices that Draw uses.
    void Bind();
    // Draws slots first .. first + count - 1 with one call.
    void Draw(int first, int count);

    IDirect3DVertexBuffer9* m_vertices;
    IDirect3DIndexBuffer9* m_indices;
    int m_quadCount;

private:
    COxelD3DTerrainChipBatch(const COxelD3DTerrainChipBatch&) = delete;
    COxelD3DTerrainChipBatch& operator=(const COxelD3DTerrainChipBatch&) = delete;

    // Marked since the last WriteChanges, each once; not owned.
    std::vector<COxelD3DTerrainChipBase*> m_changed;
};
