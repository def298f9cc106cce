#include "scene/TriangleStrip.h"

void AppendStripAsList(const WORD* strip, size_t length, int offset, std::vector<WORD>& list)
{
    const auto at = [&](size_t j) { return static_cast<WORD>(strip[j] + offset); };
    for (size_t i = 0; i + 2 < length; ++i) {
        const bool odd = i % 2 != 0;
        list.push_back(at(i));
        list.push_back(at(odd ? i + 2 : i + 1));
        list.push_back(at(odd ? i + 1 : i + 2));
    }
}
