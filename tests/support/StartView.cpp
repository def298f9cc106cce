#include "support/StartView.h"

#include "scene/COxelD3DCameraBase.h"

void PlaceAtStartView(COxelD3DCameraBase& camera)
{
    camera.SetPosition(16.0f, 16.0f, 16.0f);
    camera.SetTarget(16.0f, 8.0f, 0.0f);
    camera.SetUp(0.0f, 1.0f, 0.0f);
    camera.SetPitch(0.0f, 0);
    camera.SetYaw(0.0f, 0);
    camera.SetRoll(0.0f, 0);
}
