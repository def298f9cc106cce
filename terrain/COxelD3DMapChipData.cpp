#include "terrain/COxelD3DMapChipData.h"

#include "terrain/COxelD3DTerrainChipBase.h"

#include <new>

COxelD3DMapChipData::COxelD3DMapChipData()
    : m_pTerrainChip(nullptr), m_height(), m_chipIndex(0), m_rotation(0), m_billboard(-1)
{
}

COxelD3DMapChipData::~COxelD3DMapChipData()
{
    delete m_pTerrainChip;
}

int COxelD3DMapChipData::Create(COxelD3DTerrainChipTextureManagerBase* textureOwner, COxelD3DTerrainChipBatch* batch,
                                int slot)
{
    delete m_pTerrainChip;
    m_pTerrainChip = new (std::nothrow) COxelD3DTerrainChipBase();
    if (!m_pTerrainChip) {
        return E_FAIL;
    }
    return m_pTerrainChip->CreateInBatch(textureOwner, batch, slot);
}
