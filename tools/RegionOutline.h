#pragma once

#include "tools/COxelTool.h"

#include <windows.h>

class COxelMapView;
class COxelRegionEditing;

// Draws the selection and the stamp of `regions` over the squares of `view`,
// each a frame round the squares it covers: cells, or in a view of vertices
// the cells' corners. A region across the map's edges shows as the pieces
// the view shows of it, framed each; one as wide (high) as the map spans the
// whole view that way. The device context's clipping leaves out what needs
// no paint.
void DrawRegionOutlines(HDC hdc, const COxelMapView& view, MapPoint::Kind kind, const COxelRegionEditing& regions);
