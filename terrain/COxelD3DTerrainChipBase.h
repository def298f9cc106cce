#pragma once

#include <windows.h>

#include <d3d9.h>
#include <d3dx9math.h>

class COxelD3DTerrainChipBatch;
class COxelD3DTerrainChipTextureManagerBase;

// One vertex of a terrain quad (32 bytes): position, normal, texture coordinate.
struct QuadVertex {
    float x, y, z;
    float nx, ny, nz;
    float u, v;
};
const DWORD kQuadVertexFVF = D3DFVF_XYZ | D3DFVF_NORMAL | D3DFVF_TEX1;

// The one piece of terrain geometry: a textured quad of four vertices, drawn as
// a two-triangle strip. Map cells, planes and billboards each own one. A plane's
// or billboard's quad has a vertex buffer of its own; the quads of a map's cells
// are slots of one buffer, their batch, which draws runs of them at once. The
// texture belongs to the owner given to Create.
//
// The vertices are kept in memory and written to the buffer once, when the quad
// or its batch is next drawn: loading a map edits each quad dozens of times, and
// every lock of a buffer costs far more than the edit itself.
class COxelD3DTerrainChipBase {
public:
    COxelD3DTerrainChipBase();
    virtual ~COxelD3DTerrainChipBase();

    // Makes the vertex buffer; 0, or E_FAIL when the device refuses it.
    virtual int Create(COxelD3DTerrainChipTextureManagerBase* textureOwner);
    // Makes the quad slot `slot` of `batch` instead: its vertices are written
    // there, and drawing it alone draws that slot. E_FAIL when the batch has no
    // such slot.
    int CreateInBatch(COxelD3DTerrainChipTextureManagerBase* textureOwner, COxelD3DTerrainChipBatch* batch, int slot);
    // Rewrites the four vertices: corner k becomes vertex k, all with `normal`,
    // texture rectangle (uA, vA) .. (uB, vB) turned by `rotation`. The bounding
    // box follows the corners even when the quad has no buffer (E_FAIL).
    virtual int SetGeometry(D3DXVECTOR3 corner0, D3DXVECTOR3 corner1, D3DXVECTOR3 corner2, D3DXVECTOR3 corner3,
                            D3DXVECTOR3 normal, float uA, float vA, float uB, float vB, int rotation);
    // Changes one vertex's normal only; E_FAIL when the quad has no buffer or
    // the vertex is not 0..3.
    // Lays the picture anew (a new chip, turn or atlas): positions and normals stay.
    int SetTexCoords(float uA, float vA, float uB, float vB, int rotation);
    virtual int SetNormal(int vertex, D3DXVECTOR3 normal);
    virtual int SetNormal(int vertex, float x, float y, float z);
    // (0, 0, 0) for a vertex that is not 0..3.
    virtual D3DXVECTOR3 GetNormal(int vertex);
    // Draws with the owner's texture; world transform and states are the caller's.
    virtual void Render();

    // A reset device keeps no default-pool buffer: the quad lets go of its
    // buffer before the reset and takes a new one (its own, or its batch's new
    // one) after it, writing its vertices again. Edits in between are kept.
    void OnLostDevice();
    int OnResetDevice();

    // Vertex 0..3 as it will be drawn.
    const QuadVertex& GetVertex(int vertex) const { return m_vertices[vertex]; }

    // For the batch: the quad's slot (0 with a buffer of its own), whether its
    // vertices changed since they were last written, and writing them to their
    // place in the locked buffer.
    int Slot() const { return m_slot; }
    bool HasUnwrittenVertices() const { return m_changed; }
    void WriteVertices(QuadVertex* destination);

    COxelD3DTerrainChipTextureManagerBase* m_pTextureOwner;
    IDirect3DVertexBuffer9* m_pVertexBuffer;
    D3DXVECTOR3 m_vMin;
    D3DXVECTOR3 m_vMax;
    D3DXVECTOR3 m_vFaceNormal1;
    D3DXVECTOR3 m_vFaceNormal2;

private:
    // Remembers that the vertices must be written again, and tells the batch.
    void MarkChanged();
    // Writes the vertices to the buffer if they changed since it was last written.
    void Upload();
    // Whether the quad has a buffer, or had one before the device was lost.
    bool IsMade() const { return m_pVertexBuffer || m_awaitingReset; }

    QuadVertex m_vertices[4];
    bool m_changed;
    bool m_awaitingReset;
    // The batch whose slot the quad is, or null; not owned.
    COxelD3DTerrainChipBatch* m_pBatch;
    int m_slot;

    COxelD3DTerrainChipBase(const COxelD3DTerrainChipBase&) = delete;
    COxelD3DTerrainChipBase& operator=(const COxelD3DTerrainChipBase&) = delete;
};
