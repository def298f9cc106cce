#include "scene/COxelD3DCameraBase.h"

#include "app/COxelD3DApplication.h"
#include "scene/COxelD3DCameraObserver.h"
#include "scene/COxelD3DSceneBase.h"
#include "terrain/COxelD3DTerrainBase.h"
#include "terrain/COxelD3DTerrainChipManager.h"

#include <algorithm>
#include <cmath>

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

// The view plane's right and up for a view along `forward` (unit) with `up`:
// the right is level whatever the tilt.
void ViewPlaneAxes(const D3DXVECTOR3& forward, const D3DXVECTOR3& up, D3DXVECTOR3* side, D3DXVECTOR3* above)
{
    D3DXVec3Cross(side, &up, &forward);
    D3DXVec3Normalize(side, side);
    D3DXVec3Cross(above, &forward, side);
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

    const D3DXMATRIX view = ViewMatrix();
    g_device->SetTransform(D3DTS_VIEW, &view);
    const D3DXMATRIX projection = ProjectionMatrix();
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

D3DXVECTOR3 COxelD3DCameraBase::ViewDirection() const
{
    D3DXMATRIX rotation;
    D3DXMatrixRotationYawPitchRoll(&rotation, m_yaw, m_pitch, m_roll);
    const D3DXVECTOR3 direction = m_target - m_position;
    D3DXVECTOR3 turned;
    D3DXVec3TransformCoord(&turned, &direction, &rotation);
    return turned;
}

D3DXMATRIX COxelD3DCameraBase::ViewMatrix() const
{
    const D3DXVECTOR3 lookAt = m_position + ViewDirection();
    D3DXMATRIX view;
    D3DXMatrixLookAtLH(&view, &m_position, &lookAt, &m_up);
    return view;
}

D3DXMATRIX COxelD3DCameraBase::ProjectionMatrix()
{
    D3DXMATRIX projection;
    D3DXMatrixPerspectiveFovLH(&projection, kFieldOfView, kAspect, kNear, kFar);
    return projection;
}

void COxelD3DCameraBase::PixelRay(float x, float y, float width, float height, D3DXVECTOR3* from,
                                  D3DXVECTOR3* to) const
{
    const D3DXMATRIX view = ViewMatrix();
    const D3DXMATRIX projection = ProjectionMatrix();
    D3DXMATRIX both = view * projection;
    D3DXMATRIX inverse;
    D3DXMatrixInverse(&inverse, nullptr, &both);
    const float ndcX = 2.0f * x / width - 1.0f;
    const float ndcY = 1.0f - 2.0f * y / height;
    const D3DXVECTOR3 nearPoint(ndcX, ndcY, 0.0f);
    const D3DXVECTOR3 farPoint(ndcX, ndcY, 1.0f);
    D3DXVec3TransformCoord(from, &nearPoint, &inverse);
    D3DXVec3TransformCoord(to, &farPoint, &inverse);
}

float COxelD3DCameraBase::ViewSpanAt(float distance)
{
    return 2.0f * distance * std::tan(kFieldOfView / 2.0f);
}

void COxelD3DCameraBase::Turn(float right, float up)
{
    const D3DXVECTOR3 direction = ViewDirection();
    const float length = D3DXVec3Length(&direction);
    if (length <= 0.0f) {
        return;
    }
    const float level = std::sqrt(direction.x * direction.x + direction.z * direction.z);
    // Turning right about the vertical raises the angle from +z towards +x:
    // with a left-handed view, the right of a view along +z is +x.
    const float heading = std::atan2(direction.x, direction.z) + right;
    const float steepest = D3DX_PI / 2.0f - kTurnLimit;
    const float elevation = std::max(-steepest, std::min(steepest, std::atan2(direction.y, level) + up));
    // The yaw turns a target straight ahead along -z towards the heading.
    const D3DXVECTOR3 ahead(0.0f, length * std::sin(elevation), -length * std::cos(elevation));
    m_pitch = 0.0f;
    m_roll = 0.0f;
    m_yaw = heading - D3DX_PI;
    SetTarget(m_position.x + ahead.x, m_position.y + ahead.y, m_position.z + ahead.z);
}

void COxelD3DCameraBase::Pan(float right, float up)
{
    D3DXVECTOR3 forward = ViewDirection();
    D3DXVec3Normalize(&forward, &forward);
    D3DXVECTOR3 side;
    D3DXVECTOR3 above;
    ViewPlaneAxes(forward, m_up, &side, &above);
    const D3DXVECTOR3 step = side * right + above * up;
    Move(step.x, step.y, step.z);
}

void COxelD3DCameraBase::Dolly(float distance)
{
    D3DXVECTOR3 forward = ViewDirection();
    D3DXVec3Normalize(&forward, &forward);
    Move(forward.x * distance, forward.y * distance, forward.z * distance);
}

void COxelD3DCameraBase::LookFrom(const D3DXVECTOR3& eye, const D3DXVECTOR3& target)
{
    SetPitch(0.0f, 0);
    SetYaw(0.0f, 0);
    SetRoll(0.0f, 0);
    SetPosition(eye.x, eye.y, eye.z);
    SetTarget(target.x, target.y, target.z);
    SetUp(0.0f, 1.0f, 0.0f);
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

namespace {

// How far in front of the eye, along the view, a framed map may reach at
// most: a little short of the far plane, so its far edge is not cut.
const float kDeepestFraming = 0.96f * kFar;

// The eye distance from `centre` at which every corner of the box from
// `low` to `high` lies inside the view looking along `forward` (straight
// across: the view's right is level), and the depth of its farthest corner
// from that eye.
void FitBox(const D3DXVECTOR3& centre, const D3DXVECTOR3& low, const D3DXVECTOR3& high, const D3DXVECTOR3& forward,
            float* distance, float* deepest)
{
    D3DXVECTOR3 side;
    D3DXVECTOR3 above;
    ViewPlaneAxes(forward, D3DXVECTOR3(0.0f, 1.0f, 0.0f), &side, &above);
    // Half the view's span one unit ahead.
    const float spread = COxelD3DCameraBase::ViewSpanAt(1.0f) / 2.0f;
    float needed = kNear;
    float farthest = -1e30f;
    for (int corner = 0; corner < 8; ++corner) {
        const D3DXVECTOR3 p(corner & 1 ? high.x : low.x, corner & 2 ? high.y : low.y, corner & 4 ? high.z : low.z);
        const D3DXVECTOR3 q = p - centre;
        const float along = D3DXVec3Dot(&q, &forward);
        const float across = std::max(std::fabs(D3DXVec3Dot(&q, &side)), std::fabs(D3DXVec3Dot(&q, &above)));
        needed = std::max(needed, std::max(across / spread, kNear) - along);
        farthest = std::max(farthest, along);
    }
    *distance = needed;
    *deepest = needed + farthest;
}

}  // namespace

Framing FramingView(int width, int height, float lowest, float highest, float reach, D3DXVECTOR2 focus)
{
    const float deepestAllowed = std::min(reach, kDeepestFraming);
    D3DXVECTOR3 centre(width / 2.0f, (lowest + highest) / 2.0f, height / 2.0f);
    float shownWidth = static_cast<float>(width);
    float shownHeight = static_cast<float>(height);
    for (;;) {
        const D3DXVECTOR3 low(centre.x - shownWidth / 2.0f, lowest, centre.z - shownHeight / 2.0f);
        const D3DXVECTOR3 high(centre.x + shownWidth / 2.0f, highest, centre.z + shownHeight / 2.0f);
        // From 55 degrees below the level, looking along -z as the start view
        // does, steeper where the map would reach too deep.
        for (int degrees = 55; degrees <= 80; degrees += 5) {
            const float tilt = D3DXToRadian(static_cast<float>(degrees));
            const D3DXVECTOR3 forward(0.0f, -std::sin(tilt), -std::cos(tilt));
            float distance = 0.0f;
            float deepest = 0.0f;
            FitBox(centre, low, high, forward, &distance, &deepest);
            if (deepest <= deepestAllowed || shownWidth < 1.0f) {
                return Framing{centre - forward * distance, centre};
            }
        }
        // Not the whole map: a part of it around the focus.
        centre.x = focus.x;
        centre.z = focus.y;
        shownWidth *= 0.9f;
        shownHeight *= 0.9f;
    }
}
