#pragma once

// The mesh of the sky sphere. The sky panorama is painted for the way this mesh
// spreads the image's rows over the sky (the rings above the bottom pole take
// only the top (stacks - 2) / slices of the image), so the resource image
// generator draws its horizon from these same numbers.
const int kSkySlices = 20;  // meridian bands around the vertical axis
const int kSkyStacks = 10;  // vertices on each meridian, pole to pole
const float kSkyRadius = 45.0f;
