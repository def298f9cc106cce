#pragma once

#include <windows.h>

#include <d3d9.h>
#include <d3dx9math.h>

#include <vector>

class COxelD3DCameraBase;
class COxelD3DSceneBackgroundSphere;
class COxelD3DTerrainBase;
class COxelD3DTerrainPlane;

// Everything drawn in the preview: camera, terrain copies, planes, sky, and the
// translucent border and cursor walls. Owns all of them.
class COxelD3DSceneBase {
public:
    COxelD3DSceneBase();
    virtual ~COxelD3DSceneBase();

    // Makes the camera at its start view, the terrain with its start-up map, the
    // sky and the wall box. 0 or E_FAIL; what was made stays for the destructor.
    virtual HRESULT Create();
    // One frame's scene, between the frame's BeginScene and EndScene.
    virtual void Render();
    virtual void SetupLights();
    virtual void SetupFog();
    // Before a reset of the device: every default-pool buffer of the scene (the
    // walls, the sky, the map's quads, planes and billboards) is released.
    virtual void OnLostDevice();
    // After it: they are made again with what they held; 0 or E_FAIL.
    virtual HRESULT OnResetDevice();
    // The camera keys of the preview and of the editor windows that pass keys on.
    virtual void OnKeyDown(WPARAM key);
    // Points the camera at the whole map from above at an angle ("F", Home);
    // where the fog would hide more than half of the whole, at as much as it
    // leaves legible around the ground in the middle of the view.
    void FrameMap();

    // A 32 x 32 plane at height 2.5 whose id is the number of planes before it.
    void AddPlane();
    // Deletes the plane with id index and renumbers the ones after it; the list
    // is left in id order. An index no plane has is ignored.
    void DeletePlane(int index);
    // The plane with this id, or null.
    COxelD3DTerrainPlane* FindPlane(int id);

    COxelD3DTerrainBase* m_terrain;
    COxelD3DCameraBase* m_camera;
    int m_autoRotate;
    // Repeat the map over every map-sized tile the view touches.
    int m_showInfinite;
    // Reordered every frame (drawing order) and by DeletePlane (id order).
    std::vector<COxelD3DTerrainPlane*> m_planes;
    int m_showBackground;
    float m_fogStart;
    float m_fogEnd;
    int m_showMapBorder;
    int m_showCursor;
    // Written by the height and texture mapping windows: x and z in cells, y a height.
    float m_cursorPosition[3];
    // Cells the cursor column spans along x and z from its position: the
    // painting brush's size, 1 for a single square.
    int m_cursorSize;
    IDirect3DVertexBuffer9* m_boxVertices;
    IDirect3DIndexBuffer9* m_boxIndices;
    IDirect3DTexture9* m_effectTexture;
    // Where the preview's brush will act, as line pieces of two points each
    // in world units; drawn over the ground while not empty.
    std::vector<D3DXVECTOR3> m_brushOutline;
    // The selected region of the map, shown by walls as the cursor is: x, y
    // and z of its low corner in world units (y its lowest vertex), then its
    // extent along x, from its lowest to its highest vertex, and along z.
    bool m_selectionShown;
    float m_selectionBox[6];
    // 1: the sky is drawn before the ground even where the target could take
    // it after, as the preview was first drawn. Tests and the benchmark compare
    // with it; 0 at start.
    int m_skyFirst;

private:
    COxelD3DSceneBase(const COxelD3DSceneBase&) = delete;
    COxelD3DSceneBase& operator=(const COxelD3DSceneBase&) = delete;

    HRESULT CreateBox();
    HRESULT CreateBoxVertices();
    // The four walls of the unit box, stretched and placed by the world transform.
    void DrawWalls(const D3DMATRIX& world);
    void DrawSkyBehindGround(const D3DXVECTOR3& eye);
    void DrawBrushOutline();
    // Whether render target 0 has an alpha channel the sky can be guided by.
    bool TargetHasAlpha() const;

    // The sky this scene made; it is published in g_backgroundSphere.
    COxelD3DSceneBackgroundSphere* m_backgroundSphere;
};

// The map tile that holds coordinate v when the map repeats every `period`
// units. A negative exact multiple of the period counts one tile further out.
int TileIndex(float v, int period);

// The tiles, inclusive, that a box from (minX, minZ) to (maxX, maxZ) touches.
struct TileRange {
    int x0;
    int x1;
    int z0;
    int z1;
};
TileRange VisibleTiles(float minX, float maxX, float minZ, float maxZ, int width, int height);

// Whether a plane at height a is drawn before one at height b for an eye at
// height eyeY: the one farther from the eye's height comes first, so the
// blended planes are laid back to front.
bool DrawnBefore(float a, float b, float eyeY);
