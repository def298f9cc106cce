#include "terrain/COxelD3DTerrainChipBase.h"

#include "app/COxelD3DApplication.h"
#include "app/SafeRelease.h"
#include "terrain/COxelD3DTerrainChipBatch.h"
#include "terrain/COxelD3DTerrainChipTextureManagerBase.h"
#include "terrain/QuadGeometry.h"

#include <cstring>

namespace {

const UINT kVertexCount = 4;
const UINT kBufferSize = kVertexCount * sizeof(QuadVertex);

bool IsQuadVertex(int vertex)
{
    return vertex >= 0 && vertex < static_cast<int>(kVertexCount);
}

}  // namespace

static_assert(sizeof(QuadVertex) == 32, "the quad's vertex layout is 32 bytes");

COxelD3DTerrainChipBase::COxelD3DTerrainChipBase()
    : m_pTextureOwner(nullptr),
      m_pVertexBuffer(nullptr),
      m_vMin(0.0f, 0.0f, 0.0f),
      m_vMax(0.0f, 0.0f, 0.0f),
      m_vFaceNormal1(0.0f, 0.0f, 0.0f),
      m_vFaceNormal2(0.0f, 0.0f, 0.0f),
      m_vertices(),
      m_changed(false),
      m_awaitingReset(false),
      m_pBatch(nullptr),
      m_slot(0)
{
}

COxelD3DTerrainChipBase::~COxelD3DTerrainChipBase()
{
    SafeRelease(m_pVertexBuffer);
}

int COxelD3DTerrainChipBase::Create(COxelD3DTerrainChipTextureManagerBase* textureOwner)
{
    m_pTextureOwner = textureOwner;
    if (!g_device ||
        FAILED(g_device->CreateVertexBuffer(kBufferSize, 0, kQuadVertexFVF, D3DPOOL_DEFAULT, &m_pVertexBuffer,
                                            nullptr))) {
        m_pVertexBuffer = nullptr;
        return E_FAIL;
    }
    return 0;
}

int COxelD3DTerrainChipBase::CreateInBatch(COxelD3DTerrainChipTextureManagerBase* textureOwner,
                                           COxelD3DTerrainChipBatch* batch, int slot)
{
    m_pTextureOwner = textureOwner;
    if (!batch || !batch->m_vertices || slot < 0 || slot >= batch->m_quadCount) {
        return E_FAIL;
    }
    SafeRelease(m_pVertexBuffer);
    m_pVertexBuffer = batch->m_vertices;
    m_pVertexBuffer->AddRef();
    m_pBatch = batch;
    m_slot = slot;
    return 0;
}

int COxelD3DTerrainChipBase::SetGeometry(D3DXVECTOR3 corner0, D3DXVECTOR3 corner1, D3DXVECTOR3 corner2,
                                         D3DXVECTOR3 corner3, D3DXVECTOR3 normal, float uA, float vA, float uB,
                                         float vB, int rotation)
{
    const D3DXVECTOR3 corners[4] = {corner0, corner1, corner2, corner3};
    QuadBounds(corners, m_vMin, m_vMax);
    if (!IsMade()) {
        return E_FAIL;
    }
    QuadTexCoord texCoords[4];
    QuadTexCoords(uA, vA, uB, vB, rotation, texCoords);
    for (UINT k = 0; k < kVertexCount; ++k) {
        m_vertices[k] = {corners[k].x, corners[k].y, corners[k].z, normal.x,       normal.y,
                         normal.z,     texCoords[k].u, texCoords[k].v};
    }
    QuadFaceNormals(corners, m_vFaceNormal1, m_vFaceNormal2);
    MarkChanged();
    return 0;
}

int COxelD3DTerrainChipBase::SetTexCoords(float uA, float vA, float uB, float vB, int rotation)
{
    if (!IsMade()) {
        return E_FAIL;
    }
    QuadTexCoord texCoords[4];
    QuadTexCoords(uA, vA, uB, vB, rotation, texCoords);
    for (UINT k = 0; k < kVertexCount; ++k) {
        m_vertices[k].u = texCoords[k].u;
        m_vertices[k].v = texCoords[k].v;
    }
    MarkChanged();
    return 0;
}

int COxelD3DTerrainChipBase::SetNormal(int vertex, D3DXVECTOR3 normal)
{
    if (!IsMade() || !IsQuadVertex(vertex)) {
        return E_FAIL;
    }
    m_vertices[vertex].nx = normal.x;
    m_vertices[vertex].ny = normal.y;
    m_vertices[vertex].nz = normal.z;
    MarkChanged();
    return 0;
}

int COxelD3DTerrainChipBase::SetNormal(int vertex, float x, float y, float z)
{
    return SetNormal(vertex, D3DXVECTOR3(x, y, z));
}

D3DXVECTOR3 COxelD3DTerrainChipBase::GetNormal(int vertex)
{
    if (!IsQuadVertex(vertex)) {
        return D3DXVECTOR3(0.0f, 0.0f, 0.0f);
    }
    return D3DXVECTOR3(m_vertices[vertex].nx, m_vertices[vertex].ny, m_vertices[vertex].nz);
}

void COxelD3DTerrainChipBase::Render()
{
    Upload();
    g_device->SetStreamSource(0, m_pVertexBuffer, 0, sizeof(QuadVertex));
    m_pTextureOwner->SetTexture();
    g_device->SetFVF(kQuadVertexFVF);
    g_device->DrawPrimitive(D3DPT_TRIANGLESTRIP, m_slot * kVertexCount, 2);
}

void COxelD3DTerrainChipBase::OnLostDevice()
{
    if (m_pVertexBuffer) {
        SafeRelease(m_pVertexBuffer);
        m_awaitingReset = true;
    }
}

int COxelD3DTerrainChipBase::OnResetDevice()
{
    if (!m_awaitingReset) {
        return 0;
    }
    if (m_pBatch) {
        m_pVertexBuffer = m_pBatch->m_vertices;
        if (m_pVertexBuffer) {
            m_pVertexBuffer->AddRef();
        }
    } else if (!g_device || FAILED(g_device->CreateVertexBuffer(kBufferSize, 0, kQuadVertexFVF, D3DPOOL_DEFAULT,
                                                                &m_pVertexBuffer, nullptr))) {
        m_pVertexBuffer = nullptr;
    }
    if (!m_pVertexBuffer) {
        return E_FAIL;
    }
    m_awaitingReset = false;
    MarkChanged();
    return 0;
}

void COxelD3DTerrainChipBase::WriteVertices(QuadVertex* destination)
{
    memcpy(destination, m_vertices, sizeof m_vertices);
    m_changed = false;
}

void COxelD3DTerrainChipBase::MarkChanged()
{
    if (!m_changed && m_pBatch) {
        m_pBatch->MarkChanged(this);
    }
    m_changed = true;
}

void COxelD3DTerrainChipBase::Upload()
{
    if (!m_changed || !m_pVertexBuffer) {
        return;
    }
    void* data = nullptr;
    if (FAILED(m_pVertexBuffer->Lock(m_slot * kBufferSize, kBufferSize, &data, 0))) {
        return;
    }
    WriteVertices(static_cast<QuadVertex*>(data));
    m_pVertexBuffer->Unlock();
}
