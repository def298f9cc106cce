#include "editor/MapStep.h"

#include <algorithm>

MapArea MapArea::Joined(const MapArea& other) const
{
    return MapArea{std::min(left, other.left), std::min(top, other.top), std::max(right, other.right),
                   std::max(bottom, other.bottom)};
}

MapStep::~MapStep()
{
}

bool MapStep::MergeWith(const MapStep&)
{
    return false;
}
