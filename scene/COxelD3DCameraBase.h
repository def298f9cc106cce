#pragma once

#include <d3d9.h>
#include <d3dx9.h>

#include <vector>

class COxelD3DCameraObserver;

// The one free camera of the preview. It holds its target inside one map period,
// so the preview can repeat the map endlessly around it.
class COxelD3DCameraBase {
public:
    COxelD3DCameraBase();
    virtual ~COxelD3DCameraBase();

    // Sets the device's view and projection and recomputes the frustum planes,
    // the frustum box and the inverse view rotation. Makes this the current camera.
    virtual void Apply();

    void SetPosition(float x, float y, float z);
    D3DXVECTOR3 GetPosition() const;
    void SetTarget(float x, float y, float z);
    void SetUp(float x, float y, float z);
    // relative != 0 adds the angle, otherwise it replaces it.
    void SetPitch(float angle, int relative);
    void SetYaw(float angle, int relative);
    void SetRoll(float angle, int relative);
    // Moves eye and target together; the target wraps into the map's period.
    void Move(float dx, float dy, float dz);
    // Outside code of p: bit k set means outside plane k (at most one bit of
    // each opposite pair). 0 means inside.
    int ClassifyPoint(const D3DXVECTOR3& p) const;

    // Where the eye looks: target - eye turned by the three angles.
    D3DXVECTOR3 ViewDirection() const;
    // The view and projection Apply sets, from the camera as it is now, so
    // that the mouse reads the view before the next frame applies it.
    D3DXMATRIX ViewMatrix() const;
    static D3DXMATRIX ProjectionMatrix();
    // The part of the ray through point (x, y) of a width x height picture of
    // the view that lies between the near and the far plane. The picture is
    // the whole view whatever its shape, as the preview stretches it.
    void PixelRay(float x, float y, float width, float height, D3DXVECTOR3* from, D3DXVECTOR3* to) const;
    // How many units the view spans from bottom to top (and, square as it
    // is, from left to right) `distance` units ahead of the eye.
    static float ViewSpanAt(float distance);

    // The mouse's camera. Turn looks `right` radians to the right about the
    // vertical and `up` radians up, never closer than kTurnLimit to straight
    // up or down, where the up vector would no longer tell the view's right.
    // The view is kept as the keys keep it: the target ahead of the eye at its
    // distance, without pitch or roll, and the yaw turning it, so the keypad
    // still turns and tilts it as before.
    void Turn(float right, float up);
    // Moves eye and target `right` units to the view's right and `up` units
    // along its up, as Move does.
    void Pan(float right, float up);
    // Moves eye and target `distance` units along the view, as Move does.
    void Dolly(float distance);
    // Looks from `eye` at `target` with the angles at 0 and up straight up.
    void LookFrom(const D3DXVECTOR3& eye, const D3DXVECTOR3& target);
    static constexpr float kTurnLimit = 0.087f;

    // Observers are not owned; they remove themselves before they die.
    void AddObserver(COxelD3DCameraObserver* observer);
    void RemoveObserver(COxelD3DCameraObserver* observer);

    D3DXVECTOR3 m_position;
    D3DXVECTOR3 m_target;
    D3DXVECTOR3 m_up;
    float m_pitch;
    float m_yaw;
    float m_roll;
    std::vector<COxelD3DCameraObserver*> m_observers;
    D3DXMATRIX m_viewRotationInverse;
    // Bottom, top, left, right, near, far; the positive side is outside.
    D3DXPLANE m_frustumPlanes[6];
    D3DXVECTOR3 m_frustumMin;
    D3DXVECTOR3 m_frustumMax;

private:
    void NotifyObservers();
};

// The current camera: set by the first camera made and by every Apply, cleared
// when that camera is destroyed.
extern COxelD3DCameraBase* g_camera;

// v wrapped into [0, period) on a 1/256 grid (the fraction below 1/256 is
// dropped toward zero). period must be at least 1.
float WrapToMapPeriod(float v, int period);

// The frustum of a view and projection seen through a viewport: six normalised
// planes (bottom, top, left, right, near, far; positive side outside) and the
// axis-aligned box around its eight corners.
void ComputeFrustum(const D3DVIEWPORT9& viewport, const D3DXMATRIX& projection, const D3DXMATRIX& view,
                    D3DXPLANE planes[6], D3DXVECTOR3& boxMin, D3DXVECTOR3& boxMax);

// The outside code of p against six planes in the order above.
int FrustumOutcode(const D3DXPLANE planes[6], const D3DXVECTOR3& p);

// Where the camera looks from to show the whole of a map of width x height
// cells whose heights lie from `lowest` to `highest`: from above at an angle,
// looking at the map's middle, the map as large as the view takes it, and no
// part of it deeper along the view than `reach` (nor than the far plane). A
// map too large for that shows as much as does around `focus` (x and z).
struct Framing {
    D3DXVECTOR3 eye;
    D3DXVECTOR3 target;
};
Framing FramingView(int width, int height, float lowest, float highest, float reach, D3DXVECTOR2 focus);
