#pragma once

#include <vector>

// A sound PNG of width x height black pixels, 8-bit grey, compressed as
// runs of zeros: a few megabytes that declare as many pixels as one likes and
// decode to exactly that, as a hostile or merely huge picture from outside does.
std::vector<unsigned char> BlackPng(unsigned width, unsigned height);
