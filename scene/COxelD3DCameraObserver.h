#pragma once

// Something that keeps state derived from the camera (the terrain's culling)
// and must hear when the camera moves or turns.
class COxelD3DCameraObserver {
public:
    virtual ~COxelD3DCameraObserver() {}

    // Called after the camera's target, up vector or position changed through
    // SetTarget, SetUp or Move.
    virtual void OnCameraChanged() = 0;
};
