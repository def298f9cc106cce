#include "editor/MapImportExport.h"

#include "app/COxelD3DApplication.h"
#include "editor/COxelD3DTerrainEditor.h"
#include "editor/COxelMapDataFile.h"
#include "io/ComRef.h"
#include "editor/HeightStep.h"
#include "editor/PlaneListStep.h"
#include "editor/PlaneSettingStep.h"
#include "io/Heightmap.h"
#include "io/MapFileDisk.h"
#include "io/MapFileFormat.h"
#include "scene/COxelD3DSceneBase.h"
#include "support/DialogAnswer.h"
#include "support/EditorSession.h"
#include "support/GlbFile.h"
#include "support/MessageBoxAnswer.h"
#include "support/MethodTable.h"
#include "support/ScratchFolder.h"
#include "support/TestBitmap.h"
#include "terrain/COxelD3DMapChipData.h"
#include "terrain/COxelD3DTerrainChipManager.h"
#include "terrain/COxelD3DTerrainPlane.h"

#include <objbase.h>
#include <wincodec.h>

#include <gtest/gtest.h>

#include <functional>
#include <memory>
#include <string>
#include <vector>

namespace {

enum Command { kNewMapFromHeightmap = 206, kImportHeightmap = 240, kExportHeightmap = 241, kExportGltf = 242, kExportMapPicture = 243 };

std::vector<unsigned char> ReadAll(const std::string& path)
{
    std::vector<unsigned char> bytes;
    EXPECT_EQ(MapFileError::None, ReadMapFileBytes(path.c_str(), &bytes)) << path;
    return bytes;
}

void WriteAll(const std::string& path, const std::vector<unsigned char>& bytes)
{
    ASSERT_TRUE(WriteFileSafely(path.c_str(), bytes.data(), bytes.size()));
}

// A picture of width x height pixels, black but for one white pixel.
std::vector<unsigned char> DotPng(int width, int height, int x, int y)
{
    BgraImage image;
    image.width = width;
    image.height = height;
    image.pixels.assign(width * height * 4, 0);
    for (int channel = 0; channel < 4; ++channel) {
        image.pixels[(y * width + x) * 4 + channel] = 255;
    }
    for (size_t i = 3; i < image.pixels.size(); i += 4) {
        image.pixels[i] = 255;
    }
    std::vector<unsigned char> png;
    EXPECT_EQ(ImageError::None, EncodeBgraPng(image, &png));
    return png;
}

// A 16-bit greyscale PNG of width x height pixels, all `low` but for one pixel of `high` at (x, y).
std::vector<unsigned char> Grey16Png(int width, int height, unsigned short low, unsigned short high, int x, int y)
{
    std::vector<unsigned short> samples(width * height, low);
    samples[y * width + x] = high;
    std::vector<unsigned char> png;
    EXPECT_EQ(ImageError::None, EncodeGrey16Png(samples.data(), width, height, &png));
    return png;
}

// Makes `path` a file of `size` bytes that begins with `bytes` (the rest zero,
// which the file system need not store).
void WriteSized(const std::string& path, const std::vector<unsigned char>& bytes, long long size)
{
    WriteAll(path, bytes);
    HANDLE file = CreateFileA(path.c_str(), GENERIC_WRITE, 0, nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
    ASSERT_NE(INVALID_HANDLE_VALUE, file);
    LARGE_INTEGER end = {};
    end.QuadPart = size;
    EXPECT_TRUE(SetFilePointerEx(file, end, nullptr, FILE_BEGIN) && SetEndOfFile(file));
    CloseHandle(file);
}

// The cursors shown whenever a hooked method ran.
std::vector<HCURSOR> g_cursorsSeen;

// Slot `Slot` of a COM method table, swapped for one that notes the cursor and
// calls the original.
template <int Slot, typename Self, typename... Arguments>
struct CursorHook {
    using Method = HRESULT(STDMETHODCALLTYPE*)(Self*, Arguments...);
    static HRESULT STDMETHODCALLTYPE Call(Self* self, Arguments... arguments)
    {
        g_cursorsSeen.push_back(GetCursor());
        return original(self, arguments...);
    }
    // Puts the hook in, or the original back.
    static void Swap(void* object)
    {
        void** table = *static_cast<void***>(object);
        void* previous =
            SwapMethod(table, Slot, original ? reinterpret_cast<void*>(original) : reinterpret_cast<void*>(&Call));
        original = original ? nullptr : reinterpret_cast<Method>(previous);
    }
    static inline Method original = nullptr;
};

// An import of the executable, swapped for one that notes the cursor when
// the program's own thread calls it (a thread of the work's own shows none).
template <typename Result, typename... Arguments>
struct ImportHook {
    using Function = Result(WINAPI*)(Arguments...);
    static Result WINAPI Call(Arguments... arguments)
    {
        if (GetCurrentThreadId() == thread) {
            g_cursorsSeen.push_back(GetCursor());
        }
        return original(arguments...);
    }
    static void Swap(const char* dll, const char* function)
    {
        void* previous = SwapImport(dll, function,
                                    original ? reinterpret_cast<void*>(original) : reinterpret_cast<void*>(&Call));
        original = original ? nullptr : reinterpret_cast<Function>(previous);
        thread = GetCurrentThreadId();
    }
    static inline Function original = nullptr;
    static inline DWORD thread = 0;
};

// The files a piece of work opens, and the messages it lets through while it
// works in steps.
using OpenHook = ImportHook<HANDLE, LPCSTR, DWORD, DWORD, LPSECURITY_ATTRIBUTES, DWORD, DWORD, HANDLE>;
using PeekHook = ImportHook<BOOL, LPMSG, HWND, UINT, UINT, UINT>;

using DecodeHook = CursorHook<7, IWICBitmapFrameDecode, const WICRect*, UINT, UINT, BYTE*>;  // CopyPixels
using EncodeHook = CursorHook<10, IWICBitmapFrameEncode, UINT, UINT, UINT, BYTE*>;           // WritePixels
using TextureHook = CursorHook<23, IDirect3DDevice9, UINT, UINT, UINT, DWORD, D3DFORMAT, D3DPOOL, IDirect3DTexture9**,
                               HANDLE*>;  // CreateTexture

// While it lives, notes in g_cursorsSeen the cursor shown each time the
// program decodes or encodes a picture's pixels, makes a texture, opens a
// file or lets messages through between the steps of its work: the work
// inside an import, an export and a map or atlas load.
class CursorWatch {
public:
    CursorWatch() : m_on(Swap()) {}
    ~CursorWatch()
    {
        if (m_on) {
            Swap();
        }
    }
    CursorWatch(const CursorWatch&) = delete;
    CursorWatch& operator=(const CursorWatch&) = delete;

private:
    // Puts the hooks in, or takes them out again; false when the objects
    // whose method tables they go into cannot be made.
    static bool Swap()
    {
        static std::vector<unsigned char> png = DotPng(2, 2, 0, 0);
        ComRef<IWICImagingFactory> factory;
        ComRef<IWICStream> stream;
        ComRef<IWICBitmapDecoder> decoder;
        ComRef<IWICBitmapFrameDecode> frame;
        ComRef<IStream> memory;
        ComRef<IWICBitmapEncoder> encoder;
        ComRef<IWICBitmapFrameEncode> frameEncode;
        const bool made =
            g_device &&
            SUCCEEDED(CoCreateInstance(CLSID_WICImagingFactory, nullptr, CLSCTX_INPROC_SERVER, IID_IWICImagingFactory,
                                       reinterpret_cast<void**>(factory.out()))) &&
            SUCCEEDED(factory->CreateStream(stream.out())) &&
            SUCCEEDED(stream->InitializeFromMemory(png.data(), static_cast<DWORD>(png.size()))) &&
            SUCCEEDED(factory->CreateDecoderFromStream(stream.get(), nullptr, WICDecodeMetadataCacheOnDemand,
                                                       decoder.out())) &&
            SUCCEEDED(decoder->GetFrame(0, frame.out())) &&
            SUCCEEDED(CreateStreamOnHGlobal(nullptr, TRUE, memory.out())) &&
            SUCCEEDED(factory->CreateEncoder(GUID_ContainerFormatPng, nullptr, encoder.out())) &&
            SUCCEEDED(encoder->Initialize(memory.get(), WICBitmapEncoderNoCache)) &&
            SUCCEEDED(encoder->CreateNewFrame(frameEncode.out(), nullptr));
        if (!made) {
            ADD_FAILURE() << "no imaging component or device to watch";
            return false;
        }
        DecodeHook::Swap(frame.get());
        EncodeHook::Swap(frameEncode.get());
        TextureHook::Swap(g_device);
        OpenHook::Swap("kernel32.dll", "CreateFileA");
        PeekHook::Swap("user32.dll", "PeekMessageA");
        return true;
    }

    bool m_on;
};

class MapImportExportTest : public ::testing::Test {
protected:
    void SetUp() override { ASSERT_TRUE(session.ok()); }

    COxelD3DTerrainEditor& editor() const { return session.editor(); }
    COxelD3DTerrainChipManager& terrain() const { return session.terrain(); }

    // A menu command whose file dialog is answered with `answer`. Whether the dialog showed.
    bool Choose(int command, const char* title, const std::string& answer) const
    {
        DialogAnswer dialog(title, answer);
        SendMessageA(session.handle(kEditMenuWindow), WM_COMMAND, command, 0);
        return dialog.Stop();
    }

    MapFileContents Map() const
    {
        MapFileContents map;
        EXPECT_TRUE(editor().m_mapFile->Gather(&map));
        return map;
    }

    // Chips turned every way, heights from 0 to 16, a visible plane with its
    // image and a hidden one.
    void PaintAndRaise()
    {
        for (int i = 0; i < 32; ++i) {
            terrain().SetMapChip(i, (i * 7) % 32, i % 32);
            terrain().SetMapChipRotation(i, (i * 7) % 32, i % 4);
            terrain().SetHeight(i, (i * 3) % 32, i / 2.0);
            terrain().SetHeight((i * 5) % 32, i, 16.0 - i / 4.0);
        }
        terrain().SetHeight(10, 20, 0.0);
        editor().Perform(PlaneListStep::Adding(PlaneKind::kScenePlane));
        editor().Perform(PlaneListStep::Adding(PlaneKind::kScenePlane));
        session.scene().FindPlane(0)->SetHeight(4.5f);
        editor().Perform(PlaneSettingStep::FlipVisible(PlaneKind::kScenePlane, 0));
        editor().ForgetHistory();
    }

    EditorSession session;
    ScratchFolder scratch{"quelmora-map-import-export-test"};
    const std::string folder = scratch.path();
};

}  // namespace

TEST_F(MapImportExportTest, TheFourItemsComeAfterTheSaveItemsAndBeforeExit)
{
    HMENU file = GetSubMenu(GetMenu(session.handle(kEditMenuWindow)), 0);
    std::vector<int> ids;
    for (int i = 0; i < GetMenuItemCount(file); ++i) {
        ids.push_back(static_cast<int>(GetMenuItemID(file, i)));
    }
    // The new-map submenu has no id of its own (-1); separators have 0. The
    // declined recovery copies (260) have a group of their own before exit.
    EXPECT_EQ((std::vector<int>{-1, 210, 220, 230, 0, 240, 241, 242, 243, 0, 260, 0, 100}), ids);
}

TEST_F(MapImportExportTest, ABrightPixelAtPictureColumnZeroRaisesTheMapsLastColumn)
{
    const std::string path = folder + "dot.png";
    WriteAll(path, DotPng(32, 32, 0, 3));
    EXPECT_TRUE(Choose(kImportHeightmap, "ハイトマップの読み込み", path));
    for (int row = 0; row < 32; ++row) {
        for (int column = 0; column < 32; ++column) {
            ASSERT_EQ(column == 31 && row == 3 ? 16.0 : 0.0, terrain().GetHeight(column, row))
                << column << ", " << row;
        }
    }
    // Another size is resampled to the map, which keeps its size.
    WriteAll(path, DotPng(64, 64, 0, 6));
    EXPECT_TRUE(ImportHeightmap(&editor(), nullptr, path.c_str()));
    EXPECT_EQ(32, terrain().m_mapWidth);
    EXPECT_EQ(4.0, terrain().GetHeight(31, 3));  // one of the four pixels averaged into the vertex
    EXPECT_EQ(0.0, terrain().GetHeight(30, 3));
}

TEST_F(MapImportExportTest, AnImportIsOneUndoStepAndMarksTheMapModified)
{
    PaintAndRaise();
    editor().MarkSaved();
    const MapFileContents before = Map();
    const std::string path = folder + "dot.png";
    WriteAll(path, DotPng(40, 24, 5, 5));
    ASSERT_TRUE(ImportHeightmap(&editor(), nullptr, path.c_str()));
    const MapFileContents after = Map();
    EXPECT_FALSE(before == after);
    EXPECT_TRUE(editor().IsModified());
    editor().Undo();
    EXPECT_TRUE(before == Map());
    EXPECT_FALSE(editor().IsModified());
    editor().Redo();
    EXPECT_TRUE(after == Map());
    EXPECT_TRUE(editor().IsModified());
}

TEST_F(MapImportExportTest, PicturesThatCannotBeReadAreRefusedAndTheMapStaysAsItWas)
{
    PaintAndRaise();
    editor().MarkSaved();
    const MapFileContents before = Map();
    const std::vector<unsigned char> png = DotPng(32, 32, 4, 4);
    const std::string text = "P2 not really a picture";
    struct Case {
        const char* name;
        bool exists;
        std::vector<unsigned char> bytes;
        const char* says;
    };
    const Case cases[] = {
        {"missing", false, {}, "開けない"},
        {"empty", true, {}, "対応していない形式"},
        {"text", true, std::vector<unsigned char>(text.begin(), text.end()), "対応していない形式"},
        {"truncated", true, std::vector<unsigned char>(png.begin(), png.begin() + png.size() / 2), "壊れている"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        const std::string path = folder + c.name + ".png";
        if (c.exists) {
            WriteAll(path, c.bytes);
        }
        MessageBoxAnswer refusal;
        EXPECT_FALSE(ImportHeightmap(&editor(), nullptr, path.c_str()));
        EXPECT_EQ(1, refusal.count);
        EXPECT_EQ("Error", refusal.caption);
        EXPECT_NE(std::string::npos, refusal.text.find(c.says)) << refusal.text;
        EXPECT_TRUE(before == Map());
        EXPECT_FALSE(editor().IsModified());
    }
}

TEST_F(MapImportExportTest, ANewMapFromAPictureTakesTheSmallestSizeThatHoldsItAndStartsWithoutHistory)
{
    // A changed map is asked about first: "キャンセル" keeps it, and no picture is asked for.
    PaintAndRaise();
    editor().Perform(std::make_unique<HeightStep>(1, 1, 3.0));
    const MapFileContents before = Map();
    {
        MessageBoxAnswer question(IDCANCEL);
        EXPECT_FALSE(Choose(kNewMapFromHeightmap, "ハイトマップから新規作成", folder + "dot.png"));
        EXPECT_EQ(1, question.count);
        EXPECT_TRUE(before == Map());
    }
    // A picture that cannot be read leaves the map as it was.
    editor().MarkSaved();
    {
        MessageBoxAnswer refusal;
        EXPECT_FALSE(NewMapFromHeightmap(&editor(), nullptr, (folder + "missing.png").c_str()));
        EXPECT_EQ(1, refusal.count);
        EXPECT_EQ("Error", refusal.caption);
        EXPECT_TRUE(before == Map());
        EXPECT_FALSE(editor().IsModified());
    }

    const struct {
        int width, height, size;
    } cases[] = {{10, 5, 16}, {16, 16, 16}, {17, 3, 32}, {40, 64, 64}, {129, 20, 256}, {600, 9, 512}};
    const std::string path = folder + "dot.png";
    for (const auto& c : cases) {
        SCOPED_TRACE(std::to_string(c.width) + " x " + std::to_string(c.height));
        WriteAll(path, DotPng(c.width, c.height, 0, c.height - 1));
        EXPECT_TRUE(Choose(kNewMapFromHeightmap, "ハイトマップから新規作成", path));
        EXPECT_EQ(c.size, terrain().m_mapWidth);
        EXPECT_EQ(c.size, terrain().m_mapHeight);
        // The picture's bottom left corner is the map's last row and column.
        EXPECT_LT(0.0, terrain().GetHeight(c.size - 1, c.size - 1));
        EXPECT_EQ(0.0, terrain().GetHeight(0, 0));
        EXPECT_EQ(c.size, MapSizeForPicture(c.width, c.height));
        EXPECT_FALSE(editor().m_history.CanUndo());
        EXPECT_TRUE(editor().IsModified());
        editor().MarkSaved();  // no question before the next one
    }
}

TEST_F(MapImportExportTest, APictureUsingLittleOfItsRangeAsksWhetherToStretchIt)
{
    // 0 .. 3000 m in a 16-bit picture: 3000 would be height 0.73.
    const std::string dem = folder + "dem.png";
    WriteAll(dem, Grey16Png(32, 32, 0, 3000, 0, 3));
    const std::string full = folder + "full.png";
    WriteAll(full, DotPng(32, 32, 0, 3));
    struct Case {
        const char* name;
        const std::string& path;
        int answer;
        int questions;
        double top;  // the height of the raised vertex
    };
    const Case cases[] = {
        {"stretched", dem, IDYES, 1, 16.0},
        {"as stored", dem, IDNO, 1, 3000 * 16 / 65535.0},
        {"a picture using its whole range is not asked about", full, IDYES, 0, 16.0},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        MessageBoxAnswer question(c.answer);
        ASSERT_TRUE(ImportHeightmap(&editor(), nullptr, c.path.c_str()));
        EXPECT_EQ(c.questions, question.count);
        if (c.questions > 0) {
            EXPECT_EQ("ハイトマップの読み込み", question.caption);
            EXPECT_NE(std::string::npos, question.text.find("0.00 ～ 0.73")) << question.text;
        }
        EXPECT_NEAR(c.top, terrain().GetHeight(31, 3), 1e-6);
        EXPECT_EQ(0.0, terrain().GetHeight(30, 3));
    }
}

TEST_F(MapImportExportTest, PictureFilesAreReadUpToTheSizeOfTheLargestPictureTaken)
{
    // A file as large as an uncompressed 8192 x 8192 16-bit picture is read;
    // the PNG at its start is the picture.
    const std::string large = folder + "large.png";
    WriteSized(large, DotPng(32, 32, 0, 3), 8192ll * 8192 * 2 + 4096);
    MessageBoxAnswer none;
    EXPECT_TRUE(ImportHeightmap(&editor(), nullptr, large.c_str()));
    EXPECT_EQ(0, none.count) << none.text;
    EXPECT_EQ(16.0, terrain().GetHeight(31, 3));

    const std::string larger = folder + "larger.png";
    WriteSized(larger, DotPng(32, 32, 5, 5), kMaxImageFileBytes + 1);
    editor().MarkSaved();
    MessageBoxAnswer refusal;
    EXPECT_FALSE(ImportHeightmap(&editor(), nullptr, larger.c_str()));
    EXPECT_EQ(1, refusal.count);
    EXPECT_NE(std::string::npos, refusal.text.find("大きすぎる")) << refusal.text;
    EXPECT_FALSE(editor().IsModified());
}

TEST_F(MapImportExportTest, ImportsExportsAndLoadsShowTheWaitCursorWhileTheyWork)
{
    PaintAndRaise();
    const std::string picture = folder + "dot.png";
    WriteAll(picture, DotPng(32, 32, 1, 1));
    const std::string map = folder + "map.omd";
    ASSERT_TRUE(SaveMapFile(map.c_str(), Map()));
    const std::string out = folder + "out";
    const std::string atlas = WriteTestBitmap("quelmora-wait-atlas.bmp", 256, 128, [](int x, int y) { return x * y; });
    struct Case {
        const char* name;
        std::function<bool()> run;
    };
    const Case cases[] = {
        {"heightmap import", [&] { return ImportHeightmap(&editor(), nullptr, picture.c_str()); }},
        {"heightmap export", [&] { return ExportHeightmap(&editor(), nullptr, (out + ".png").c_str()); }},
        {"glTF export", [&] { return ExportGltf(&editor(), nullptr, (out + ".glb").c_str()); }},
        {"map picture export", [&] { return ExportMapPicture(&editor(), nullptr, (out + "-map.png").c_str()); }},
        {"map load", [&] { return editor().m_mapFile->Load(map.c_str()) == 0; }},
        {"atlas load",
         [&] {
             editor().OpenTextureImage(atlas.c_str());
             return editor().IsModified();
         }},
    };
    const HCURSOR wait = LoadCursorA(nullptr, IDC_WAIT);
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        SetCursor(LoadCursorA(nullptr, IDC_ARROW));
        g_cursorsSeen.clear();
        {
            CursorWatch watch;
            ASSERT_TRUE(c.run());
        }
        ASSERT_FALSE(g_cursorsSeen.empty());
        for (HCURSOR seen : g_cursorsSeen) {
            EXPECT_EQ(wait, seen);
        }
        EXPECT_EQ(LoadCursorA(nullptr, IDC_ARROW), GetCursor());
    }
}

TEST_F(MapImportExportTest, TheFileMenuExportsHeightsModelAndPicture)
{
    PaintAndRaise();
    const std::string heightmap = folder + "heights.png";
    const std::string model = folder + "map.glb";
    const std::string picture = folder + "map.png";
    EXPECT_TRUE(Choose(kExportHeightmap, "ハイトマップの書き出し", heightmap));
    EXPECT_TRUE(Choose(kExportGltf, "glTF 形式で書き出し", model));
    EXPECT_TRUE(Choose(kExportMapPicture, "マップ画像の書き出し", picture));

    const std::vector<unsigned char> heights = ReadAll(heightmap);
    std::vector<double> back;
    ASSERT_EQ(ImageError::None, DecodeHeightmap(heights.data(), heights.size(), 32, 32, &back));
    for (int row = 0; row < 32; ++row) {
        for (int column = 0; column < 32; ++column) {
            ASSERT_NEAR(terrain().GetHeight(column, row), back[row * 32 + column], 16.0 / 65535.0);
        }
    }

    GlbFile glb;
    ASSERT_TRUE(glb.Read(ReadAll(model))) << glb.error;
    EXPECT_NE(nullptr, glb.Node("Terrain"));
    EXPECT_NE(nullptr, glb.Node("Plane 0"));
    EXPECT_EQ(nullptr, glb.Node("Plane 1"));
    // The plane's DDS image went in as a PNG.
    BgraImage planeImage;
    const nlohmann::json& material = glb.document["materials"][glb.Primitive("Plane 0")["material"].get<int>()];
    const int texture = material["pbrMetallicRoughness"]["baseColorTexture"]["index"];
    const std::vector<unsigned char> planePng = glb.Image(glb.document["textures"][texture]["source"]);
    EXPECT_EQ(ImageError::None, DecodeBgra(planePng.data(), planePng.size(), &planeImage));
    EXPECT_GT(planeImage.width, 0);

    // The picture: 32 pixels a cell; cell (0, 0) holds chip 0 turned 0 at the
    // top right, cell (1, 7) chip 1 turned once, one column to its left. Each
    // pixel is the mean of a 4 x 4 block of the atlas tile.
    BgraImage shown;
    const std::vector<unsigned char> pictureBytes = ReadAll(picture);
    ASSERT_EQ(ImageError::None, DecodeBgra(pictureBytes.data(), pictureBytes.size(), &shown));
    EXPECT_EQ(32 * 32, shown.width);
    EXPECT_EQ(32 * 32, shown.height);
    const ChipImageInfo& atlas = terrain().m_chipImage;
    BITMAPINFO info = {};
    info.bmiHeader = {sizeof info.bmiHeader, atlas.width, -atlas.height, 1, 32, BI_RGB, 0, 0, 0, 0, 0};
    std::vector<unsigned char> atlasPixels(atlas.width * atlas.height * 4);
    HDC screen = GetDC(nullptr);
    GetDIBits(screen, atlas.hBitmap, 0, atlas.height, atlasPixels.data(), &info, DIB_RGB_COLORS);
    ReleaseDC(nullptr, screen);
    const auto blockMean = [&](int chip, int bx, int by, int channel) {
        int sum = 0;
        for (int y = 0; y < 4; ++y) {
            for (int x = 0; x < 4; ++x) {
                const int ax = chip % 8 * 128 + bx * 4 + x;
                const int ay = chip / 8 * 128 + by * 4 + y;
                sum += atlasPixels[(ay * atlas.width + ax) * 4 + channel];
            }
        }
        return (sum + 8) / 16;
    };
    struct Sample {
        int px, py;      // in the picture
        int chip, bx, by;  // the tile's block that lands there
    };
    const Sample samples[] = {
        {31 * 32 + 5, 9, 0, 5, 9},
        {30 * 32 + 31, 7 * 32, 1, 0, 0},  // turned once: the tile's top left at the cell's top right
        {30 * 32, 7 * 32, 1, 0, 31},
    };
    ASSERT_EQ(1, terrain().GetMapChip(1, 7));
    ASSERT_EQ(1, terrain().GetMapChipRotation(1, 7));
    for (const Sample& s : samples) {
        for (int channel = 0; channel < 3; ++channel) {
            EXPECT_EQ(blockMean(s.chip, s.bx, s.by, channel), shown.pixels[(s.py * shown.width + s.px) * 4 + channel])
                << s.px << ", " << s.py << " channel " << channel;
        }
    }
}

TEST_F(MapImportExportTest, AFailedWriteKeepsTheOldFileAndSaysSo)
{
    const std::vector<unsigned char> old = {'o', 'l', 'd'};
    using Export = bool (*)(COxelD3DTerrainEditor*, HWND, const char*);
    for (Export write : {ExportHeightmap, ExportGltf, ExportMapPicture}) {
        const std::string path = folder + "kept";
        WriteAll(path, old);
        SetFileAttributesA(path.c_str(), FILE_ATTRIBUTE_READONLY);
        MessageBoxAnswer refusal;
        EXPECT_FALSE(write(&editor(), nullptr, path.c_str()));
        EXPECT_EQ("Error", refusal.caption);
        EXPECT_NE(std::string::npos, refusal.text.find("元のファイルは変更されていません")) << refusal.text;
        EXPECT_EQ(old, ReadAll(path));
        SetFileAttributesA(path.c_str(), FILE_ATTRIBUTE_NORMAL);
        EXPECT_EQ((std::vector<std::string>{"kept"}), scratch.Files());
    }
}

// Run by the glTF-Validator's test (see CMakeLists.txt), which names a folder
// in QUELMORA_EXPORT_SAMPLES: the model and the map's picture are left there,
// for the validator and for a person to look at.
TEST_F(MapImportExportTest, APaintedRaisedMapWithPlanesExportsAsGltf)
{
    PaintAndRaise();
    // Billboards: the first on every cell but row 0, the second on row 0 with
    // its image repeated, a third that no cell names.
    terrain().AddBillboard();
    terrain().AddBillboard();
    terrain().AddBillboard();
    COxelD3DTerrainPlane* second = terrain().FindBillboard(1);
    second->ReleaseTexture();
    second->LoadTexture("planetexture.dds");
    second->SetRepeat(1);
    for (int i = 0; i < 32 * 32; ++i) {
        terrain().m_cells[i].m_billboard = i < 32 ? 1 : 0;
    }
    char samples[MAX_PATH] = {};
    GetEnvironmentVariableA("QUELMORA_EXPORT_SAMPLES", samples, MAX_PATH);
    const std::string into = samples[0] ? std::string(samples) + "\\" : folder;
    const std::string path = into + "painted-map.glb";
    ASSERT_TRUE(ExportGltf(&editor(), nullptr, path.c_str()));
    EXPECT_TRUE(ExportMapPicture(&editor(), nullptr, (into + "painted-map.png").c_str()));
    GlbFile glb;
    ASSERT_TRUE(glb.Read(ReadAll(path))) << glb.error;
    const nlohmann::json& positions =
        glb.document["accessors"][glb.Primitive("Terrain")["attributes"]["POSITION"].get<int>()];
    EXPECT_EQ(4 * 32 * 32, positions["count"]);
    EXPECT_EQ(16.0f, positions["max"][1].get<float>());
    EXPECT_EQ(0.0f, positions["min"][1].get<float>());
    // Each billboard's node holds one node for each of its cells.
    ASSERT_NE(nullptr, glb.Node("Billboard 0"));
    ASSERT_NE(nullptr, glb.Node("Billboard 1"));
    EXPECT_EQ(nullptr, glb.Node("Billboard 2"));
    EXPECT_EQ(31u * 32, (*glb.Node("Billboard 0"))["children"].size());
    EXPECT_EQ(32u, (*glb.Node("Billboard 1"))["children"].size());
}
