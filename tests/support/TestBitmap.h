#pragma once

#include <cstdint>
#include <functional>
#include <string>

// Writes a 24-bit BMP of width x height pixels, whose pixel (x, y) (from the
// top) has the colour 0xRRGGBB that `colour` gives, to `name` in the temporary
// folder; returns its full path.
std::string WriteTestBitmap(const std::string& name, int width, int height,
                            const std::function<uint32_t(int x, int y)>& colour);
