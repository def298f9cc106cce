#include "scene/COxelD3DSceneBackgroundSphere.h"

#include "app/COxelD3DApplication.h"
#include "app/SafeRelease.h"
#include "scene/TriangleStrip.h"

#include <d3dx9.h>

#include <cstring>

COxelD3DSceneBackgroundSphere* g_backgroundSphere = nullptr;

namespace {

const float kRadiansPerDegree = 0.017453292f;
const int kMinimumBands = 6;
const float kMinimumRadius = 1.0f;
// Indices are 16-bit.
const int kMaximumVertices = 65536;

D3DXVECTOR3 Position(const SceneVertex& vertex)
{
    return D3DXVECTOR3(vertex.x, vertex.y, vertex.z);
}

SceneVertex Vertex(const D3DXVECTOR3& position, float u, float v)
{
    // The sky is drawn unlit; the normal simply points outward.
    return SceneVertex{position.x, position.y, position.z, position.x, position.y, position.z, u, v};
}

}  // namespace

SphereSize ClampSphereSize(int slices, int stacks, float radius)
{
    SphereSize size;
    size.slices = slices < kMinimumBands ? kMinimumBands : slices;
    size.stacks = stacks < kMinimumBands ? kMinimumBands : stacks;
    size.radius = radius < kMinimumRadius ? kMinimumRadius : radius;
    return size;
}

std::vector<SceneVertex> SphereVertices(const SphereSize& size)
{
    const int slices = size.slices;
    const int stacks = size.stacks;
    const float r = size.radius;
    std::vector<SceneVertex> vertices(static_cast<size_t>(slices + 1) * stacks);

    // Meridian 0: rings every 180 / stacks degrees from the top pole; the
    // bottom pole is placed directly. v runs in steps of 1 / slices, so the
    // rings above it cover only the top part of the image.
    D3DXMATRIX down;
    D3DXMatrixRotationZ(&down, (180.0f / stacks) * kRadiansPerDegree);
    vertices[0] = Vertex(D3DXVECTOR3(0.0f, r, 0.0f), 0.0f, 0.0f);
    for (int i = 1; i <= stacks - 2; ++i) {
        D3DXVECTOR3 position;
        const D3DXVECTOR3 above = Position(vertices[i - 1]);
        D3DXVec3TransformCoord(&position, &above, &down);
        vertices[i] = Vertex(position, 0.0f, static_cast<float>(i) / slices);
    }
    vertices[stacks - 1] = Vertex(D3DXVECTOR3(0.0f, -r, 0.0f), 0.0f, 1.0f);

    D3DXMATRIX around;
    D3DXMatrixRotationY(&around, (360.0f / slices) * kRadiansPerDegree);
    for (int k = 1; k < slices; ++k) {
        const float u = static_cast<float>(k) / slices;
        for (int j = 0; j < stacks; ++j) {
            const SceneVertex& previous = vertices[static_cast<size_t>(k - 1) * stacks + j];
            D3DXVECTOR3 position;
            const D3DXVECTOR3 from = Position(previous);
            D3DXVec3TransformCoord(&position, &from, &around);
            vertices[static_cast<size_t>(k) * stacks + j] = Vertex(position, u, previous.v);
        }
    }

    // The seam: meridian 0 again, at the image's right edge.
    for (int j = 0; j < stacks; ++j) {
        SceneVertex seam = vertices[j];
        seam.u = 1.0f;
        vertices[static_cast<size_t>(slices) * stacks + j] = seam;
    }
    return vertices;
}

std::vector<WORD> SphereIndices(const SphereSize& size)
{
    // Band m is the first band's strip moved round by m meridians.
    const std::vector<WORD> strip = SphereBandStrip(size);
    std::vector<WORD> indices;
    indices.reserve(static_cast<size_t>(6) * size.slices * (size.stacks - 1));
    for (int m = 0; m < size.slices; ++m) {
        AppendStripAsList(strip.data(), strip.size(), m * size.stacks, indices);
    }
    return indices;
}

std::vector<WORD> SphereBandStrip(const SphereSize& size)
{
    std::vector<WORD> indices;
    indices.reserve(static_cast<size_t>(2) * size.stacks);
    for (int t = 0; t < size.stacks; ++t) {
        indices.push_back(static_cast<WORD>(t));
        indices.push_back(static_cast<WORD>(size.stacks + t));
    }
    return indices;
}

COxelD3DSceneBackgroundSphere::COxelD3DSceneBackgroundSphere()
    : m_vertices(nullptr),
      m_indices(nullptr),
      m_slices(0),
      m_stacks(0),
      m_position{0.0f, 0.0f, 0.0f},
      m_radius(0.0),
      m_texture(nullptr),
      m_drawEachBand(0)
{
    if (FAILED(D3DXCreateTextureFromResourceA(g_device, nullptr, "IDB_BACKGROUND", &m_texture))) {
        m_texture = nullptr;
    }
}

COxelD3DSceneBackgroundSphere::~COxelD3DSceneBackgroundSphere()
{
    ReleaseTexture();
    SafeRelease(m_indices);
    SafeRelease(m_vertices);
    if (g_backgroundSphere == this) {
        g_backgroundSphere = nullptr;
    }
}

HRESULT COxelD3DSceneBackgroundSphere::Build(int slices, int stacks, float radius)
{
    const SphereSize size = ClampSphereSize(slices, stacks, radius);
    m_slices = size.slices;
    m_stacks = size.stacks;
    m_radius = size.radius;
    // A rebuild replaces the old mesh.
    SafeRelease(m_indices);
    SafeRelease(m_vertices);
    // Past 65536 vertices the 16-bit indices would wrap and draw garbage.
    if (size.slices >= kMaximumVertices || size.stacks >= kMaximumVertices ||
        static_cast<long long>(size.slices + 1) * size.stacks > kMaximumVertices) {
        return E_FAIL;
    }

    if (FAILED(CreateVertices(size))) {
        return E_FAIL;
    }

    // The list, then the first band's strip for drawing band by band.
    std::vector<WORD> indices = SphereIndices(size);
    const std::vector<WORD> strip = SphereBandStrip(size);
    indices.insert(indices.end(), strip.begin(), strip.end());
    const UINT indexBytes = static_cast<UINT>(indices.size() * sizeof(WORD));
    if (FAILED(g_device->CreateIndexBuffer(indexBytes, D3DUSAGE_WRITEONLY, D3DFMT_INDEX16, D3DPOOL_MANAGED, &m_indices,
                                           nullptr))) {
        m_indices = nullptr;
        return E_FAIL;
    }
    void* data = nullptr;
    if (FAILED(m_indices->Lock(0, 0, &data, 0))) {
        return E_FAIL;
    }
    memcpy(data, indices.data(), indexBytes);
    m_indices->Unlock();
    return 0;
}

HRESULT COxelD3DSceneBackgroundSphere::CreateVertices(const SphereSize& size)
{
    const std::vector<SceneVertex> vertices = SphereVertices(size);
    const UINT vertexBytes = static_cast<UINT>(vertices.size() * sizeof(SceneVertex));
    if (FAILED(g_device->CreateVertexBuffer(vertexBytes, 0, kSceneVertexFVF, D3DPOOL_DEFAULT, &m_vertices, nullptr))) {
        m_vertices = nullptr;
        return E_FAIL;
    }
    void* data = nullptr;
    if (FAILED(m_vertices->Lock(0, 0, &data, 0))) {
        return E_FAIL;
    }
    memcpy(data, vertices.data(), vertexBytes);
    m_vertices->Unlock();
    return 0;
}

void COxelD3DSceneBackgroundSphere::OnLostDevice()
{
    SafeRelease(m_vertices);
}

// The mesh Build made: its clamped size is what the fields hold.
HRESULT COxelD3DSceneBackgroundSphere::OnResetDevice()
{
    if (m_vertices || !m_indices) {
        return 0;
    }
    return CreateVertices(SphereSize{m_slices, m_stacks, static_cast<float>(m_radius)});
}

void COxelD3DSceneBackgroundSphere::SetPosition(float x, float y, float z)
{
    m_position[0] = x;
    m_position[1] = y;
    m_position[2] = z;
}

void COxelD3DSceneBackgroundSphere::Render()
{
    g_device->SetRenderState(D3DRS_LIGHTING, FALSE);
    g_device->SetRenderState(D3DRS_FOGENABLE, FALSE);
    g_device->SetRenderState(D3DRS_ZWRITEENABLE, FALSE);
    D3DXMATRIX world;
    D3DXMatrixTranslation(&world, m_position[0], m_position[1], m_position[2]);
    g_device->SetTransform(D3DTS_WORLD, &world);
    g_device->SetTexture(0, m_texture);
    g_device->SetStreamSource(0, m_vertices, 0, sizeof(SceneVertex));
    g_device->SetFVF(kSceneVertexFVF);
    g_device->SetIndices(m_indices);
    const UINT vertexCount = (m_slices + 1) * m_stacks;
    const UINT bandTriangles = 2 * m_stacks - 2;
    if (!m_drawEachBand) {
        g_device->DrawIndexedPrimitive(D3DPT_TRIANGLELIST, 0, 0, vertexCount, 0, m_slices * bandTriangles);
        return;
    }
    // Every band reuses the strip between meridians 0 and 1, shifted by the
    // base vertex; it follows the list in the index buffer.
    const UINT stripStart = 3 * m_slices * bandTriangles;
    for (int band = 0; band < m_slices; ++band) {
        g_device->DrawIndexedPrimitive(D3DPT_TRIANGLESTRIP, band * m_stacks, 0, 2 * m_stacks, stripStart,
                                       bandTriangles);
    }
}

HRESULT COxelD3DSceneBackgroundSphere::LoadTexture(const char* path)
{
    return D3DXCreateTextureFromFileA(g_device, path, &m_texture);
}

void COxelD3DSceneBackgroundSphere::ReleaseTexture()
{
    SafeRelease(m_texture);
}
