#include "terrain/COxelD3DTerrainChipManager.h"

#include "app/COxelD3DApplication.h"
#include "app/ProgramText.h"
#include "app/SafeRelease.h"
#include "io/OpenedMap.h"
#include "scene/COxelD3DCameraBase.h"
#include "terrain/COxelD3DBillboardBase.h"
#include "terrain/COxelD3DMapChipData.h"
#include "terrain/COxelD3DTerrainChipBase.h"
#include "terrain/COxelQuadNode.h"
#include "terrain/MapGridMath.h"
#include "terrain/QuadGeometry.h"

#include <d3dx9.h>

#include <algorithm>
#include <cmath>
#include <iterator>
#include <new>
#include <string>
#include <utility>

namespace {

const char kBillboardImage[] = "billboard.dds";
const double kStartHeight = 2.0;

enum CullState { kKnownInside = 1, kMustTest = 2 };

// Whether every block of the tree down to single cells could be allocated.
bool IsWholeTree(const COxelQuadNode* node)
{
    if (!node) {
        return false;
    }
    if (node->m_width == 1) {
        return true;
    }
    for (const COxelQuadNode* child : node->m_pChild) {
        if (!IsWholeTree(child)) {
            return false;
        }
    }
    return true;
}

}  // namespace

COxelD3DTerrainChipManager::COxelD3DTerrainChipManager()
    : m_cells(nullptr),
      m_pRoot(nullptr),
      m_chipTexture(nullptr),
      m_mapWidth(0),
      m_mapHeight(0),
      m_chipImage(),
      m_chipRows(0),
      m_chipRowRest(0),
      m_chipColumns(0),
      m_chipColumnRest(0),
      m_drawEachCell(0),
      m_cellsDrawn(0),
      m_nodesTested(0),
      m_billboardsDrawn(0)
{
    D3DXMatrixIdentity(&m_cullWorld);
}

COxelD3DTerrainChipManager::~COxelD3DTerrainChipManager()
{
    Release();
    SafeRelease(m_chipTexture);
}

void COxelD3DTerrainChipManager::SetTexture()
{
    g_device->SetTexture(0, m_chipTexture);
}

int COxelD3DTerrainChipManager::LoadTexture(const char* path)
{
    // Everything new is made before anything old is dropped, so a refused image
    // leaves the map drawn and editable with the atlas it had.
    HBITMAP bitmap = nullptr;
    IDirect3DTexture9* texture = nullptr;
    if (!ReadAtlas(path, &bitmap, &texture)) {
        return E_FAIL;
    }
    AdoptAtlas(path, bitmap, texture);
    return 0;
}

bool COxelD3DTerrainChipManager::ReadAtlas(const char* path, HBITMAP* bitmapOut, IDirect3DTexture9** textureOut)
{
    const bool builtIn = path && IsBuiltInAtlas(path);
    const HMODULE module = GetModuleHandleA(nullptr);
    HBITMAP bitmap = nullptr;
    if (path) {
        bitmap = static_cast<HBITMAP>(builtIn ? LoadImageA(module, path, IMAGE_BITMAP, 0, 0, LR_DEFAULTCOLOR)
                                              : LoadImageA(nullptr, path, IMAGE_BITMAP, 0, 0, LR_LOADFROMFILE));
    }
    BITMAP description = {};
    if (bitmap) {
        GetObjectA(bitmap, sizeof description, &description);
    }
    IDirect3DTexture9* texture = nullptr;
    if (!bitmap || description.bmWidth < kChipSize || description.bmHeight < kChipSize || !g_device ||
        FAILED(builtIn ? D3DXCreateTextureFromResourceA(g_device, module, path, &texture)
                       : D3DXCreateTextureFromFileA(g_device, path, &texture))) {
        if (bitmap) {
            DeleteObject(bitmap);
        }
        // Named, since a map may ask for an atlas the user never chose.
        const std::string message = std::string(Text(IDS_FILE_NOT_OPENED)) + "\n" + (path ? path : "");
        MessageBoxA(nullptr, message.c_str(), "Error", MB_OK | MB_TASKMODAL);
        return false;
    }
    *bitmapOut = bitmap;
    *textureOut = texture;
    return true;
}

void COxelD3DTerrainChipManager::AdoptAtlas(const char* path, HBITMAP bitmap, IDirect3DTexture9* texture)
{
    const int hadAtlas = m_chipImage.loaded;
    ReleaseTexture();
    m_chipImage = ChipImageInfo();
    CopyPath(m_chipImage.fileName, sizeof m_chipImage.fileName, path);
    AdoptAtlasBitmap(bitmap);
    SafeRelease(m_chipTexture);
    m_chipTexture = texture;
    if (hadAtlas) {
        UpdateAllCellPictures();
    }
}

void COxelD3DTerrainChipManager::ReleaseTexture()
{
    if (m_chipImage.loaded) {
        DeleteObject(m_chipImage.hBitmap);
        m_chipImage.hBitmap = nullptr;
        m_chipImage.loaded = 0;
    }
}

void COxelD3DTerrainChipManager::AdoptAtlasBitmap(HBITMAP bitmap)
{
    m_chipImage.hBitmap = bitmap;
    GetObjectA(bitmap, sizeof m_chipImage.bitmap, &m_chipImage.bitmap);
    m_chipImage.width = m_chipImage.bitmap.bmWidth;
    m_chipImage.height = m_chipImage.bitmap.bmHeight;
    m_chipImage.loaded = 1;
    const TileCount rows = AtlasTileCount(m_chipImage.height);
    const TileCount columns = AtlasTileCount(m_chipImage.width);
    m_chipRows = rows.tiles;
    m_chipRowRest = rows.rest;
    m_chipColumns = columns.tiles;
    m_chipColumnRest = columns.rest;
}

void COxelD3DTerrainChipManager::OnCameraChanged()
{
    DrawVisibleCells();
}

int COxelD3DTerrainChipManager::Create(int width, int height)
{
    if (m_cells) {
        Release();
    }
    m_mapWidth = width;
    m_mapHeight = height;
    const int cellCount = width * height;
    m_cells = new (std::nothrow) COxelD3DMapChipData[cellCount];
    if (!m_cells) {
        return E_FAIL;
    }

    ReleaseTexture();
    m_chipImage = ChipImageInfo();
    m_chipRows = m_chipRowRest = m_chipColumns = m_chipColumnRest = 0;
    CopyPath(m_chipImage.fileName, sizeof m_chipImage.fileName, kBuiltInAtlasName);
    const HMODULE module = GetModuleHandleA(nullptr);
    HBITMAP bitmap = static_cast<HBITMAP>(LoadImageA(module, kBuiltInAtlasName, IMAGE_BITMAP, 0, 0, LR_DEFAULTCOLOR));
    if (bitmap) {
        AdoptAtlasBitmap(bitmap);
    }
    SafeRelease(m_chipTexture);
    if (FAILED(D3DXCreateTextureFromResourceA(g_device, module, kBuiltInAtlasName, &m_chipTexture))) {
        m_chipTexture = nullptr;
    }

    m_slotCells = QuadTreeLeafOrder(width, height);
    m_cellSlots.assign(m_slotCells.size(), 0);
    for (size_t slot = 0; slot < m_slotCells.size(); ++slot) {
        m_cellSlots[m_slotCells[slot]] = static_cast<int>(slot);
    }
    if (MakeBatches(cellCount) < 0) {
        return E_FAIL;
    }
    for (int cellIndex = 0; cellIndex < cellCount; ++cellIndex) {
        const int slot = m_cellSlots[cellIndex];
        if (m_cells[cellIndex].Create(this, m_batches[slot / kQuadsPerBatch].get(), slot % kQuadsPerBatch) < 0) {
            return E_FAIL;
        }
    }
    // Every vertex at the start height: on flat ground every face and vertex
    // normal is straight up, so writing each quad once gives what setting the
    // heights one by one would, without smoothing a normal per vertex.
    for (int cellIndex = 0; cellIndex < cellCount; ++cellIndex) {
        std::fill(std::begin(m_cells[cellIndex].m_height), std::end(m_cells[cellIndex].m_height), kStartHeight);
    }
    for (int row = 0; row < height; ++row) {
        for (int column = 0; column < width; ++column) {
            UpdateCellGeometry(column, row);
        }
    }
    m_pRoot = new (std::nothrow) COxelQuadNode(this, nullptr, 0, width, height);
    if (!IsWholeTree(m_pRoot)) {
        delete m_pRoot;
        m_pRoot = nullptr;
        return E_FAIL;
    }
    m_cellLeaves.assign(cellCount, nullptr);
    FindLeaves(m_pRoot);
    return 0;
}

int COxelD3DTerrainChipManager::MakeBatches(int quadCount)
{
    m_batches.clear();
    for (int first = 0; first < quadCount; first += kQuadsPerBatch) {
        std::unique_ptr<COxelD3DTerrainChipBatch> batch(new (std::nothrow) COxelD3DTerrainChipBatch());
        if (!batch || batch->Create(std::min(kQuadsPerBatch, quadCount - first)) < 0) {
            return E_FAIL;
        }
        m_batches.push_back(std::move(batch));
    }
    return 0;
}

void COxelD3DTerrainChipManager::FindLeaves(COxelQuadNode* node)
{
    if (node->m_width == 1) {
        m_cellLeaves[node->m_start] = node;
        return;
    }
    for (COxelQuadNode* child : node->m_pChild) {
        FindLeaves(child);
    }
}

void COxelD3DTerrainChipManager::Release()
{
    ReleaseTexture();
    for (COxelD3DTerrainPlane* billboard : m_billboards) {
        delete billboard;
    }
    m_billboards.clear();
    m_billboardCells.clear();
    m_queuedBillboards.clear();
    delete m_pRoot;
    m_pRoot = nullptr;
    m_cellLeaves.clear();
    m_runs.clear();
    // Before the cells, so that no batch holds a quad that is gone.
    m_batches.clear();
    delete[] m_cells;
    m_cells = nullptr;
    m_cellSlots.clear();
    m_slotCells.clear();
}

void COxelD3DTerrainChipManager::OnLostDevice()
{
    for (COxelD3DTerrainPlane* billboard : m_billboards) {
        billboard->OnLostDevice();
    }
    for (int cellIndex = 0; m_cells && cellIndex < m_mapWidth * m_mapHeight; ++cellIndex) {
        if (m_cells[cellIndex].m_pTerrainChip) {
            m_cells[cellIndex].m_pTerrainChip->OnLostDevice();
        }
    }
    for (const auto& batch : m_batches) {
        batch->OnLostDevice();
    }
}

int COxelD3DTerrainChipManager::OnResetDevice()
{
    int result = 0;
    for (const auto& batch : m_batches) {
        if (batch->OnResetDevice() < 0) {
            result = E_FAIL;
        }
    }
    for (int cellIndex = 0; m_cells && cellIndex < m_mapWidth * m_mapHeight; ++cellIndex) {
        if (m_cells[cellIndex].m_pTerrainChip && m_cells[cellIndex].m_pTerrainChip->OnResetDevice() < 0) {
            result = E_FAIL;
        }
    }
    for (COxelD3DTerrainPlane* billboard : m_billboards) {
        if (billboard->OnResetDevice() < 0) {
            result = E_FAIL;
        }
    }
    return result;
}

void COxelD3DTerrainChipManager::Render()
{
    DrawGround();
    DrawBillboards();
}

void COxelD3DTerrainChipManager::DrawGround()
{
    DrawVisibleCells();
    for (COxelD3DMapChipData* cell : m_billboardCells) {
        const COxelD3DTerrainChipBase* quad = cell->m_pTerrainChip;
        const D3DXVECTOR3 centre = (quad->m_vMin + quad->m_vMax) * 0.5f;
        // The billboard sets its own world transform, so the copy's translation
        // is applied to its position here.
        D3DXVECTOR3 position;
        D3DXVec3TransformCoord(&position, &centre, &m_cullWorld);
        m_queuedBillboards.push_back(QueuedBillboard{cell->m_billboard, position});
    }
}

void COxelD3DTerrainChipManager::DrawBillboards()
{
    if (m_queuedBillboards.empty()) {
        return;
    }
    g_device->SetRenderState(D3DRS_LIGHTING, FALSE);
    g_device->SetRenderState(D3DRS_ALPHABLENDENABLE, TRUE);
    g_device->SetRenderState(D3DRS_SRCBLEND, D3DBLEND_SRCALPHA);
    g_device->SetRenderState(D3DRS_DESTBLEND, D3DBLEND_INVSRCALPHA);
    for (const QueuedBillboard& queued : m_queuedBillboards) {
        COxelD3DBillboardBase* billboard = static_cast<COxelD3DBillboardBase*>(FindBillboard(queued.id));
        if (!billboard) {
            continue;
        }
        billboard->SetPosition(queued.position.x, queued.position.y, queued.position.z);
        billboard->Render();
        ++m_billboardsDrawn;
    }
    m_queuedBillboards.clear();
    g_device->SetRenderState(D3DRS_ALPHABLENDENABLE, FALSE);
}

void COxelD3DTerrainChipManager::DrawVisibleCells()
{
    m_billboardCells.clear();
    m_runs.clear();
    m_cellsDrawn = 0;
    m_nodesTested = 0;
    m_billboardsDrawn = 0;
    if (!m_pRoot || !g_camera) {
        return;
    }
    WriteChangedQuads();
    g_device->GetTransform(D3DTS_WORLD, &m_cullWorld);
    Cull(m_pRoot, kMustTest);
    DrawRuns();

    // Far to near from the eye, by each cell's lowest corner where this copy puts
    // it. Each distance is worked out once; the stable sort keeps the drawing
    // order of cells at equal distances.
    const D3DXVECTOR3 eye = g_camera->GetPosition();
    std::vector<std::pair<float, COxelD3DMapChipData*>> byDistance;
    byDistance.reserve(m_billboardCells.size());
    for (COxelD3DMapChipData* cell : m_billboardCells) {
        D3DXVECTOR3 corner;
        D3DXVec3TransformCoord(&corner, &cell->m_pTerrainChip->m_vMin, &m_cullWorld);
        const D3DXVECTOR3 offset = corner - eye;
        byDistance.emplace_back(D3DXVec3Length(&offset), cell);
    }
    std::stable_sort(byDistance.begin(), byDistance.end(),
                     [](const auto& a, const auto& b) { return a.first > b.first; });
    m_billboardCells.clear();
    for (const auto& entry : byDistance) {
        m_billboardCells.push_back(entry.second);
    }
}

void COxelD3DTerrainChipManager::WriteChangedQuads()
{
    for (const auto& batch : m_batches) {
        batch->WriteChanges();
    }
}

void COxelD3DTerrainChipManager::DrawRuns()
{
    if (m_runs.empty()) {
        return;
    }
    SetTexture();
    int bound = -1;
    for (const SlotRun& run : m_runs) {
        // A run that crosses from one batch into the next is drawn in pieces.
        for (int slot = run.first; slot < run.first + run.count;) {
            const int batch = slot / kQuadsPerBatch;
            const int first = slot % kQuadsPerBatch;
            const int count = std::min(run.first + run.count - slot, kQuadsPerBatch - first);
            if (batch != bound) {
                m_batches[batch]->Bind();
                bound = batch;
            }
            m_batches[batch]->Draw(first, count);
            slot += count;
        }
    }
}

void COxelD3DTerrainChipManager::Cull(COxelQuadNode* node, int state)
{
    if (node->m_width == 1) {
        DrawCell(node->m_start);
        return;
    }
    if (state == kKnownInside) {
        DrawBlock(node);
        return;
    }
    // Blocks of 2 x 2 cells cost more to test than to draw.
    if (node->m_width == 2) {
        for (COxelQuadNode* child : node->m_pChild) {
            Cull(child, kKnownInside);
        }
        return;
    }

    ++m_nodesTested;
    node->RefreshHeights();
    D3DXVECTOR3 low;
    D3DXVECTOR3 high;
    D3DXVec3TransformCoord(&low, &node->m_vMin, &m_cullWorld);
    D3DXVec3TransformCoord(&high, &node->m_vMax, &m_cullWorld);
    int outcodes[8];
    for (int k = 0; k < 8; ++k) {
        const D3DXVECTOR3 corner((k & 1) ? high.x : low.x, (k & 2) ? high.y : low.y, (k & 4) ? high.z : low.z);
        outcodes[k] = g_camera->ClassifyPoint(corner);
    }
    switch (ClassifyBoxCorners(outcodes)) {
    case BoxVisibility::Inside:
        DrawBlock(node);
        break;
    case BoxVisibility::Outside:
        break;
    case BoxVisibility::Straddling:
        for (COxelQuadNode* child : node->m_pChild) {
            Cull(child, kMustTest);
        }
        break;
    }
}

void COxelD3DTerrainChipManager::DrawCell(int cellIndex)
{
    if (m_drawEachCell) {
        m_cells[cellIndex].m_pTerrainChip->Render();
    } else {
        AddRun(m_cellSlots[cellIndex], 1);
    }
    ++m_cellsDrawn;
    NoteBillboard(cellIndex);
}

void COxelD3DTerrainChipManager::DrawBlock(const COxelQuadNode* node)
{
    const int first = m_cellSlots[node->m_start];
    const int end = first + node->m_width * node->m_height;
    if (m_drawEachCell) {
        for (int slot = first; slot < end; ++slot) {
            DrawCell(m_slotCells[slot]);
        }
        return;
    }
    AddRun(first, end - first);
    m_cellsDrawn += end - first;
    for (int slot = first; !m_billboards.empty() && slot < end; ++slot) {
        NoteBillboard(m_slotCells[slot]);
    }
}

void COxelD3DTerrainChipManager::AddRun(int first, int count)
{
    // Slots follow the tree's leaves, so the cells of a block extend one run.
    if (!m_runs.empty() && m_runs.back().first + m_runs.back().count == first) {
        m_runs.back().count += count;
    } else {
        m_runs.push_back(SlotRun{first, count});
    }
}

void COxelD3DTerrainChipManager::NoteBillboard(int cellIndex)
{
    COxelD3DMapChipData& cell = m_cells[cellIndex];
    if (!m_billboards.empty() && cell.m_billboard != -1) {
        m_billboardCells.push_back(&cell);
    }
}

double COxelD3DTerrainChipManager::GetHeight(int column, int row)
{
    const int c = WrapIndex(column, m_mapWidth);
    const int r = WrapIndex(row, m_mapHeight);
    return m_cells[r * m_mapWidth + c].m_height[0];
}

void COxelD3DTerrainChipManager::SetHeight(int column, int row, double height)
{
    if (StoreHeight(column, row, height)) {
        UpdateAround(column, row);
    }
}

bool COxelD3DTerrainChipManager::StoreHeight(int column, int row, double value)
{
    double height = 0.0;
    if (!TakeGridHeight(value, &height)) {
        return false;
    }
    const int c = WrapIndex(column, m_mapWidth);
    const int r = WrapIndex(row, m_mapHeight);
    const int left = WrapIndex(c - 1, m_mapWidth);
    const int up = WrapIndex(r - 1, m_mapHeight);
    // The vertex is stored once in each of the four cells that share it.
    m_cells[r * m_mapWidth + c].m_height[0] = height;
    m_cells[r * m_mapWidth + left].m_height[2] = height;
    m_cells[up * m_mapWidth + c].m_height[1] = height;
    m_cells[up * m_mapWidth + left].m_height[3] = height;
    return true;
}

void COxelD3DTerrainChipManager::GetCornerHeights(int cellIndex, double* h0, double* h1, double* h2, double* h3)
{
    const double* heights = m_cells[cellIndex].m_height;
    *h0 = heights[0];
    *h1 = heights[1];
    *h2 = heights[2];
    *h3 = heights[3];
}

int COxelD3DTerrainChipManager::GetMapChip(int column, int row)
{
    return GetMapChip(WrappedCellIndex(column, row));
}

int COxelD3DTerrainChipManager::GetMapChip(int cellIndex)
{
    return m_cells[cellIndex].m_chipIndex;
}

void COxelD3DTerrainChipManager::SetMapChip(int column, int row, int chip)
{
    SetMapChip(WrappedCellIndex(column, row), chip);
}

void COxelD3DTerrainChipManager::SetMapChip(int cellIndex, int chip)
{
    StoreMapChip(cellIndex, chip);
    UpdateCellPicture(cellIndex);
}

void COxelD3DTerrainChipManager::StoreMapChip(int cellIndex, int chip)
{
    m_cells[cellIndex].m_chipIndex = chip;
    m_cells[cellIndex].m_rotation = 0;
}

int COxelD3DTerrainChipManager::GetMapChipRotation(int column, int row)
{
    return GetMapChipRotation(WrappedCellIndex(column, row));
}

int COxelD3DTerrainChipManager::GetMapChipRotation(int cellIndex)
{
    return m_cells[cellIndex].m_rotation;
}

void COxelD3DTerrainChipManager::SetMapChipRotation(int column, int row, int rotation)
{
    SetMapChipRotation(WrappedCellIndex(column, row), rotation);
}

void COxelD3DTerrainChipManager::SetMapChipRotation(int cellIndex, int rotation)
{
    StoreMapChipRotation(cellIndex, rotation);
    UpdateCellPicture(cellIndex);
}

void COxelD3DTerrainChipManager::StoreMapChipRotation(int cellIndex, int rotation)
{
    int& stored = m_cells[cellIndex].m_rotation;
    stored = rotation == -1 ? (stored + 1) % 4 : rotation;
}

int COxelD3DTerrainChipManager::WrappedCellIndex(int column, int row) const
{
    return WrapIndex(row, m_mapHeight) * m_mapWidth + WrapIndex(column, m_mapWidth);
}

COxelD3DTerrainChipBase* COxelD3DTerrainChipManager::GetTerrainChip(int cellIndex)
{
    return m_cells[cellIndex].m_pTerrainChip;
}

void COxelD3DTerrainChipManager::UpdateAllCells()
{
    if (!m_cells) {
        return;
    }
    for (int row = m_mapHeight - 1; row >= 0; --row) {
        for (int column = m_mapWidth - 1; column >= 0; --column) {
            UpdateCellGeometry(column, row);
        }
    }
    // The rewrite straightened every vertex normal; smooth them again so a new
    // atlas does not change the lighting of the map.
    for (int row = 0; row < m_mapHeight; ++row) {
        for (int column = 0; column < m_mapWidth; ++column) {
            UpdateVertexNormal(column, row);
        }
    }
}

void COxelD3DTerrainChipManager::UpdateCellPicture(int cellIndex)
{
    const COxelD3DMapChipData& cell = m_cells[cellIndex];
    if (!cell.m_pTerrainChip) {
        return;
    }
    double uRight;
    double uLeft;
    double vTop;
    double vBottom;
    GetMapChipTexCoords(cellIndex % m_mapWidth, cellIndex / m_mapWidth, &uRight, &uLeft, &vTop, &vBottom);
    cell.m_pTerrainChip->SetTexCoords(static_cast<float>(uRight), static_cast<float>(vTop), static_cast<float>(uLeft),
                                      static_cast<float>(vBottom), cell.m_rotation);
}

void COxelD3DTerrainChipManager::UpdateAllCellPictures()
{
    if (!m_cells) {
        return;
    }
    for (int index = 0; index < m_mapWidth * m_mapHeight; ++index) {
        UpdateCellPicture(index);
    }
}

void COxelD3DTerrainChipManager::UpdateCellGeometry(int column, int row)
{
    const COxelD3DMapChipData& cell = m_cells[row * m_mapWidth + column];
    // Only a map whose Create failed has cells without a quad.
    if (!cell.m_pTerrainChip) {
        return;
    }
    const float x0 = static_cast<float>(column);
    const float x1 = static_cast<float>(column + 1);
    const float z0 = static_cast<float>(row);
    const float z1 = static_cast<float>(row + 1);
    double uRight;
    double uLeft;
    double vTop;
    double vBottom;
    GetMapChipTexCoords(column, row, &uRight, &uLeft, &vTop, &vBottom);
    if (!m_cellLeaves.empty()) {
        m_cellLeaves[row * m_mapWidth + column]->MarkHeightsStale();
    }
    cell.m_pTerrainChip->SetGeometry(
        D3DXVECTOR3(x0, static_cast<float>(cell.m_height[0]), z0),
        D3DXVECTOR3(x0, static_cast<float>(cell.m_height[1]), z1),
        D3DXVECTOR3(x1, static_cast<float>(cell.m_height[2]), z0),
        D3DXVECTOR3(x1, static_cast<float>(cell.m_height[3]), z1), D3DXVECTOR3(0.0f, 1.0f, 0.0f),
        static_cast<float>(uRight), static_cast<float>(vTop), static_cast<float>(uLeft), static_cast<float>(vBottom),
        cell.m_rotation);
}

void COxelD3DTerrainChipManager::GetMapChipTexCoords(int column, int row, double* uRight, double* uLeft,
                                                     double* vTop, double* vBottom)
{
    const ChipTexRect rect = MapChipTexRect(m_cells[row * m_mapWidth + column].m_chipIndex, m_chipColumns,
                                            m_chipImage.width, m_chipImage.height);
    *uRight = rect.uRight;
    *uLeft = rect.uLeft;
    *vTop = rect.vTop;
    *vBottom = rect.vBottom;
}

void COxelD3DTerrainChipManager::UpdateVertexNormal(int column, int row)
{
    const int c = WrapIndex(column, m_mapWidth);
    const int r = WrapIndex(row, m_mapHeight);
    const int left = WrapIndex(c - 1, m_mapWidth);
    const int up = WrapIndex(r - 1, m_mapHeight);
    COxelD3DTerrainChipBase* a = GetTerrainChip(r * m_mapWidth + c);
    COxelD3DTerrainChipBase* b = GetTerrainChip(r * m_mapWidth + left);
    COxelD3DTerrainChipBase* cQuad = GetTerrainChip(up * m_mapWidth + c);
    COxelD3DTerrainChipBase* d = GetTerrainChip(up * m_mapWidth + left);
    if (!a || !b || !cQuad || !d) {
        return;
    }
    const D3DXVECTOR3 normal = SmoothedVertexNormal(a->m_vFaceNormal1, b->m_vFaceNormal1, b->m_vFaceNormal2,
                                                    cQuad->m_vFaceNormal1, cQuad->m_vFaceNormal2, d->m_vFaceNormal2);
    a->SetNormal(0, normal);
    cQuad->SetNormal(1, normal);
    b->SetNormal(2, normal);
    d->SetNormal(3, normal);
}

void COxelD3DTerrainChipManager::UpdateAround(int column, int row)
{
    const int c = WrapIndex(column, m_mapWidth);
    const int r = WrapIndex(row, m_mapHeight);
    const int left = WrapIndex(c - 1, m_mapWidth);
    const int right = WrapIndex(c + 1, m_mapWidth);
    const int up = WrapIndex(r - 1, m_mapHeight);
    const int down = WrapIndex(r + 1, m_mapHeight);
    // Quads first: rewriting them resets the vertex normals that the smoothing
    // below then overwrites.
    UpdateCellGeometry(c, r);
    UpdateCellGeometry(left, up);
    UpdateCellGeometry(c, up);
    UpdateCellGeometry(left, r);
    const int vertices[9][2] = {
        {c, r}, {c, up}, {c, down}, {left, r}, {left, up}, {left, down}, {right, r}, {right, up}, {right, down},
    };
    for (const auto& vertex : vertices) {
        UpdateVertexNormal(vertex[0], vertex[1]);
    }
}

void COxelD3DTerrainChipManager::AddBillboard()
{
    const int id = static_cast<int>(m_billboards.size());
    COxelD3DBillboardBase* billboard = new (std::nothrow) COxelD3DBillboardBase(id);
    if (!billboard || !billboard->m_pTerrainChip) {
        delete billboard;
        return;
    }
    m_billboards.push_back(billboard);
    const QuadExtent extent = BillboardExtent();
    billboard->Setup(extent.width, extent.depth, 1.0f, 1);
    billboard->ReleaseTexture();
    billboard->LoadTexture(kBillboardImage);
    billboard->SetRepeat(0);
    billboard->m_visible = 1;
    // The newest billboard stands on the whole map.
    for (int cellIndex = m_mapWidth * m_mapHeight - 1; m_cells && cellIndex >= 0; --cellIndex) {
        m_cells[cellIndex].m_billboard = id;
    }
}

void COxelD3DTerrainChipManager::DeleteBillboard(int index)
{
    std::stable_sort(m_billboards.begin(), m_billboards.end(),
                     [](const COxelD3DTerrainPlane* a, const COxelD3DTerrainPlane* b) { return a->m_id < b->m_id; });
    if (index < 0 || index >= static_cast<int>(m_billboards.size())) {
        return;
    }
    delete m_billboards[index];
    m_billboards.erase(m_billboards.begin() + index);
    for (int position = index; position < static_cast<int>(m_billboards.size()); ++position) {
        m_billboards[position]->m_id = position;
    }
}

COxelD3DTerrainPlane* COxelD3DTerrainChipManager::FindBillboard(int id)
{
    for (auto it = m_billboards.rbegin(); it != m_billboards.rend(); ++it) {
        if ((*it)->m_id == id) {
            return *it;
        }
    }
    return nullptr;
}
