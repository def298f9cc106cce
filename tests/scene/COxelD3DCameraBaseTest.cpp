#include "scene/COxelD3DCameraBase.h"

#include "scene/COxelD3DCameraObserver.h"
#include "scene/SceneTestSupport.h"
#include "support/StartView.h"
#include "support/TestDevice.h"
#include "terrain/COxelD3DTerrainBase.h"
#include "terrain/COxelD3DTerrainChipManager.h"

#include <gtest/gtest.h>

#include <cmath>

namespace {

struct CountingObserver : COxelD3DCameraObserver {
    void OnCameraChanged() override { ++calls; }
    int calls = 0;
};

// The point `distance` units from the eye along the unturned viewing direction.
D3DXVECTOR3 Ahead(const COxelD3DCameraBase& camera, float distance)
{
    D3DXVECTOR3 direction = camera.m_target - camera.m_position;
    D3DXVec3Normalize(&direction, &direction);
    return camera.m_position + direction * distance;
}

}  // namespace

TEST(WrapToMapPeriod, WrapsIntoOnePeriodOnA256thGrid)
{
    struct Row {
        float v;
        int period;
        float expected;
    };
    const Row rows[] = {
        {31.75f + 0.5f, 32, 0.25f},  // across x = W
        {0.25f - 0.5f, 32, 31.75f},  // back across x = 0
        {5.3f, 32, 5.296875f},       // quantised down to 1/256
        {32.0f, 32, 0.0f},
        {0.0f, 32, 0.0f},
        {-0.001f, 32, 0.0f},  // the fraction is dropped toward zero before wrapping
        {16.5f, 16, 0.5f},
        {63.99609375f, 64, 63.99609375f},
        {0.5f + 1.0f / 512, 1, 0.5f},
        {-40.0f, 32, 24.0f},  // more than a period below zero still lands inside
        {100.0f, 32, 4.0f},
    };
    for (const Row& row : rows) {
        EXPECT_FLOAT_EQ(row.expected, WrapToMapPeriod(row.v, row.period)) << row.v << " in " << row.period;
    }
}

TEST(COxelD3DCameraBase, StartsAtZeroAndBecomesTheCurrentCameraOnlyWhenThereIsNone)
{
    ASSERT_EQ(nullptr, g_camera);
    {
        COxelD3DCameraBase first;
        EXPECT_EQ(&first, g_camera);
        EXPECT_EQ(D3DXVECTOR3(0, 0, 0), first.m_position);
        EXPECT_EQ(D3DXVECTOR3(0, 0, 0), first.m_target);
        EXPECT_EQ(D3DXVECTOR3(0, 0, 0), first.m_up);
        EXPECT_EQ(0.0f, first.m_pitch);
        EXPECT_EQ(0.0f, first.m_yaw);
        EXPECT_EQ(0.0f, first.m_roll);
        {
            COxelD3DCameraBase second;
            EXPECT_EQ(&first, g_camera);
        }
        // Destroying a camera that is not current leaves the current one.
        EXPECT_EQ(&first, g_camera);
    }
    EXPECT_EQ(nullptr, g_camera);
}

TEST(COxelD3DCameraBase, AnglesAreSetOrAdded)
{
    COxelD3DCameraBase camera;
    camera.SetPitch(0.01f, 1);
    camera.SetPitch(0.01f, 1);
    EXPECT_FLOAT_EQ(0.02f, camera.m_pitch);
    camera.SetPitch(0.0f, 0);
    EXPECT_EQ(0.0f, camera.m_pitch);

    camera.SetYaw(1.5f, 0);
    camera.SetYaw(-0.5f, 1);
    EXPECT_FLOAT_EQ(1.0f, camera.m_yaw);
    camera.SetRoll(0.25f, 1);
    camera.SetRoll(0.75f, 0);
    EXPECT_FLOAT_EQ(0.75f, camera.m_roll);
}

TEST(COxelD3DCameraBase, MoveWithoutAMapTranslatesEyeAndTargetTogether)
{
    COxelD3DCameraBase camera;
    PlaceAtStartView(camera);
    camera.Move(0.0f, 0.5f, 0.0f);
    EXPECT_EQ(D3DXVECTOR3(16, 16.5f, 16), camera.m_position);
    EXPECT_EQ(D3DXVECTOR3(16, 8.5f, 0), camera.m_target);
    // Nothing to wrap around: the target may leave [0, 32).
    camera.Move(-20.0f, 0.0f, -0.5f);
    EXPECT_EQ(D3DXVECTOR3(-4, 16.5f, 15.5f), camera.m_position);
    EXPECT_EQ(D3DXVECTOR3(-4, 8.5f, -0.5f), camera.m_target);
}

TEST(COxelD3DCameraBase, TellsItsObserversAboutTargetUpAndMovesButNotPosition)
{
    COxelD3DCameraBase camera;
    CountingObserver observer;
    CountingObserver other;
    camera.AddObserver(&observer);
    camera.AddObserver(&observer);  // registered once
    camera.AddObserver(&other);
    camera.AddObserver(nullptr);
    ASSERT_EQ(2u, camera.m_observers.size());

    camera.SetPosition(1, 2, 3);
    EXPECT_EQ(0, observer.calls);
    camera.SetTarget(0, 0, 0);
    camera.SetUp(0, 1, 0);
    camera.Move(1, 0, 0);
    camera.SetPitch(1, 0);
    EXPECT_EQ(3, observer.calls);
    EXPECT_EQ(3, other.calls);

    camera.RemoveObserver(&observer);
    camera.Move(1, 0, 0);
    EXPECT_EQ(3, observer.calls);
    EXPECT_EQ(4, other.calls);
}

TEST(COxelD3DCameraBase, ObserverMayRemoveItselfWhileBeingTold)
{
    struct Leaving : COxelD3DCameraObserver {
        void OnCameraChanged() override
        {
            ++calls;
            camera->RemoveObserver(this);
        }
        COxelD3DCameraBase* camera = nullptr;
        int calls = 0;
    };
    COxelD3DCameraBase camera;
    Leaving leaving;
    leaving.camera = &camera;
    CountingObserver staying;
    camera.AddObserver(&leaving);
    camera.AddObserver(&staying);
    camera.Move(0, 1, 0);
    camera.Move(0, 1, 0);
    EXPECT_EQ(1, leaving.calls);
    EXPECT_EQ(2, staying.calls);
}

TEST(COxelD3DCameraBase, ApplyDerivesTheStartFrustum)
{
    TestDevice device;
    ASSERT_TRUE(device.ok());
    COxelD3DCameraBase camera;
    PlaceAtStartView(camera);
    camera.Apply();
    EXPECT_EQ(&camera, g_camera);

    EXPECT_NEAR(-4.7f, camera.m_frustumMin.x, 0.05f);
    EXPECT_NEAR(36.7f, camera.m_frustumMax.x, 0.05f);
    EXPECT_NEAR(-38.0f, camera.m_frustumMin.z, 0.05f);
    EXPECT_NEAR(15.3f, camera.m_frustumMax.z, 0.05f);

    // The inverse view rotation turns the view's forward axis into the viewing direction.
    D3DXVECTOR3 forward(0, 0, 1);
    D3DXVECTOR3 turned;
    D3DXVec3TransformCoord(&turned, &forward, &camera.m_viewRotationInverse);
    const D3DXVECTOR3 expected = Ahead(camera, 1.0f) - camera.m_position;
    EXPECT_NEAR(expected.x, turned.x, 1e-5f);
    EXPECT_NEAR(expected.y, turned.y, 1e-5f);
    EXPECT_NEAR(expected.z, turned.z, 1e-5f);
    EXPECT_FLOAT_EQ(1.0f, camera.m_viewRotationInverse._44);
    EXPECT_EQ(0.0f, camera.m_viewRotationInverse._41);
}

TEST(COxelD3DCameraBase, ClassifiesPointsAheadBehindAndBeyondTheFarPlane)
{
    TestDevice device;
    ASSERT_TRUE(device.ok());
    COxelD3DCameraBase camera;
    PlaceAtStartView(camera);
    camera.Apply();

    EXPECT_EQ(0, camera.ClassifyPoint(Ahead(camera, 1.5f)));
    EXPECT_EQ(0, camera.ClassifyPoint(Ahead(camera, 25.0f)));
    EXPECT_EQ(0, camera.ClassifyPoint(Ahead(camera, 49.5f)));
    EXPECT_EQ(1 << 4, camera.ClassifyPoint(Ahead(camera, 0.5f)) & (1 << 4));
    EXPECT_EQ(1 << 4, camera.ClassifyPoint(Ahead(camera, -5.0f)) & (1 << 4));
    EXPECT_EQ(1 << 5, camera.ClassifyPoint(Ahead(camera, 60.0f)));

    // Off to the sides: far to the eye's right is outside the right plane only
    // (the camera looks along -z, so its right is -x).
    const D3DXVECTOR3 side = Ahead(camera, 10.0f);
    EXPECT_EQ(1 << 3, camera.ClassifyPoint(side + D3DXVECTOR3(-20, 0, 0)));
    EXPECT_EQ(1 << 2, camera.ClassifyPoint(side + D3DXVECTOR3(20, 0, 0)));
    EXPECT_EQ(1 << 0, camera.ClassifyPoint(D3DXVECTOR3(16, -20, 0)));
    EXPECT_EQ(1 << 1, camera.ClassifyPoint(D3DXVECTOR3(16, 30, 0)));
}

TEST(COxelD3DCameraBase, AnglesTurnTheViewAboutTheEye)
{
    TestDevice device;
    ASSERT_TRUE(device.ok());
    COxelD3DCameraBase camera;
    PlaceAtStartView(camera);
    const D3DXVECTOR3 ahead = Ahead(camera, 10.0f);
    camera.SetYaw(D3DX_PI, 0);
    camera.Apply();
    // Half a turn: what was ahead is now behind the eye.
    EXPECT_NE(0, camera.ClassifyPoint(ahead) & (1 << 4));
    EXPECT_EQ(0, camera.ClassifyPoint(D3DXVECTOR3(16, 11, 24)));
}

TEST(COxelD3DCameraBase, MoveWrapsTheTargetAroundTheScenesMapAndKeepsTheEyesOffset)
{
    TestDevice device;
    ASSERT_TRUE(device.ok());
    COxelD3DSceneBase scene;
    ASSERT_EQ(0, scene.Create());
    SceneInApplication application(&scene);
    COxelD3DCameraBase& camera = *scene.m_camera;

    camera.SetPosition(34.0f, 16.0f, 16.0f);
    camera.SetTarget(31.75f, 8.0f, 0.25f);
    camera.Move(0.5f, 0.0f, 0.0f);
    EXPECT_EQ(D3DXVECTOR3(0.25f, 8.0f, 0.25f), camera.m_target);
    // The eye keeps its offset and may lie outside the map.
    EXPECT_EQ(D3DXVECTOR3(2.5f, 16.0f, 16.0f), camera.m_position);

    camera.Move(-0.5f, 0.0f, -0.5f);
    EXPECT_EQ(D3DXVECTOR3(31.75f, 8.0f, 31.75f), camera.m_target);
    EXPECT_EQ(D3DXVECTOR3(34.0f, 16.0f, 47.5f), camera.m_position);

    // Height is never wrapped.
    for (int step = 0; step < 100; ++step) {
        camera.Move(0.0f, 0.5f, 0.0f);
    }
    EXPECT_EQ(58.0f, camera.m_target.y);

    camera.SetTarget(5.3f, 8.0f, 3.0f);
    camera.Move(0.0f, 0.0f, 0.0f);
    EXPECT_EQ(5.296875f, camera.m_target.x);

    // The period is the map's, whatever its size now.
    scene.m_terrain->m_pChipManager->Release();
    ASSERT_EQ(0, scene.m_terrain->m_pChipManager->Create(16, 16));
    camera.SetTarget(20.0f, 8.0f, 15.75f);
    camera.Move(0.0f, 0.0f, 0.5f);
    EXPECT_EQ(D3DXVECTOR3(4.0f, 8.0f, 0.25f), camera.m_target);
}

namespace {

float Heading(const D3DXVECTOR3& direction)
{
    return std::atan2(direction.x, direction.z);
}

float Elevation(const D3DXVECTOR3& direction)
{
    return std::atan2(direction.y, std::sqrt(direction.x * direction.x + direction.z * direction.z));
}

// Where point p shows in the view, from -1 to 1 across and up, and how deep.
D3DXVECTOR3 OnScreen(const COxelD3DCameraBase& camera, const D3DXVECTOR3& p)
{
    D3DXVECTOR3 inView;
    const D3DXMATRIX view = camera.ViewMatrix();
    D3DXVec3TransformCoord(&inView, &p, &view);
    D3DXVECTOR3 projected;
    const D3DXMATRIX both = view * COxelD3DCameraBase::ProjectionMatrix();
    D3DXVec3TransformCoord(&projected, &p, &both);
    return D3DXVECTOR3(projected.x, projected.y, inView.z);
}

}  // namespace

// The mouse turns the view about the eye: right about the vertical, up and
// down short of straight up or down; after it the keypad turns and tilts the
// view as before.
TEST(COxelD3DCameraBase, TurnLooksRightAndUpAboutTheEyeAndStopsShortOfStraightUpOrDown)
{
    COxelD3DCameraBase camera;
    PlaceAtStartView(camera);
    const D3DXVECTOR3 eye = camera.m_position;
    const D3DXVECTOR3 start = camera.ViewDirection();
    // What lies right of the middle comes to the middle.
    const D3DXVECTOR3 rightOfMiddle = eye + start + D3DXVECTOR3(-3.0f, 0.0f, 0.0f);
    ASSERT_GT(OnScreen(camera, rightOfMiddle).x, 0.1f);
    camera.Turn(std::atan2(3.0f, 16.0f), 0.0f);
    EXPECT_NEAR(0.0f, OnScreen(camera, rightOfMiddle).x, 0.02f);
    EXPECT_EQ(eye, camera.m_position);
    const D3DXVECTOR3 toTarget = camera.m_target - camera.m_position;
    EXPECT_NEAR(D3DXVec3Length(&start), D3DXVec3Length(&toTarget), 1e-4f) << "the target keeps its distance";
    EXPECT_NEAR(Elevation(start), Elevation(camera.ViewDirection()), 1e-5f);

    const float steepest = D3DX_PI / 2.0f - COxelD3DCameraBase::kTurnLimit;
    const struct {
        float up;
        float elevation;
    } tilts[] = {{0.2f, Elevation(start) + 0.2f}, {10.0f, steepest}, {-0.3f, steepest - 0.3f}, {-10.0f, -steepest}};
    for (const auto& tilt : tilts) {
        const float heading = Heading(camera.ViewDirection());
        camera.Turn(0.0f, tilt.up);
        EXPECT_NEAR(tilt.elevation, Elevation(camera.ViewDirection()), 1e-4f) << tilt.up;
        EXPECT_NEAR(heading, Heading(camera.ViewDirection()), 1e-4f) << tilt.up;
    }

    camera.Turn(0.0f, 0.5f - Elevation(camera.ViewDirection()));
    const float heading = Heading(camera.ViewDirection());
    camera.SetPitch(0.01f, 1);
    EXPECT_NEAR(heading, Heading(camera.ViewDirection()), 1e-4f) << "the keypad tilts without turning";
    camera.SetYaw(0.01f, 1);
    EXPECT_NEAR(0.51f, Elevation(camera.ViewDirection()), 1e-4f) << "and turns without tilting";
}

// "F": the whole map in view from above at an angle, no deeper than the
// reach; a map too large for it shows around the focus, as large as it may.
TEST(FramingView, ShowsTheWholeMapWithinReachOrAsMuchAsFitsAroundTheFocus)
{
    const struct {
        int size;
        float lowest;
        float highest;
        float reach;
        bool whole;
    } cases[] = {
        {16, 2.0f, 2.0f, 26.0f, true},  {16, 0.0f, 16.0f, 48.0f, true}, {32, 2.0f, 2.0f, 48.0f, true},
        {32, 2.0f, 2.0f, 26.0f, false}, {128, 0.0f, 9.0f, 26.0f, false}, {512, 2.0f, 2.0f, 100.0f, false},
    };
    const D3DXVECTOR2 focus(20.0f, 9.0f);
    for (const auto& c : cases) {
        const Framing framing = FramingView(c.size, c.size, c.lowest, c.highest, c.reach, focus);
        COxelD3DCameraBase camera;
        camera.LookFrom(framing.eye, framing.target);
        const D3DXVECTOR3 direction = camera.ViewDirection();
        EXPECT_LE(Elevation(direction), -D3DXToRadian(54.0f)) << c.size << " from above";
        EXPECT_GE(Elevation(direction), -D3DXToRadian(81.0f)) << c.size << " at an angle";
        const D3DXVECTOR3 middle = OnScreen(camera, framing.target);
        EXPECT_NEAR(0.0f, middle.x, 1e-4f) << c.size;
        if (!c.whole) {
            EXPECT_EQ(focus.x, framing.target.x) << c.size;
            EXPECT_EQ(focus.y, framing.target.z) << c.size;
        }
        // The map's corners (or the part shown) lie in view and within reach;
        // the widest of them touches the edge of the view.
        float widest = 0.0f;
        for (int corner = 0; corner < 8; ++corner) {
            const float half = c.whole ? c.size / 2.0f : 0.0f;
            const D3DXVECTOR3 p(framing.target.x + (corner & 1 ? half : -half), corner & 2 ? c.highest : c.lowest,
                                framing.target.z + (corner & 4 ? half : -half));
            const D3DXVECTOR3 shown = OnScreen(camera, p);
            EXPECT_LE(std::fabs(shown.x), 1.0001f) << c.size << " corner " << corner;
            EXPECT_LE(std::fabs(shown.y), 1.0001f) << c.size << " corner " << corner;
            EXPECT_LE(shown.z, std::min(c.reach, 48.0f) + 1e-3f) << c.size << " corner " << corner;
            widest = std::max(widest, std::max(std::fabs(shown.x), std::fabs(shown.y)));
        }
        if (c.whole) {
            EXPECT_GT(widest, 0.999f) << c.size << " fills the view";
        }
    }
}
