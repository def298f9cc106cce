#include "app/MultiSample.h"


D3DMULTISAMPLE_TYPE NearestMultiSampleType(D3DMULTISAMPLE_TYPE wanted,
                                           const std::function<bool(D3DMULTISAMPLE_TYPE)>& isSupported)
{
    const int first = D3DMULTISAMPLE_2_SAMPLES;
    const int last = D3DMULTISAMPLE_16_SAMPLES;
    if (wanted < first || wanted > last) {
        return D3DMULTISAMPLE_NONE;
    }
    for (int distance = 0; distance <= last - first; ++distance) {
        const int candidates[2] = {wanted - distance, wanted + distance};
        for (int count : candidates) {
            if (count >= first && count <= last && isSupported(static_cast<D3DMULTISAMPLE_TYPE>(count))) {
                return static_cast<D3DMULTISAMPLE_TYPE>(count);
            }
        }
    }
    return D3DMULTISAMPLE_NONE;
}
