#include "terrain/COxelD3DTerrainChipBatch.h"

#include "app/COxelD3DApplication.h"
#include "app/SafeRelease.h"
#include "terrain/COxelD3DTerrainChipBase.h"
#include "terrain/QuadGeometry.h"

#include <algorithm>
#include <cstring>

namespace {

const int kVerticesPerQuad = 4;
const int kIndicesPerQuad = 6;

IDirect3DVertexBuffer9* CreateQuadVertexBuffer(int quadCount)
{
    IDirect3DVertexBuffer9* buffer = nullptr;
    const UINT vertexBytes = static_cast<UINT>(quadCount * kVerticesPerQuad * sizeof(QuadVertex));
    if (!g_device || FAILED(g_device->CreateVertexBuffer(vertexBytes, D3DUSAGE_WRITEONLY, kQuadVertexFVF,
                                                         D3DPOOL_DEFAULT, &buffer, nullptr))) {
        return nullptr;
    }
    return buffer;
}

}  // namespace

COxelD3DTerrainChipBatch::COxelD3DTerrainChipBatch() : m_vertices(nullptr), m_indices(nullptr), m_quadCount(0)
{
}

COxelD3DTerrainChipBatch::~COxelD3DTerrainChipBatch()
{
    Release();
}

int COxelD3DTerrainChipBatch::Create(int quadCount)
{
    Release();
    if (!g_device || quadCount <= 0 || quadCount > kMaximumQuads) {
        return E_FAIL;
    }
    m_vertices = CreateQuadVertexBuffer(quadCount);
    if (!m_vertices) {
        return E_FAIL;
    }
    const std::vector<WORD> indices = QuadListIndices(quadCount);
    const UINT indexBytes = static_cast<UINT>(indices.size() * sizeof(WORD));
    void* data = nullptr;
    if (FAILED(g_device->CreateIndexBuffer(indexBytes, D3DUSAGE_WRITEONLY, D3DFMT_INDEX16, D3DPOOL_MANAGED, &m_indices,
                                           nullptr))) {
        m_indices = nullptr;
        Release();
        return E_FAIL;
    }
    if (FAILED(m_indices->Lock(0, 0, &data, 0))) {
        Release();
        return E_FAIL;
    }
    memcpy(data, indices.data(), indexBytes);
    m_indices->Unlock();
    m_quadCount = quadCount;
    return 0;
}

void COxelD3DTerrainChipBatch::Release()
{
    m_changed.clear();
    SafeRelease(m_indices);
    SafeRelease(m_vertices);
    m_quadCount = 0;
}

void COxelD3DTerrainChipBatch::OnLostDevice()
{
    SafeRelease(m_vertices);
}

int COxelD3DTerrainChipBatch::OnResetDevice()
{
    if (m_vertices || m_quadCount == 0) {
        return 0;
    }
    m_vertices = CreateQuadVertexBuffer(m_quadCount);
    return m_vertices ? 0 : E_FAIL;
}

void COxelD3DTerrainChipBatch::MarkChanged(COxelD3DTerrainChipBase* quad)
{
    m_changed.push_back(quad);
}

void COxelD3DTerrainChipBatch::WriteChanges()
{
    int first = m_quadCount;
    int last = -1;
    if (m_changed.size() * 2 >= static_cast<size_t>(m_quadCount)) {
        // Most of the batch (a fill): the whole buffer is locked rather than
        // every changed quad visited once more only to find the range.
        first = 0;
        last = m_quadCount - 1;
    } else {
        for (const COxelD3DTerrainChipBase* quad : m_changed) {
            // A quad drawn on its own since it changed has written itself.
            if (quad->HasUnwrittenVertices()) {
                first = std::min(first, quad->Slot());
                last = std::max(last, quad->Slot());
            }
        }
    }
    if (last >= first) {
        const UINT quadBytes = kVerticesPerQuad * sizeof(QuadVertex);
        void* data = nullptr;
        // Kept for the next call when the buffer cannot be locked now.
        if (!m_vertices || FAILED(m_vertices->Lock(first * quadBytes, (last - first + 1) * quadBytes, &data, 0))) {
            return;
        }
        QuadVertex* slots = static_cast<QuadVertex*>(data);
        for (COxelD3DTerrainChipBase* quad : m_changed) {
            if (quad->HasUnwrittenVertices()) {
                quad->WriteVertices(slots + (quad->Slot() - first) * kVerticesPerQuad);
            }
        }
        m_vertices->Unlock();
    }
    m_changed.clear();
}

void COxelD3DTerrainChipBatch::Bind()
{
    g_device->SetStreamSource(0, m_vertices, 0, sizeof(QuadVertex));
    g_device->SetFVF(kQuadVertexFVF);
    g_device->SetIndices(m_indices);
}

void COxelD3DTerrainChipBatch::Draw(int first, int count)
{
    g_device->DrawIndexedPrimitive(D3DPT_TRIANGLELIST, 0, first * kVerticesPerQuad, count * kVerticesPerQuad,
                                   first * kIndicesPerQuad, count * 2);
}
