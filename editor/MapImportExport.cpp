#include "editor/MapImportExport.h"

#include "app/ProgramImages.h"
#include "app/ProgramText.h"
#include "editor/BitmapInfo.h"
#include "editor/COxelD3DTerrainEditor.h"
#include "editor/COxelMapDataFile.h"
#include "editor/FileDialog.h"
#include "editor/ProgressWindow.h"
#include "editor/WaitCursor.h"
#include "io/AnsiPath.h"
#include "io/DdsImage.h"
#include "io/GltfExport.h"
#include "io/Heightmap.h"
#include "io/MapFileDisk.h"
#include "io/MapFileFormat.h"
#include "io/MapPicture.h"
#include "io/MapPictureWriter.h"
#include "io/OpenedMap.h"
#include "scene/COxelD3DSceneBase.h"
#include "terrain/COxelD3DTerrainChipManager.h"
#include "terrain/COxelD3DTerrainPlane.h"
#include "terrain/MapGridMath.h"

#include <d3dx9tex.h>

#include <atomic>
#include <cstdio>
#include <cstring>
#include <string>
#include <thread>
#include <utility>
#include <vector>

namespace {

// A step of the map picture's export: rows of it are written until about this
// long has passed, then the windows' messages are handled.
const DWORD kPictureStepMs = 20;
const int kPictureRowsAtOnce = 4;

// Task-modal, as every message of the program: no window takes a command while it shows.
void ShowError(const char*, const std::string& message)
{
    MessageBoxA(nullptr, message.c_str(), "Error", MB_OK | MB_TASKMODAL);
}

static_assert(kMaxImageFileBytes >> 20 == 528, "IDS_PICTURE_FILE_TOO_LARGE names the picture file limit");
static_assert(kMaxImagePixels == 8192ll * 8192, "IDS_PICTURE_TOO_MANY_PIXELS names the pixel limit");

const char* ReadFailure(MapFileError error)
{
    switch (error) {
        case MapFileError::TooLarge:
            return Text(IDS_PICTURE_FILE_TOO_LARGE);
        case MapFileError::CannotRead:
            return Text(IDS_PICTURE_CANNOT_READ);
        default:
            return Text(IDS_PICTURE_CANNOT_OPEN);
    }
}

const char* DecodeFailure(ImageError error)
{
    switch (error) {
        case ImageError::UnsupportedFormat:
            return Text(IDS_PICTURE_UNSUPPORTED_FORMAT);
        case ImageError::UnsupportedPixelFormat:
            return Text(IDS_PICTURE_UNSUPPORTED_PIXELS);
        case ImageError::TooLarge:
            return Text(IDS_PICTURE_TOO_MANY_PIXELS);
        case ImageError::CodecUnavailable:
            return Text(IDS_PICTURE_NO_CODEC);
        default:
            return Text(IDS_PICTURE_DAMAGED);
    }
}

// `what` names the thing written, e.g. IDS_HEIGHTMAP.
std::string NotMadeMessage(UINT what)
{
    return FormatText(IDS_EXPORT_NOT_MADE, Text(what));
}

std::string NotWrittenMessage(UINT what)
{
    return FormatText(IDS_EXPORT_NOT_WRITTEN, Text(what));
}

bool ChoosePath(HWND owner, const FileType& type, const char* title, bool exporting, const char* path,
                char (&chosen)[MAX_PATH])
{
    if (path) {
        CopyPath(chosen, MAX_PATH, path);
        return true;
    }
    return exporting ? AskForFileToSave(owner, type, title, chosen) : AskForFileToOpen(owner, type, title, chosen);
}

// Writes through a temporary file, so a failed write keeps the old file.
bool WriteExport(const char* path, const std::vector<unsigned char>& bytes, UINT what, FailureReport report)
{
    if (bytes.empty()) {
        report(path, NotMadeMessage(what));
        return false;
    }
    if (!WriteFileSafely(path, bytes.data(), bytes.size())) {
        report(path, NotWrittenMessage(what));
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
    BITMAPINFO info = TopDownBgra32(atlas.width, atlas.height);
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

bool GatherMap(COxelD3DTerrainEditor* editor, MapFileContents* map)
{
    return editor && editor->m_mapFile && editor->m_mapFile->Gather(map);
}

// Reads and decodes the picture; false, having said why, when it cannot be taken.
bool ReadHeightPicture(const char* path, LuminanceImage* image, FailureReport report)
{
    WaitCursor wait;
    std::vector<unsigned char> bytes;
    const MapFileError readError = ReadFileBytes(path, kMaxImageFileBytes, &bytes);
    if (readError != MapFileError::None) {
        report(path, ReadFailure(readError));
        return false;
    }
    const ImageError decodeError = DecodeLuminance(bytes.data(), bytes.size(), image);
    if (decodeError != ImageError::None) {
        report(path, DecodeFailure(decodeError));
        return false;
    }
    return true;
}

// Whether the user wants a picture that WorthStretching picked out stretched
// over the whole height range; "いいえ" keeps the documented mapping.
bool AskToStretch(const LuminanceRange& range)
{
    std::string question;
    if (range.lowest < 0.0f || range.highest > 1.0f) {
        question = FormatText(IDS_STRETCH_BEYOND_RANGE, range.lowest, range.highest);
    } else {
        question = FormatText(IDS_STRETCH_PART_OF_RANGE, range.lowest * kHeightmapTop, range.highest * kHeightmapTop);
    }
    question += Text(IDS_STRETCH_QUESTION);
    return MessageBoxA(nullptr, question.c_str(), Text(IDS_IMPORT_HEIGHTMAP_TITLE),
                       MB_YESNO | MB_ICONQUESTION | MB_TASKMODAL) == IDYES;
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

bool WriteHeightmap(const std::vector<double>& heights, int width, int height, const char* path,
                    FailureReport report)
{
    std::vector<unsigned char> png;
    EncodeHeightmap(heights, width, height, &png);
    return WriteExport(path, png, IDS_HEIGHTMAP, report);
}

bool WriteGltf(const MapFileContents& map, const ChipImageInfo& atlasImage,
               const std::vector<GltfPlaneImage>& planeImages, const std::vector<GltfPlaneImage>& billboardImages,
               const char* path, FailureReport report)
{
    BgraImage atlasPixels;
    GltfAtlas atlas;
    if (!ReadAtlasPixels(atlasImage, &atlasPixels) || EncodeBgraPng(atlasPixels, &atlas.png) != ImageError::None) {
        report(path, NotMadeMessage(IDS_GLTF_FILE));
        return false;
    }
    atlas.width = atlasImage.width;
    atlas.height = atlasImage.height;
    return WriteExport(path, EncodeTerrainGlb(map, atlas, planeImages, billboardImages), IDS_GLTF_FILE, report);
}

bool WriteMapPicture(const MapFileContents& map, const ChipImageInfo& atlasImage, const AtlasLayout& layout,
                     const char* path, FailureReport report)
{
    BgraImage atlas;
    if (!ReadAtlasPixels(atlasImage, &atlas)) {
        report(path, NotMadeMessage(IDS_MAP_PICTURE));
        return false;
    }
    std::vector<unsigned char> png;
    EncodeMapPicture(map, atlas, layout, &png);
    return WriteExport(path, png, IDS_MAP_PICTURE, report);
}

void ReleaseAtlas(ChipImageInfo* atlas)
{
    if (atlas->hBitmap) {
        DeleteObject(atlas->hBitmap);
    }
    *atlas = ChipImageInfo();
}

// The atlas BMP named `name`, or the built-in atlas for its name; false when
// it cannot be used (missing, unreadable, smaller than one chip, or on the
// network or a device). The bitmap is the caller's.
bool LoadAtlasBitmap(const char* name, ChipImageInfo* atlas)
{
    *atlas = ChipImageInfo();
    CopyPath(atlas->fileName, sizeof atlas->fileName, name);
    if (IsBuiltInAtlas(name)) {
        atlas->hBitmap =
            static_cast<HBITMAP>(LoadImageA(GetModuleHandleA(nullptr), name, IMAGE_BITMAP, 0, 0, LR_DEFAULTCOLOR));
    } else if (!IsRemoteOrDevicePath(name)) {
        atlas->hBitmap = static_cast<HBITMAP>(LoadImageA(nullptr, name, IMAGE_BITMAP, 0, 0, LR_LOADFROMFILE));
    }
    if (atlas->hBitmap) {
        GetObjectA(atlas->hBitmap, sizeof atlas->bitmap, &atlas->bitmap);
        atlas->width = atlas->bitmap.bmWidth;
        atlas->height = atlas->bitmap.bmHeight;
        atlas->loaded = 1;
    }
    if (!atlas->hBitmap || atlas->width < kChipSize || atlas->height < kChipSize) {
        ReleaseAtlas(atlas);
        return false;
    }
    return true;
}

// A map file read and checked as "開く(&O)" reads it, opened as the editor
// opens it, with its atlas when `withAtlas`. As in the editor, an atlas the
// map names that cannot be used is reported and the built-in one stands in.
// The atlas's bitmap is the caller's.
bool ReadMapForExport(const char* mapPath, bool withAtlas, OpenedMap* opened, ChipImageInfo* atlas,
                      FailureReport report)
{
    MapFileContents file;
    const MapFileError error = LoadMapFile(mapPath, &file);
    if (error != MapFileError::None) {
        report(mapPath, MapFileErrorMessage(error));
        return false;
    }
    *opened = OpenMap(std::move(file));
    if (!withAtlas || LoadAtlasBitmap(opened->map.atlasFile, atlas)) {
        return true;
    }
    report(opened->map.atlasFile, Text(IDS_FILE_NOT_OPENED));
    if (!LoadAtlasBitmap(kBuiltInAtlasName, atlas)) {
        report(mapPath, Text(IDS_BUILT_IN_ATLAS_UNREADABLE));
        return false;
    }
    return true;
}

// A plane's picture file as a PNG, read without a device; empty when it cannot
// be read, and the plane is then untextured, as the preview draws it.
std::vector<unsigned char> PlanePictureFilePng(const char* path)
{
    std::vector<unsigned char> file;
    BgraImage image;
    std::vector<unsigned char> png;
    if (!IsRemoteOrDevicePath(path) && ReadMapFileBytes(ProgramImagePath(path).c_str(), &file) == MapFileError::None &&
        (IsDdsFile(file.data(), file.size()) ? DecodeDds(file.data(), file.size(), &image)
                                             : DecodeBgra(file.data(), file.size(), &image)) == ImageError::None) {
        EncodeBgraPng(image, &png);
    }
    return png;
}

// A plane's or billboard's picture from its file, at the extent the opened map gives it.
GltfPlaneImage QuadFileImage(const char* textureFile, const QuadExtent& extent)
{
    GltfPlaneImage image;
    image.width = extent.width;
    image.depth = extent.depth;
    image.png = PlanePictureFilePng(textureFile);
    return image;
}

AtlasLayout LayoutOf(const ChipImageInfo& atlas)
{
    const TileCount rows = AtlasTileCount(atlas.height);
    return {AtlasTileCount(atlas.width).tiles, rows.tiles, rows.rest};
}

// Asks for a picture (a null path asks the user) and reads it as heights,
// stretched when worth it and wanted; false, having said why, when it cannot
// be taken. Everything is read and checked before the map changes.
bool TakeHeightPicture(HWND owner, const char* title, const char* path, LuminanceImage* image)
{
    char chosen[MAX_PATH];
    if (!ChoosePath(owner, kHeightmapImageFileType, title, false, path, chosen) ||
        !ReadHeightPicture(chosen, image, ShowError)) {
        return false;
    }
    const LuminanceRange range = ValueRange(*image);
    if (WorthStretching(range) && AskToStretch(range)) {
        StretchLevels(range, image);
    }
    return true;
}

}  // namespace

bool ImportHeightmap(COxelD3DTerrainEditor* editor, HWND owner, const char* path)
{
    LuminanceImage image;
    if (!editor || !editor->HasMap() || !TakeHeightPicture(owner, Text(IDS_IMPORT_HEIGHTMAP_TITLE), path, &image)) {
        return false;
    }
    WaitCursor wait;
    return editor->ReplaceHeights(HeightsFromLuminance(image, editor->m_mapWidth, editor->m_mapHeight));
}

bool NewMapFromHeightmap(COxelD3DTerrainEditor* editor, HWND owner, const char* path)
{
    LuminanceImage image;
    if (!editor || !editor->HasMap() || !editor->ConfirmDiscard() ||
        !TakeHeightPicture(owner, Text(IDS_NEW_FROM_HEIGHTMAP_TITLE), path, &image)) {
        return false;
    }
    WaitCursor wait;
    const int size = MapSizeForPicture(image.width, image.height);
    editor->NewMap(size, size);
    // The heights are where the map starts from, not a step to take back.
    const bool made = editor->ReplaceHeights(HeightsFromLuminance(image, size, size));
    editor->ForgetHistory();
    editor->MarkUnsaved();
    return made;
}

bool ExportHeightmap(COxelD3DTerrainEditor* editor, HWND owner, const char* path)
{
    char chosen[MAX_PATH];
    if (!editor || !editor->HasMap() ||
        !ChoosePath(owner, kPngFileType, Text(IDS_EXPORT_HEIGHTMAP_TITLE), true, path, chosen)) {
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
    return WriteHeightmap(heights, width, height, chosen, ShowError);
}

bool ExportGltf(COxelD3DTerrainEditor* editor, HWND owner, const char* path)
{
    char chosen[MAX_PATH];
    if (!editor || !editor->HasMap() ||
        !ChoosePath(owner, kGlbFileType, Text(IDS_EXPORT_GLTF_TITLE), true, path, chosen)) {
        return false;
    }
    WaitCursor wait;
    MapFileContents map;
    if (!GatherMap(editor, &map)) {
        ShowError(chosen, NotMadeMessage(IDS_GLTF_FILE));
        return false;
    }
    // Only the visible planes are written; the hidden ones need no picture.
    std::vector<GltfPlaneImage> planeImages(map.planes.size());
    if (COxelD3DSceneBase* scene = COxelD3DTerrainEditor::Scene()) {
        for (size_t id = 0; id < map.planes.size(); ++id) {
            if (map.planes[id].visible) {
                planeImages[id] = QuadImage(scene->FindPlane(static_cast<int>(id)));
            }
        }
    }
    COxelD3DTerrainChipManager* terrain = editor->m_terrain;
    std::vector<GltfPlaneImage> billboardImages(map.billboards.size());
    for (size_t id = 0; id < map.billboards.size(); ++id) {
        billboardImages[id] = QuadImage(terrain->FindBillboard(static_cast<int>(id)));
    }
    return WriteGltf(map, terrain->m_chipImage, planeImages, billboardImages, chosen, ShowError);
}

bool ExportMapPicture(COxelD3DTerrainEditor* editor, HWND owner, const char* path)
{
    char chosen[MAX_PATH];
    if (!editor || !editor->HasMap() ||
        !ChoosePath(owner, kPngFileType, Text(IDS_EXPORT_PICTURE_TITLE), true, path, chosen)) {
        return false;
    }
    WaitCursor wait;
    MapFileContents map;
    if (!GatherMap(editor, &map)) {
        ShowError(chosen, NotMadeMessage(IDS_MAP_PICTURE));
        return false;
    }
    const COxelD3DTerrainChipManager* terrain = editor->m_terrain;
    const AtlasLayout layout = {terrain->m_chipColumns, terrain->m_chipRows, terrain->m_chipRowRest};
    BgraImage atlas;
    if (!ReadAtlasPixels(terrain->m_chipImage, &atlas)) {
        ShowError(chosen, NotMadeMessage(IDS_MAP_PICTURE));
        return false;
    }
    // The largest pictures take seconds: the windows keep answering meanwhile,
    // and a cancelled export writes nothing.
    MapPictureWriter writer(map, atlas, layout);
    ProgressWindow progress(owner, Text(IDS_EXPORT_PICTURE_TITLE));
    std::vector<unsigned char> png;
    // Flushing tens of megabytes to the disk can take a second: a thread of
    // its own writes them, once the picture is whole and past cancelling.
    std::thread disk;
    std::atomic<bool> diskDone(false);
    bool written = false;
    const bool finished = progress.Run([&](double* done) {
        if (!writer.Done()) {
            const DWORD start = GetTickCount();
            while (writer.WriteRows(kPictureRowsAtOnce) && !writer.Done() && GetTickCount() - start < kPictureStepMs) {
            }
            *done = static_cast<double>(writer.RowsWritten()) / writer.Height();
            return false;
        }
        if (!disk.joinable()) {
            if (writer.Finish(&png) != ImageError::None || png.empty()) {
                return true;
            }
            progress.StopCancelling();
            disk = std::thread([&] {
                written = WriteFileSafely(chosen, png.data(), png.size());
                diskDone = true;
            });
        }
        Sleep(kPictureStepMs / 4);
        return diskDone.load();
    });
    if (disk.joinable()) {
        disk.join();
    } else if (!finished) {
        return false;
    }
    if (png.empty()) {
        ShowError(chosen, NotMadeMessage(IDS_MAP_PICTURE));
        return false;
    }
    if (!written) {
        ShowError(chosen, NotWrittenMessage(IDS_MAP_PICTURE));
    }
    return written;
}

bool ExportHeightmapOfMapFile(const char* mapPath, const char* path, FailureReport report)
{
    OpenedMap opened;
    return ReadMapForExport(mapPath, false, &opened, nullptr, report) &&
           WriteHeightmap(VertexHeights(opened.map), opened.map.width, opened.map.height, path, report);
}

bool ExportGltfOfMapFile(const char* mapPath, const char* path, FailureReport report)
{
    OpenedMap opened;
    ChipImageInfo atlas;
    if (!ReadMapForExport(mapPath, true, &opened, &atlas, report)) {
        return false;
    }
    const MapFileContents& map = opened.map;
    std::vector<GltfPlaneImage> planeImages(map.planes.size());
    for (size_t id = 0; id < map.planes.size(); ++id) {
        if (map.planes[id].visible) {
            planeImages[id] = QuadFileImage(map.planes[id].textureFile, opened.planeExtent);
        }
    }
    std::vector<GltfPlaneImage> billboardImages(map.billboards.size());
    for (size_t id = 0; id < map.billboards.size(); ++id) {
        billboardImages[id] = QuadFileImage(map.billboards[id].textureFile, opened.billboardExtent);
    }
    const bool written = WriteGltf(map, atlas, planeImages, billboardImages, path, report);
    ReleaseAtlas(&atlas);
    return written;
}

bool ExportMapPictureOfMapFile(const char* mapPath, const char* path, FailureReport report)
{
    OpenedMap opened;
    ChipImageInfo atlas;
    if (!ReadMapForExport(mapPath, true, &opened, &atlas, report)) {
        return false;
    }
    const bool written = WriteMapPicture(opened.map, atlas, LayoutOf(atlas), path, report);
    ReleaseAtlas(&atlas);
    return written;
}

bool NewMapFileFromHeightmap(const char* picturePath, int size, const char* mapPath, FailureReport report)
{
    // A build has no one to answer the stretch question: the documented mapping holds.
    LuminanceImage image;
    if (!ReadHeightPicture(picturePath, &image, report)) {
        return false;
    }
    if (!size) {
        size = MapSizeForPicture(image.width, image.height);
    }
    if (!SaveMapFile(mapPath, NewMapWithHeights(HeightsFromLuminance(image, size, size), size, size))) {
        report(mapPath, MapNotSavedMessage());
        return false;
    }
    return true;
}
