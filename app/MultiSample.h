#pragma once

#include <d3d9.h>

#include <functional>

// The multisample type closest to `wanted` that `isSupported` accepts, looking
// at 2 to 16 samples (the nearer count first, the smaller one on a tie), or
// D3DMULTISAMPLE_NONE when none is. Drivers differ in the counts they offer,
// and a device asked for an unsupported count is refused outright.
D3DMULTISAMPLE_TYPE NearestMultiSampleType(D3DMULTISAMPLE_TYPE wanted,
                                           const std::function<bool(D3DMULTISAMPLE_TYPE)>& isSupported);
