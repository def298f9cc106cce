#pragma once

#include "editor/MapStep.h"

#include <d3d9.h>

#include <cstddef>
#include <vector>

class COxelD3DTerrainEditor;
class COxelD3DTerrainPlane;

// The map's two lists of textured quads: the scene's planes and the chip
// manager's billboards. In both, ids run 0 .. count - 1 without gaps.
enum class PlaneKind { kScenePlane, kBillboard };

// The list itself; null when the map has no such list (a test without a scene).
std::vector<COxelD3DTerrainPlane*>* PlaneList(const EditedMap& map, PlaneKind kind);
// The plane or billboard with this id, or null.
COxelD3DTerrainPlane* FindListedPlane(const EditedMap& map, PlaneKind kind, int id);

// Takes the one with this id out of its list, the ids after it moving down by
// one, and hands it to the caller without its device buffer; null when no such id.
COxelD3DTerrainPlane* TakeListedPlane(const EditedMap& map, PlaneKind kind, int id);
// Puts one back under `id`, the ids from `id` on moving up by one, and gives
// it its device buffer again.
void PutListedPlane(const EditedMap& map, PlaneKind kind, COxelD3DTerrainPlane* plane, int id);

// Roughly what a texture holds in memory, its smaller levels included.
std::size_t TextureBytes(IDirect3DTexture9* texture);
// What a plane or billboard holds: itself, its quad and its image.
std::size_t PlaneBytes(const COxelD3DTerrainPlane* plane);

// Adds a new plane or billboard to the edited map as one step, as the add
// buttons do. A map holds no more of either than a map file keeps: one more is
// refused with a message. False when nothing was added.
bool AddListedPlane(COxelD3DTerrainEditor& editor, PlaneKind kind);
