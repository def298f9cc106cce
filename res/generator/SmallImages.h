#pragma once

// The program's icon and the sample textures in data/, which the program reads
// by name from its current directory.

#include "Raster.h"

// The icon at size x size pixels: a green hill under a blue sky with the sun, on a rounded square.
Image DrawIcon(int size);
// The glowing grid on the walls of the map's border box and the cursor ("effect.dds").
Image DrawEffect();
// Translucent water for new planes ("planetexture.dds").
Image DrawPlaneWater();
// A broad-leaved tree on a clear background, for billboards ("billboard.dds").
Image DrawTree();
