#include "terrain/COxelD3DTerrainChipTextureManagerBase.h"

#include <cstring>

COxelD3DTerrainChipTextureManagerBase::COxelD3DTerrainChipTextureManagerBase() : m_textureFile()
{
}

COxelD3DTerrainChipTextureManagerBase::~COxelD3DTerrainChipTextureManagerBase()
{
}

void CopyPath(char* buffer, size_t size, const char* source)
{
    if (size == 0) {
        return;
    }
    size_t length = 0;
    if (source) {
        while (length + 1 < size && source[length] != '\0') {
            ++length;
        }
        memcpy(buffer, source, length);
    }
    buffer[length] = '\0';
}
