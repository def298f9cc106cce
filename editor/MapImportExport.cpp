#include "editor/MapImportExport.h"

#include "editor/COxelD3DTerrainEditor.h"
#include "editor/COxelMapDataFile.h"
#include "editor/FileDialog.h"
#include "editor/WaitCursor.h"
#include "io/GltfExport.h"
#include "io/Heightmap.h"
#include "io/MapFileDisk.h"
#include "io/MapFileFormat.h"
#include "io/MapPicture.h"
#include "scene/COxelD3DSceneBase.h"
#include "terrain/COxelD3DTerrainChipManager.h"
#include "terrain/COxelD3DTerrainPlane.h"

#include <d3dx9tex.h>

#include <cstdio>
#include <string>
#include <vector>

namespace {

const char kImportTitle[] = "ハイトマップの読み込み";
const char kExportHeightmapTitle[] = "ハイトマップの書き出し";
const char kExportGltfTitle[] = "glTF 形式で書き出し";
const char kExportPictureTitle[] = "マップ画像の書き出し";

// Task-modal, as every message of the program: no window takes a command while it shows.
void ReportError(const std::string& message)
{
    MessageBoxA(nullptr, message.c_str(), "Error", MB_OK | MB_TASKMODAL);
}

static_assert(kMaxImageFileBytes >> 20 == 528, "the message below names the picture file limit");
static_assert(kMaxImagePixels == 8192ll * 8192, "the message below names the pixel limit");

const char* ReadFailure(MapFileError error)
{
    switch (error) {
        case MapFileError::TooLarge:
            return "画像ファイルが大きすぎる（528 MB を超えている）ため、ハイトマップを読み込めませんでした。";
        case MapFileError::CannotRead:
            return "画像ファイルを読み込めないため、ハイトマップを読み込めませんでした。";
        default:
            return "画像ファイルを開けないため、ハイトマップを読み込めませんでした。\n"
                   "ファイルが存在し、他のプログラムで使用中でないことを確認してください。";
    }
}

const char* DecodeFailure(ImageError error)
{
    switch (error) {
        case ImageError::UnsupportedFormat:
            return "対応していない形式のファイルのため、ハイトマップを読み込めませんでした。\n"
                   "PNG または BMP の画像を選んでください。";
        case ImageError::UnsupportedPixelFormat:
            return "画像の画素の形式（符号付きや浮動小数点の値など）に対応していないため、"
                   "ハイトマップを読み込めませんでした。\n"
                   "8 ビットか 16 ビットの画像、または 32 ビット浮動小数点のグレースケール TIFF を選んでください。";
        case ImageError::TooLarge:
            return "画像の画素数が多すぎる（8192 × 8192 画素を超えている）ため、ハイトマップを読み込めませんでした。";
        case ImageError::CodecUnavailable:
            return "画像を読み込む機能（Windows Imaging Component）を使えないため、ハイトマップを読み込めませんでした。";
        default:
            return "画像ファイルが壊れているため、ハイトマップを読み込めませんでした。";
    }
}

// `what` names the thing written, e.g. "ハイトマップ".
std::string NotMadeMessage(const char* what)
{
    return std::string(what) + "を作れなかったため、書き出せませんでした。";
}

std::string NotWrittenMessage(const char* what)
{
    return std::string(what) + "を書き出せませんでした。\n"
                               "保存先に書き込めないか、ファイルが他のプログラムで使用中です。\n"
                               "元のファイルは変更されていません。";
}

bool ChoosePath(HWND owner, const FileType& type, const char* title, bool exporting, const char* path,
                char (&chosen)[MAX_PATH])
{
    if (path) {
        CopyPath(chosen, MAX_PATH, path);
        return true;
    }
    return exporting ? AskForFileToExport(owner, type, title, chosen) : AskForFileToOpen(owner, type, title, chosen);
}

// Writes through a temporary file, so a failed write keeps the old file.
bool WriteExport(const char* path, const std::vector<unsigned char>& bytes, const char* what)
{
    if (bytes.empty()) {
        ReportError(NotMadeMessage(what));
        return false;
    }
    if (!WriteFileSafely(path, bytes.data(), bytes.size())) {
        ReportError(NotWrittenMessage(what));
        return false;
    }
    return true;
}

// The atlas's GDI bitmap as top-down BGRA pixels, opaque.
bool ReadAtlasPixels(const ChipImageInfo& atlas, BgraImage* image)
{
    if (!atlas.loaded || !atlas.hBitmap || atlas.width <= 0 || atlas.height <= 0) {
        return false;
    }
    BITMAPINFO info = {};
    info.bmiHeader.biSize = sizeof info.bmiHeader;
    info.bmiHeader.biWidth = atlas.width;
    info.bmiHeader.biHeight = -atlas.height;
    info.bmiHeader.biPlanes = 1;
    info.bmiHeader.biBitCount = 32;
    info.bmiHeader.biCompression = BI_RGB;
    std::vector<unsigned char> pixels(static_cast<size_t>(atlas.width) * atlas.height * 4);
    HDC screen = GetDC(nullptr);
    const int rows = GetDIBits(screen, atlas.hBitmap, 0, atlas.height, pixels.data(), &info, DIB_RGB_COLORS);
    ReleaseDC(nullptr, screen);
    if (rows != atlas.height) {
        return false;
    }
    for (size_t i = 3; i < pixels.size(); i += 4) {
        pixels[i] = 255;
    }
    image->width = atlas.width;
    image->height = atlas.height;
    image->pixels = std::move(pixels);
    return true;
}

// A plane's texture as a PNG, through D3DX, which reads whatever format the
// plane's image was loaded in (DDS compressed or not). Empty without a texture.
std::vector<unsigned char> PlaneTexturePng(IDirect3DTexture9* texture)
{
    std::vector<unsigned char> png;
    ID3DXBuffer* buffer = nullptr;
    if (texture && SUCCEEDED(D3DXSaveTextureToFileInMemory(&buffer, D3DXIFF_PNG, texture, nullptr))) {
        const unsigned char* data = static_cast<const unsigned char*>(buffer->GetBufferPointer());
        png.assign(data, data + buffer->GetBufferSize());
    }
    if (buffer) {
        buffer->Release();
    }
    return png;
}

// Reads and decodes the picture; false, having said why, when it cannot be taken.
bool ReadHeightPicture(const char* path, LuminanceImage* image)
{
    WaitCursor wait;
    std::vector<unsigned char> bytes;
    const MapFileError readError = ReadFileBytes(path, kMaxImageFileBytes, &bytes);
    if (readError != MapFileError::None) {
        ReportError(ReadFailure(readError));
        return false;
    }
    const ImageError decodeError = DecodeLuminance(bytes.data(), bytes.size(), image);
    if (decodeError != ImageError::None) {
        ReportError(DecodeFailure(decodeError));
        return false;
    }
    return true;
}

// Whether the user wants a picture that WorthStretching picked out stretched
// over the whole height range; "いいえ" keeps the documented mapping.
bool AskToStretch(const LuminanceRange& range)
{
    char shown[256];
    if (range.lowest < 0.0f || range.highest > 1.0f) {
        std::snprintf(shown, sizeof shown,
                      "この画像の値は %g ～ %g で、0 ～ 1 の範囲を超えた部分は、そのままでは高さ 0 と 16 で"
                      "切り取られます。",
                      range.lowest, range.highest);
    } else {
        std::snprintf(shown, sizeof shown,
                      "この画像は値の範囲の一部しか使っていないため、そのままでは高さ %.2f ～ %.2f の"
                      "起伏になります。",
                      range.lowest * kHeightmapTop, range.highest * kHeightmapTop);
    }
    const std::string question = std::string(shown) +
                                 "\n\n最も低い値を高さ 0、最も高い値を高さ 16 に引き伸ばしますか？\n"
                                 "「いいえ」を選ぶと、値のとおりに読み込みます。";
    return MessageBoxA(nullptr, question.c_str(), kImportTitle, MB_YESNO | MB_ICONQUESTION | MB_TASKMODAL) == IDYES;
}

// A plane's or billboard's extent and image for the glTF file; a missing one gives an untextured quad.
GltfPlaneImage QuadImage(const COxelD3DTerrainPlane* quad)
{
    GltfPlaneImage image;
    if (quad) {
        image.width = quad->m_width;
        image.depth = quad->m_depth;
        image.png = PlaneTexturePng(quad->m_pTexture);
    }
    return image;
}

bool GatherMap(COxelD3DTerrainEditor* editor, MapFileContents* map)
{
    return editor && editor->m_mapFile && editor->m_mapFile->Gather(map);
}

}  // namespace

bool ImportHeightmap(COxelD3DTerrainEditor* editor, HWND owner, const char* path)
{
    char chosen[MAX_PATH];
    if (!editor || !editor->HasMap() || !ChoosePath(owner, kHeightmapImageFileType, kImportTitle, false, path, chosen)) {
        return false;
    }
    // Everything is read and checked before the map changes.
    LuminanceImage image;
    if (!ReadHeightPicture(chosen, &image)) {
        return false;
    }
    const LuminanceRange range = ValueRange(image);
    if (WorthStretching(range) && AskToStretch(range)) {
        StretchLevels(range, &image);
    }
    WaitCursor wait;
    return editor->ReplaceHeights(HeightsFromLuminance(image, editor->m_mapWidth, editor->m_mapHeight));
}

bool ExportHeightmap(COxelD3DTerrainEditor* editor, HWND owner, const char* path)
{
    char chosen[MAX_PATH];
    if (!editor || !editor->HasMap() || !ChoosePath(owner, kPngFileType, kExportHeightmapTitle, true, path, chosen)) {
        return false;
    }
    WaitCursor wait;
    const int width = editor->m_mapWidth;
    const int height = editor->m_mapHeight;
    std::vector<double> heights(static_cast<size_t>(width) * height);
    for (int row = 0; row < height; ++row) {
        for (int column = 0; column < width; ++column) {
            heights[static_cast<size_t>(row) * width + column] = editor->m_terrain->GetHeight(column, row);
        }
    }
    std::vector<unsigned char> png;
    EncodeHeightmap(heights, width, height, &png);
    return WriteExport(chosen, png, "ハイトマップ");
}

bool ExportGltf(COxelD3DTerrainEditor* editor, HWND owner, const char* path)
{
    char chosen[MAX_PATH];
    if (!editor || !editor->HasMap() || !ChoosePath(owner, kGlbFileType, kExportGltfTitle, true, path, chosen)) {
        return false;
    }
    WaitCursor wait;
    MapFileContents map;
    BgraImage atlasPixels;
    GltfAtlas atlas;
    COxelD3DTerrainChipManager* terrain = editor->m_terrain;
    if (!GatherMap(editor, &map) || !ReadAtlasPixels(terrain->m_chipImage, &atlasPixels) ||
        EncodeBgraPng(atlasPixels, &atlas.png) != ImageError::None) {
        ReportError(NotMadeMessage("glTF ファイル"));
        return false;
    }
    atlas.width = terrain->m_chipImage.width;
    atlas.height = terrain->m_chipImage.height;
    // Only the visible planes are written; the hidden ones need no picture.
    std::vector<GltfPlaneImage> planeImages(map.planes.size());
    if (COxelD3DSceneBase* scene = COxelD3DTerrainEditor::Scene()) {
        for (size_t id = 0; id < map.planes.size(); ++id) {
            if (map.planes[id].visible) {
                planeImages[id] = QuadImage(scene->FindPlane(static_cast<int>(id)));
            }
        }
    }
    std::vector<GltfPlaneImage> billboardImages(map.billboards.size());
    for (size_t id = 0; id < map.billboards.size(); ++id) {
        billboardImages[id] = QuadImage(terrain->FindBillboard(static_cast<int>(id)));
    }
    return WriteExport(chosen, EncodeTerrainGlb(map, atlas, planeImages, billboardImages), "glTF ファイル");
}

bool ExportMapPicture(COxelD3DTerrainEditor* editor, HWND owner, const char* path)
{
    char chosen[MAX_PATH];
    if (!editor || !editor->HasMap() || !ChoosePath(owner, kPngFileType, kExportPictureTitle, true, path, chosen)) {
        return false;
    }
    WaitCursor wait;
    MapFileContents map;
    BgraImage atlas;
    const COxelD3DTerrainChipManager* terrain = editor->m_terrain;
    std::vector<unsigned char> png;
    if (!GatherMap(editor, &map) || !ReadAtlasPixels(terrain->m_chipImage, &atlas)) {
        ReportError(NotMadeMessage("マップ画像"));
        return false;
    }
    const AtlasLayout layout = {terrain->m_chipColumns, terrain->m_chipRows, terrain->m_chipRowRest};
    EncodeMapPicture(map, atlas, layout, &png);
    return WriteExport(chosen, png, "マップ画像");
}
