#pragma once

#include "scene/SceneVertex.h"

#include <windows.h>

#include <d3d9.h>

#include <vector>

// The sizes Build really uses: at least 6 slices, 6 stacks and radius 1.
struct SphereSize {
    int slices;
    int stacks;
    float radius;
};

// The sky: a textured sphere around the eye, drawn first and without depth
// writes so everything else covers it. The scene owns it.
class COxelD3DSceneBackgroundSphere {
public:
    // Loads the built-in panorama "IDB_BACKGROUND"; without it the sky is untextured.
    COxelD3DSceneBackgroundSphere();
    virtual ~COxelD3DSceneBackgroundSphere();

    // Makes the mesh: slices meridian bands, stacks vertices per meridian from
    // pole to pole. 0 or E_FAIL.
    HRESULT Build(int slices, int stacks, float radius);
    // The vertex buffer is in the default pool: released before a reset of
    // the device and made again, for the same mesh, after it.
    void OnLostDevice();
    HRESULT OnResetDevice();
    void SetPosition(float x, float y, float z);
    // Leaves lighting, fog and depth writes off.
    void Render();
    // Does not release the current texture: call ReleaseTexture first.
    HRESULT LoadTexture(const char* path);
    void ReleaseTexture();

    IDirect3DVertexBuffer9* m_vertices;
    IDirect3DIndexBuffer9* m_indices;
    int m_slices;
    int m_stacks;
    float m_position[3];
    double m_radius;
    IDirect3DTexture9* m_texture;
    // 1: each band is drawn as a strip of its own, twenty calls for the scene's
    // sky, as it was first drawn. Tests and the benchmark compare the single
    // list with it; 0 at start.
    int m_drawEachBand;

private:
    HRESULT CreateVertices(const SphereSize& size);
};

// The scene's sky, also reached by the scene setting window to change its image.
extern COxelD3DSceneBackgroundSphere* g_backgroundSphere;

SphereSize ClampSphereSize(int slices, int stacks, float radius);

// The (slices + 1) x stacks vertices of a clamped size, meridian by meridian from
// the top pole down; the last meridian repeats the first with u = 1.
std::vector<SceneVertex> SphereVertices(const SphereSize& size);

// The whole sky as one triangle list: band after band, the band's strip through
// the pairs m * stacks + t, (m + 1) * stacks + t listed by AppendStripAsList, so
// the list gives the very pixels of the strips.
std::vector<WORD> SphereIndices(const SphereSize& size);

// The first band's strip: the pairs t, stacks + t. Moved round by the base
// vertex, it draws every band when the bands are drawn one by one.
std::vector<WORD> SphereBandStrip(const SphereSize& size);
