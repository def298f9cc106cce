#pragma once

#include <windows.h>

#include <d3d9.h>

#include <vector>

class COxelD3DCameraBase;
class COxelD3DTerrainBase;
class COxelD3DTerrainPlane;

// Everything drawn in the preview: camera, terrain copies, planes, sky, and the
// translucent border and cursor walls. Owns all of them.
class COxelD3DSceneBase {
public:
    COxelD3DSceneBase();
    virtual ~COxelD3DSceneBase();

    virtual HRESULT Create();
    virtual void Render();
    virtual void SetupLights();
    virtual void SetupFog();
    virtual void OnKeyDown(WPARAM key);

    COxelD3DTerrainBase* m_terrain;
    COxelD3DCameraBase* m_camera;
    int m_autoRotate;
    int m_showInfinite;
    std::vector<COxelD3DTerrainPlane*> m_planes;
    int m_showBackground;
    float m_fogStart;
    float m_fogEnd;
    int m_showMapBorder;
    int m_showCursor;
    float m_cursorPosition[3];
    IDirect3DVertexBuffer9* m_boxVertices;
    IDirect3DIndexBuffer9* m_boxIndices;
    IDirect3DTexture9* m_effectTexture;
};
