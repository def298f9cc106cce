#pragma once

#include <windows.h>

#include <d3d9.h>
#include <d3dx9math.h>

class COxelD3DTerrainChipTextureManagerBase;

// One vertex of a terrain quad (32 bytes): position, normal, texture coordinate.
struct QuadVertex {
    float x, y, z;
    float nx, ny, nz;
    float u, v;
};
const DWORD kQuadVertexFVF = D3DFVF_XYZ | D3DFVF_NORMAL | D3DFVF_TEX1;

// The one piece of terrain geometry: a textured quad of four vertices in a
// vertex buffer of its own, drawn as a two-triangle strip. Map cells, planes and
// billboards each own one. The texture belongs to the owner given to Create.
class COxelD3DTerrainChipBase {
public:
    COxelD3DTerrainChipBase();
    virtual ~COxelD3DTerrainChipBase();

    // Makes the vertex buffer; 0, or E_FAIL when the device refuses it.
    virtual int Create(COxelD3DTerrainChipTextureManagerBase* textureOwner);
    // Rewrites the four vertices: corner k becomes vertex k, all with `normal`,
    // texture rectangle (uA, vA) .. (uB, vB) turned by `rotation`. The bounding
    // box follows the corners even when the buffer cannot be written (E_FAIL).
    virtual int SetGeometry(D3DXVECTOR3 corner0, D3DXVECTOR3 corner1, D3DXVECTOR3 corner2, D3DXVECTOR3 corner3,
                            D3DXVECTOR3 normal, float uA, float vA, float uB, float vB, int rotation);
    virtual int SetNormal(int vertex, D3DXVECTOR3 normal);
    virtual int SetNormal(int vertex, float x, float y, float z);
    // The normal of vertex 0..3; (0, 0, 0) when the buffer cannot be read.
    virtual D3DXVECTOR3 GetNormal(int vertex);
    // Draws with the owner's texture; world transform and states are the caller's.
    virtual void Render();

    COxelD3DTerrainChipTextureManagerBase* m_pTextureOwner;
    IDirect3DVertexBuffer9* m_pVertexBuffer;
    D3DXVECTOR3 m_vMin;
    D3DXVECTOR3 m_vMax;
    D3DXVECTOR3 m_vFaceNormal1;
    D3DXVECTOR3 m_vFaceNormal2;

private:
    COxelD3DTerrainChipBase(const COxelD3DTerrainChipBase&) = delete;
    COxelD3DTerrainChipBase& operator=(const COxelD3DTerrainChipBase&) = delete;
};
