#pragma once

#include <windows.h>

#include <d3d9.h>

// A lit, textured vertex of the scene's own meshes (the sky and the wall box).
struct SceneVertex {
    float x, y, z;
    float nx, ny, nz;
    float u, v;
};
const DWORD kSceneVertexFVF = D3DFVF_XYZ | D3DFVF_NORMAL | D3DFVF_TEX1;

static_assert(sizeof(SceneVertex) == 32, "SceneVertex is eight floats");
