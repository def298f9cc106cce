#pragma once

#include <windows.h>

// Whatever owns a texture that terrain quads draw with: the chip manager's
// atlas, a plane's or a billboard's image. A quad asks its owner to bind the
// texture just before it draws.
class COxelD3DTerrainChipTextureManagerBase {
public:
    COxelD3DTerrainChipTextureManagerBase();
    virtual ~COxelD3DTerrainChipTextureManagerBase();

    // Called by a quad right before it draws: bind the own texture to stage 0.
    virtual void SetTexture() = 0;
    // Replaces the texture with the image file at `path`; 0 or E_FAIL.
    virtual int LoadTexture(const char* path) = 0;
    // Frees what LoadTexture made.
    virtual void ReleaseTexture() = 0;

    // The file last loaded by LoadTexture (planes and billboards).
    char m_textureFile[MAX_PATH];
};

// Copies `source` into `buffer` of `size` bytes, cutting it short if need be;
// the result is always zero-terminated.
void CopyPath(char* buffer, size_t size, const char* source);
