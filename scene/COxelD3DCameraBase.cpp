#include "scene/COxelD3DCameraBase.h"

#include "app/COxelD3DApplication.h"
#include "scene/COxelD3DCameraObserver.h"
#include "scene/COxelD3DSceneBase.h"
#include "terrain/COxelD3DTerrainBase.h"
#include "terrain/COxelD3DTerrainChipManager.h"

#include <algorithm>

COxelD3DCameraBase* g_camera = nullptr;

namespace {

const float kFieldOfView = D3DX_PI / 4.0f;
const float kAspect = 1.0f;
const float kNear = 1.0f;
const float kFar = 50.0f;
const int kWrapSteps = 256;

// The size in cells of the map the camera wraps around: the map of the
// application's scene. False while there is none (during start-up, or for a
// camera used on its own); the camera then moves without wrapping, as it does
// while the map has no cells.
bool SceneMapSize(int& width, int& height)
{
    const COxelD3DSceneBase* scene = g_application ? g_application->m_scene : nullptr;
    if (!scene || !scene->m_terrain || !scene->m_terrain->m_pChipManager) {
        return false;
    }
    width = scene->m_terrain->m_pChipManager->m_mapWidth;
    height = scene->m_terrain->m_pChipManager->m_mapHeight;
    return true;
}

}  // namespace

float WrapToMapPeriod(float v, int period)
{
    const int steps = kWrapSteps * period;
    // A proper modulo, so a step longer than a whole period still lands inside it.
    int wrapped = static_cast<int>(kWrapSteps * v) % steps;
    if (wrapped < 0) {
        wrapped += steps;
    }
    return static_cast<float>(wrapped) / kWrapSteps;
}

void ComputeFrustum(const D3DVIEWPORT9& viewport, const D3DXMATRIX& projection, const D3DXMATRIX& view,
                    D3DXPLANE planes[6], D3DXVECTOR3& boxMin, D3DXVECTOR3& boxMax)
{
    const float left = static_cast<float>(viewport.X);
    const float top = static_cast<float>(viewport.Y);
    const float right = left + static_cast<float>(viewport.Width);
    const float bottom = top + static_cast<float>(viewport.Height);
    // Near corners first, then far: top-left, top-right, bottom-left, bottom-right.
    const D3DXVECTOR3 screen[8] = {
        {left, top, viewport.MinZ},  {right, top, viewport.MinZ},  {left, bottom, viewport.MinZ},
        {right, bottom, viewport.MinZ}, {left, top, viewport.MaxZ},  {right, top, viewport.MaxZ},
        {left, bottom, viewport.MaxZ},  {right, bottom, viewport.MaxZ},
    };
    D3DXMATRIX world;
    D3DXMatrixIdentity(&world);
    D3DXVECTOR3 p[8];
    for (int i = 0; i < 8; ++i) {
        D3DXVec3Unproject(&p[i], &screen[i], &viewport, &projection, &view, &world);
    }
    boxMin = p[0];
    boxMax = p[0];
    for (int i = 1; i < 8; ++i) {
        D3DXVec3Minimize(&boxMin, &boxMin, &p[i]);
        D3DXVec3Maximize(&boxMax, &boxMax, &p[i]);
    }
    // This winding makes every normal point out of the frustum.
    const int corners[6][3] = {
        {6, 2, 3}, {4, 1, 0}, {4, 0, 2}, {5, 3, 1}, {2, 0, 3}, {7, 4, 6},
    };
    for (int k = 0; k < 6; ++k) {
        D3DXPlaneFromPoints(&planes[k], &p[corners[k][0]], &p[corners[k][1]], &p[corners[k][2]]);
        D3DXPlaneNormalize(&planes[k], &planes[k]);
    }
}

int FrustumOutcode(const D3DXPLANE planes[6], const D3DXVECTOR3& p)
{
    int code = 0;
    for (int pair = 0; pair < 3; ++pair) {
        const D3DXPLANE& first = planes[2 * pair];
        const D3DXPLANE& second = planes[2 * pair + 1];
        if (first.a * p.x + first.b * p.y + first.c * p.z + first.d > 0.0f) {
            code |= 1 << (2 * pair);
        } else if (second.a * p.x + second.b * p.y + second.c * p.z + second.d > 0.0f) {
            code |= 1 << (2 * pair + 1);
        }
    }
    return code;
}

COxelD3DCameraBase::COxelD3DCameraBase()
    : m_position(0.0f, 0.0f, 0.0f),
      m_target(0.0f, 0.0f, 0.0f),
      m_up(0.0f, 0.0f, 0.0f),
      m_pitch(0.0f),
      m_yaw(0.0f),
      m_roll(0.0f),
      m_frustumMin(0.0f, 0.0f, 0.0f),
      m_frustumMax(0.0f, 0.0f, 0.0f)
{
    D3DXMatrixIdentity(&m_viewRotationInverse);
    for (D3DXPLANE& plane : m_frustumPlanes) {
        plane = D3DXPLANE(0.0f, 0.0f, 0.0f, 0.0f);
    }
    if (!g_camera) {
        g_camera = this;
    }
}

COxelD3DCameraBase::~COxelD3DCameraBase()
{
    if (g_camera == this) {
        g_camera = nullptr;
    }
}

void COxelD3DCameraBase::Apply()
{
    g_camera = this;

    D3DXMATRIX rotation;
    D3DXMatrixRotationYawPitchRoll(&rotation, m_yaw, m_pitch, m_roll);
    const D3DXVECTOR3 direction = m_target - m_position;
    D3DXVECTOR3 turned;
    D3DXVec3TransformCoord(&turned, &direction, &rotation);
    const D3DXVECTOR3 lookAt = m_position + turned;

    D3DXMATRIX view;
    D3DXMatrixLookAtLH(&view, &m_position, &lookAt, &m_up);
    g_device->SetTransform(D3DTS_VIEW, &view);
    D3DXMATRIX projection;
    D3DXMatrixPerspectiveFovLH(&projection, kFieldOfView, kAspect, kNear, kFar);
    g_device->SetTransform(D3DTS_PROJECTION, &projection);

    // Billboards turn with this to face the eye.
    D3DXMATRIX rotationOnly;
    g_device->GetTransform(D3DTS_VIEW, &rotationOnly);
    rotationOnly._41 = 0.0f;
    rotationOnly._42 = 0.0f;
    rotationOnly._43 = 0.0f;
    rotationOnly._44 = 1.0f;
    D3DXMatrixInverse(&m_viewRotationInverse, nullptr, &rotationOnly);

    D3DVIEWPORT9 viewport;
    g_device->GetViewport(&viewport);
    ComputeFrustum(viewport, projection, view, m_frustumPlanes, m_frustumMin, m_frustumMax);
}

void COxelD3DCameraBase::SetPosition(float x, float y, float z)
{
    m_position = D3DXVECTOR3(x, y, z);
}

D3DXVECTOR3 COxelD3DCameraBase::GetPosition() const
{
    return m_position;
}

void COxelD3DCameraBase::SetTarget(float x, float y, float z)
{
    m_target = D3DXVECTOR3(x, y, z);
    NotifyObservers();
}

void COxelD3DCameraBase::SetUp(float x, float y, float z)
{
    m_up = D3DXVECTOR3(x, y, z);
    NotifyObservers();
}

void COxelD3DCameraBase::SetPitch(float angle, int relative)
{
    m_pitch = relative ? m_pitch + angle : angle;
}

void COxelD3DCameraBase::SetYaw(float angle, int relative)
{
    m_yaw = relative ? m_yaw + angle : angle;
}

void COxelD3DCameraBase::SetRoll(float angle, int relative)
{
    m_roll = relative ? m_roll + angle : angle;
}

void COxelD3DCameraBase::Move(float dx, float dy, float dz)
{
    const D3DXVECTOR3 offset = m_position - m_target;
    m_target += D3DXVECTOR3(dx, dy, dz);
    int width = 0;
    int height = 0;
    if (SceneMapSize(width, height) && width > 0 && height > 0) {
        m_target.x = WrapToMapPeriod(m_target.x, width);
        m_target.z = WrapToMapPeriod(m_target.z, height);
    }
    m_position = m_target + offset;
    NotifyObservers();
}

int COxelD3DCameraBase::ClassifyPoint(const D3DXVECTOR3& p) const
{
    return FrustumOutcode(m_frustumPlanes, p);
}

void COxelD3DCameraBase::AddObserver(COxelD3DCameraObserver* observer)
{
    if (observer && std::find(m_observers.begin(), m_observers.end(), observer) == m_observers.end()) {
        m_observers.push_back(observer);
    }
}

void COxelD3DCameraBase::RemoveObserver(COxelD3DCameraObserver* observer)
{
    m_observers.erase(std::remove(m_observers.begin(), m_observers.end(), observer), m_observers.end());
}

// Walks a copy, so an observer may remove itself (or another) while being told;
// one removed meanwhile is no longer called.
void COxelD3DCameraBase::NotifyObservers()
{
    const std::vector<COxelD3DCameraObserver*> observers = m_observers;
    for (COxelD3DCameraObserver* observer : observers) {
        if (std::find(m_observers.begin(), m_observers.end(), observer) != m_observers.end()) {
            observer->OnCameraChanged();
        }
    }
}
