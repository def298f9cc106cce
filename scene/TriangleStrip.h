#pragma once

#include <windows.h>

#include <vector>

// Appends the triangles of the strip `strip[0..length)`, each index plus
// `offset`, to `list` as a triangle list: triangle i is (i, i + 1, i + 2) when
// i is even and (i, i + 2, i + 1) when it is odd, the vertices in the order the
// strip itself hands them to the rasteriser. Its rounding depends on that
// order, so the list draws the very pixels of the strip, and many strips
// stored one after another draw with one call.
void AppendStripAsList(const WORD* strip, size_t length, int offset, std::vector<WORD>& list);
