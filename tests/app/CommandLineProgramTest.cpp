#include "app/CommandLineRun.h"
#include "editor/COxelD3DTerrainEditor.h"
#include "editor/COxelMapDataFile.h"
#include "editor/MapImportExport.h"
#include "io/ImageCodec.h"
#include "io/MapFileDisk.h"
#include "io/MapFileFormat.h"
#include "scene/COxelD3DSceneBase.h"
#include "support/EditorSession.h"
#include "support/GlbFile.h"
#include "support/ProgramFiles.h"
#include "support/RunningProgram.h"
#include "support/SampleMaps.h"
#include "support/ScratchFolder.h"
#include "support/TestBitmap.h"
#include "terrain/COxelD3DTerrainChipManager.h"
#include "terrain/COxelD3DTerrainPlane.h"

#include <gtest/gtest.h>

#include <windows.h>

#include <algorithm>
#include <string>
#include <vector>

namespace {

std::vector<unsigned char> ReadAll(const std::string& path)
{
    std::vector<unsigned char> bytes;
    ReadMapFileBytes(path.c_str(), &bytes);
    return bytes;
}

void WriteAll(const std::string& path, const std::vector<unsigned char>& bytes)
{
    ASSERT_TRUE(WriteFileSafely(path.c_str(), bytes.data(), bytes.size())) << path;
}

// A map whose file stores each vertex's height four times over, some of them
// outside 0 .. 16, with a visible plane with its image, a hidden plane, turns
// of every kind (-1 too) and billboard ids that name none.
MapFileContents TrickyMap(int size)
{
    MapFileContents map = SampleMap(size, 2, 2);
    CopyMapFileText(map.atlasFile, "IDB_MAPCHIP");
    // By its full name: the tests run the program from other folders.
    char image[MAX_PATH] = {};
    GetFullPathNameA("planetexture.dds", MAX_PATH, image, nullptr);
    CopyMapFileText(map.planes[0].textureFile, image);
    map.cells[5].heights[2] = 40.0;
    map.cells[size + 1].heights[0] = -7.5;
    map.cells[3].rotation = -1;
    map.cells[4].billboard = 9;
    return map;
}

// A picture of width x height pixels whose brightness varies across and down.
std::vector<unsigned char> SlopePng(int width, int height)
{
    BgraImage image;
    image.width = width;
    image.height = height;
    for (int y = 0; y < height; ++y) {
        for (int x = 0; x < width; ++x) {
            const unsigned char grey = static_cast<unsigned char>((x * 255 / width + y * 97) % 256);
            image.pixels.insert(image.pixels.end(), {grey, grey, grey, 255});
        }
    }
    std::vector<unsigned char> png;
    EncodeBgraPng(image, &png);
    return png;
}

// Whether two .glb files hold the same model: the same nodes, meshes and
// accessor values, and pictures of the same pixels. A plane's picture is
// encoded from its file by the command line and from the preview's texture by
// the menu, so its PNG bytes (and with them the offsets) may differ.
bool SameModel(const std::vector<unsigned char>& a, const std::vector<unsigned char>& b, std::string* why)
{
    GlbFile first;
    GlbFile second;
    if (!first.Read(a) || !second.Read(b)) {
        *why = "not a GLB: " + first.error + second.error;
        return false;
    }
    for (const char* part : {"nodes", "meshes", "materials", "textures", "samplers", "scenes"}) {
        if (first.document[part] != second.document[part]) {
            *why = std::string("their ") + part + " differ: " + first.document[part].dump() + " vs " +
                   second.document[part].dump();
            return false;
        }
    }
    const nlohmann::json& accessors = first.document["accessors"];
    for (size_t i = 0; i < accessors.size(); ++i) {
        const bool floats = accessors[i]["componentType"] == 5126;
        if (floats ? first.Floats(static_cast<int>(i)) != second.Floats(static_cast<int>(i))
                   : first.Indices(static_cast<int>(i)) != second.Indices(static_cast<int>(i))) {
            *why = "accessor " + std::to_string(i) + " differs";
            return false;
        }
    }
    for (size_t i = 0; i < first.document["images"].size(); ++i) {
        const std::vector<unsigned char> pngA = first.Image(static_cast<int>(i));
        const std::vector<unsigned char> pngB = second.Image(static_cast<int>(i));
        BgraImage pictureA;
        BgraImage pictureB;
        if (DecodeBgra(pngA.data(), pngA.size(), &pictureA) != ImageError::None ||
            DecodeBgra(pngB.data(), pngB.size(), &pictureB) != ImageError::None || pictureA.width != pictureB.width ||
            pictureA.pixels != pictureB.pixels) {
            *why = "image " + std::to_string(i) + " differs";
            return false;
        }
    }
    return true;
}

class CommandLineProgram : public ::testing::Test {
protected:
    ScratchFolder scratch{"quelmora-command-line-test"};
    ScratchFolder console{"quelmora-command-line-console"};
    const std::string folder = scratch.path();
    const std::string log = console.path() + "console.txt";
};

}  // namespace

// Every form against the real program, as a build runs it: what it writes
// equals what the menu items write for the same map, and every fault leaves no
// output (or the old one), says why and names the file.
TEST_F(CommandLineProgram, EachFormWritesWhatTheMenuWritesOrSaysWhyNot)
{
    const std::string map = folder + "map.omd";
    const std::vector<unsigned char> mapBytes = EncodeMapFile(TrickyMap(32));
    WriteAll(map, mapBytes);
    WriteAll(folder + "damaged.omd", std::vector<unsigned char>(mapBytes.begin(), mapBytes.begin() + 5000));
    MapFileContents lostAtlas = TrickyMap(32);
    CopyMapFileText(lostAtlas.atlasFile, (folder + "nosuch.bmp").c_str());
    WriteAll(folder + "lost-atlas.omd", EncodeMapFile(lostAtlas));
    WriteAll(folder + "heights.png", SlopePng(40, 23));
    WriteAll(folder + "kept.png", {'o', 'l', 'd'});
    SetFileAttributesA((folder + "kept.png").c_str(), FILE_ATTRIBUTE_READONLY);
    const std::vector<unsigned char> picture = SlopePng(8, 8);
    WriteAll(folder + "broken.png", std::vector<unsigned char>(picture.begin(), picture.begin() + 60));

    // What the menu items write, from the map opened in the editor.
    const std::string menu = folder + "menu-";
    {
        EditorSession session;
        ASSERT_TRUE(session.ok());
        COxelD3DTerrainEditor& editor = session.editor();
        ASSERT_EQ(0, editor.m_mapFile->Load(map.c_str()));
        ASSERT_TRUE(ExportGltf(&editor, nullptr, (menu + "map.glb").c_str()));
        ASSERT_TRUE(ExportHeightmap(&editor, nullptr, (menu + "heights.png").c_str()));
        ASSERT_TRUE(ExportMapPicture(&editor, nullptr, (menu + "picture.png").c_str()));
        editor.NewMap(16, 16);
        ASSERT_TRUE(ImportHeightmap(&editor, nullptr, (folder + "heights.png").c_str()));
        ASSERT_TRUE(editor.m_mapFile->Save((menu + "imported.omd").c_str()));
    }
    MapFileContents damaged;
    const MapFileError damage = LoadMapFile((folder + "damaged.omd").c_str(), &damaged);
    ASSERT_NE(MapFileError::None, damage);

    const struct {
        std::string arguments;
        DWORD exitCode;
        const char* output;    // written, or kept as it was, in the scratch folder
        std::string expected;  // the file the output must equal, or what a kept one holds
        std::vector<std::string> messages;
    } cases[] = {
        {"--export-gltf \"" + map + "\" out.glb", 0, "out.glb", menu + "map.glb", {}},
        {"--export-heightmap \"" + map + "\" out.png", 0, "out.png", menu + "heights.png", {}},
        {"--export-picture \"" + map + "\" out.png", 0, "out.png", menu + "picture.png", {}},
        {"--import-heightmap \"" + folder + "heights.png\" out.omd --size 16", 0, "out.omd", menu + "imported.omd",
         {}},
        // As in the editor, the built-in atlas stands in for one that cannot be read.
        {"--export-picture \"" + folder + "lost-atlas.omd\" out.png", 0, "out.png", menu + "picture.png",
         {"nosuch.bmp: ファイルのオープンに失敗しました"}},
        {"--export-gltf \"" + folder + "damaged.omd\" out.glb", 1, nullptr, "",
         {"damaged.omd: ", MapFileErrorMessage(damage)}},
        {"--export-heightmap \"" + folder + "missing.omd\" out.png", 1, nullptr, "",
         {"missing.omd: ", MapFileErrorMessage(MapFileError::CannotOpen)}},
        {"--export-picture \"" + map + "\" \"" + folder + "kept.png\"", 1, "kept.png", "old",
         {"kept.png: ", "元のファイルは変更されていません"}},
        {"--import-heightmap \"" + folder + "broken.png\" out.omd", 1, nullptr, "",
         {"broken.png: ", "ハイトマップを読み込めませんでした"}},
        {"--export-obj \"" + map + "\" out.obj", 2, nullptr, "", {"不明なオプションです: --export-obj", "--help"}},
        {"--export-gltf \"" + map + "\"", 2, nullptr, "", {"引数が足りません: --export-gltf MAP.omd OUT.glb"}},
        {"/?", 0, nullptr, "", {"--export-gltf MAP.omd OUT.glb", "--import-heightmap PICTURE OUT.omd [--size N]"}},
    };
    const std::vector<std::string> inputs = scratch.Files();
    for (const auto& c : cases) {
        // Outputs named without a folder go to the current one: run from the scratch folder.
        char current[MAX_PATH];
        GetCurrentDirectoryA(MAX_PATH, current);
        SetCurrentDirectoryA(folder.c_str());
        const ProgramRun outcome = RunProgramToEnd(c.arguments, log);
        SetCurrentDirectoryA(current);

        EXPECT_EQ(c.exitCode, outcome.exitCode) << c.arguments << "\n" << outcome.console;
        for (const std::string& box : c.messages) {
            // One line each, where the boxes break lines.
            const std::string message = ConsoleLine(box.c_str());
            EXPECT_NE(std::string::npos, outcome.console.find(message)) << c.arguments << "\n" << outcome.console;
        }
        if (c.exitCode != 0) {
            EXPECT_EQ(inputs, scratch.Files()) << c.arguments << ": no output, and no temporary file, is left";
        }
        if (c.output && c.exitCode == 0) {
            const std::vector<unsigned char> written = ReadAll(folder + c.output);
            EXPECT_FALSE(written.empty()) << c.arguments;
            std::string why;
            if (c.expected.find(".glb") != std::string::npos) {
                EXPECT_TRUE(SameModel(written, ReadAll(c.expected), &why)) << c.arguments << ": " << why;
            } else {
                EXPECT_TRUE(written == ReadAll(c.expected)) << c.arguments << ": differs from " << c.expected;
            }
            char samples[MAX_PATH] = {};
            if (GetEnvironmentVariableA("QUELMORA_EXPORT_SAMPLES", samples, MAX_PATH) && c.exitCode == 0 &&
                std::string(c.output) == "out.glb") {
                // Left for the glTF-Validator's test (see CMakeLists.txt).
                CopyFileA((folder + c.output).c_str(), (std::string(samples) + "\\command-line-map.glb").c_str(),
                          FALSE);
            }
            DeleteFileA((folder + c.output).c_str());
        } else if (c.output) {
            EXPECT_EQ(std::vector<unsigned char>(c.expected.begin(), c.expected.end()), ReadAll(folder + c.output))
                << c.arguments;
        }
    }
    SetFileAttributesA((folder + "kept.png").c_str(), FILE_ATTRIBUTE_NORMAL);

    // Without --size the new map is the smallest that holds the 40 x 23 picture.
    EXPECT_EQ(0u, RunProgramToEnd("--import-heightmap \"" + folder + "heights.png\" \"" + folder + "default.omd\"", log)
                      .exitCode);
    MapFileContents imported;
    EXPECT_EQ(MapFileError::None, LoadMapFile((folder + "default.omd").c_str(), &imported));
    EXPECT_EQ(64, imported.width);
}

// The extent of a plane and of a billboard, as the editor opens a map of each
// size and as the command line's glTF export writes it: the export's planes
// span the same cells (from 128 a side, the whole map), its repeated images
// show as often, and the whole model is what the editor's own export writes.
TEST_F(CommandLineProgram, TheGltfExportSizesPlanesAndBillboardsAsTheEditorOpensThem)
{
    const struct {
        int size;
        int plane;      // cells a side
        int billboard;  // cells a side, which set its repeats
    } table[] = {{16, 32, 32}, {32, 32, 32}, {64, 32, 32}, {128, 128, 32}, {256, 256, 32}, {512, 512, 32}};
    EditorSession session;
    ASSERT_TRUE(session.ok());
    const std::string map = folder + "map.omd";
    const std::string written = folder + "out.glb";
    const std::string menu = folder + "menu.glb";
    for (const auto& row : table) {
        SCOPED_TRACE(row.size);
        MapFileContents file = TrickyMap(row.size);
        file.planes[0].repeat = 1;
        file.billboards[0].repeat = 1;
        WriteAll(map, EncodeMapFile(file));

        ASSERT_EQ(0, session.editor().m_mapFile->Load(map.c_str()));
        const COxelD3DTerrainPlane* plane = session.scene().FindPlane(0);
        const COxelD3DTerrainPlane* billboard = session.terrain().FindBillboard(0);
        ASSERT_TRUE(plane && billboard);
        EXPECT_EQ(row.plane, plane->m_width);
        EXPECT_EQ(row.plane, plane->m_depth);
        EXPECT_EQ(row.billboard, billboard->m_width);
        EXPECT_EQ(row.billboard, billboard->m_depth);
        ASSERT_TRUE(ExportGltf(&session.editor(), nullptr, menu.c_str()));

        const ProgramRun run = RunProgramToEnd("--export-gltf \"" + map + "\" \"" + written + "\"", log);
        ASSERT_EQ(0u, run.exitCode) << run.console;
        GlbFile glb;
        ASSERT_TRUE(glb.Read(ReadAll(written))) << glb.error;
        // The quad's corners at x 0 and the extent, z 0 and minus the extent;
        // a repeated image shows one time fewer than the quad has cells.
        const nlohmann::json& attributes = glb.Primitive("Plane 0")["attributes"];
        const std::vector<float> corners = glb.Floats(attributes["POSITION"]);
        const std::vector<float> uv = glb.Floats(attributes["TEXCOORD_0"]);
        ASSERT_EQ(12u, corners.size());
        ASSERT_EQ(8u, uv.size());
        EXPECT_EQ(static_cast<float>(row.plane), *std::max_element(corners.begin(), corners.end()));
        EXPECT_EQ(static_cast<float>(-row.plane), *std::min_element(corners.begin(), corners.end()));
        EXPECT_EQ(static_cast<float>(row.plane - 1), *std::max_element(uv.begin(), uv.end()));
        // A billboard's node holds its cells; the quad is the mesh of the same name.
        std::vector<float> billboardUv;
        for (const nlohmann::json& mesh : glb.document["meshes"]) {
            if (mesh["name"] == "Billboard 0") {
                billboardUv = glb.Floats(mesh["primitives"][0]["attributes"]["TEXCOORD_0"]);
            }
        }
        ASSERT_EQ(8u, billboardUv.size());
        EXPECT_EQ(static_cast<float>(row.billboard - 1), *std::max_element(billboardUv.begin(), billboardUv.end()));

        std::string why;
        EXPECT_TRUE(SameModel(ReadAll(written), ReadAll(menu), &why)) << why;
    }
}

namespace {

BOOL CALLBACK CollectText(HWND child, LPARAM text)
{
    char part[1024] = {};
    GetWindowTextA(child, part, sizeof part);
    *reinterpret_cast<std::string*>(text) += std::string(part) + "\n";
    return TRUE;
}

// The texts of a message box's controls, one a line.
std::string BoxText(HWND box)
{
    std::string text;
    EnumChildWindows(box, CollectText, reinterpret_cast<LPARAM>(&text));
    return text;
}

FILETIME LastWrite(const std::string& path)
{
    WIN32_FILE_ATTRIBUTE_DATA data = {};
    GetFileAttributesExA(path.c_str(), GetFileExInfoStandard, &data);
    return data.ftLastWriteTime;
}

}  // namespace

// A map named on the command line, as Explorer's "Open with" passes it, opens
// at start as "開く(&O)" opens a chosen file: the same checks and messages, a
// refused file leaves the start map, and an opened one is the file
// "上書き保存(&S)" writes without asking for a name.
TEST_F(CommandLineProgram, AMapNamedAtStartOpensAsTheOpenItemWould)
{
    // A folder with a space and a name whose second byte in Shift-JIS is a backslash.
    ScratchFolder named("quelmora マップ 表示");
    const std::string japanese = named.path();
    const std::vector<unsigned char> map = EncodeMapFile(TrickyMap(16));
    WriteAll(folder + "good.omd", map);
    WriteAll(japanese + "能 ソ地図.omd", map);
    WriteAll(folder + "damaged.omd", std::vector<unsigned char>(map.begin(), map.begin() + 400));
    MapFileContents damaged;
    const MapFileError damage = LoadMapFile((folder + "damaged.omd").c_str(), &damaged);

    const struct {
        std::string path;
        int mapSize;          // of the map the editor then shows
        std::string message;  // of the box that refuses the file; empty for none
        std::string title;    // what the preview's title shows after the frame rate
    } cases[] = {
        {folder + "good.omd", 16, "", " good.omd"},
        {japanese + "能 ソ地図.omd", 16, "", " 能 ソ地図.omd"},
        {folder + "damaged.omd", 32, MapFileErrorMessage(damage), " 名前のないマップ"},
        {folder + "missing.omd", 32, MapFileErrorMessage(MapFileError::CannotOpen), " 名前のないマップ"},
    };
    for (const auto& c : cases) {
        ASSERT_TRUE(CopyFileA(QUELMORA_DEFAULT_SETTINGS, SettingsFilePath().c_str(), FALSE));
        RunningProgram program(std::vector<std::string>{c.path});
        ASSERT_TRUE(program.started()) << c.path;
        ASSERT_NE(nullptr, program.WaitForPreview(30000)) << c.path;
        HWND box = nullptr;
        for (int wait = 0; wait < (c.message.empty() ? 20 : 200) && !box; ++wait) {
            Sleep(100);
            box = program.FindWindowOfClass("#32770", "Error");
        }
        if (c.message.empty()) {
            EXPECT_EQ(nullptr, box) << c.path << ": " << (box ? BoxText(box) : "");
        } else {
            ASSERT_NE(nullptr, box) << c.path;
            // The box's own line breaks are its static text's.
            EXPECT_NE(std::string::npos, BoxText(box).find(c.message.substr(0, c.message.find('\n')))) << BoxText(box);
            PostMessageA(box, WM_COMMAND, IDOK, 0);
        }
        HWND heights = program.FindWindowOfClass("HeightEditor");
        for (int wait = 0; wait < 100 && ClientSize(heights).cx != c.mapSize * 10; ++wait) {
            Sleep(100);
        }
        EXPECT_EQ(c.mapSize * 10, ClientSize(heights).cx) << c.path;
        const auto showsName = [&](const std::string& title) {
            return IsRateTitle(title) && title.size() > c.title.size() &&
                   title.compare(title.size() - c.title.size(), c.title.size(), c.title) == 0;
        };
        std::string title = program.Title();
        for (int wait = 0; wait < 100 && !showsName(title); ++wait) {
            Sleep(100);
            title = program.Title();
        }
        EXPECT_TRUE(showsName(title)) << title;

        if (c.message.empty()) {
            const FILETIME before = LastWrite(c.path);
            Sleep(50);
            PostMessageA(program.FindWindowOfClass("EditMenu"), WM_COMMAND, 220, 0);
            FILETIME after = before;
            for (int wait = 0; wait < 100 && CompareFileTime(&before, &after) == 0; ++wait) {
                Sleep(100);
                after = LastWrite(c.path);
            }
            EXPECT_NE(0, CompareFileTime(&before, &after)) << c.path << ": not saved where it was opened from";
            EXPECT_EQ(nullptr, program.FindWindowOfClass("#32770", "名前をつけて保存")) << c.path << ": asked for a name";
            MapFileContents saved;
            EXPECT_EQ(MapFileError::None, LoadMapFile(c.path.c_str(), &saved)) << c.path;
        }
    }
    DeleteFileA(SettingsFilePath().c_str());
}

namespace {

// For a failure's message: "?" where the code page lacks a character.
std::string ShownAnsi(const std::wstring& text)
{
    char shown[2048] = {};
    WideCharToMultiByte(CP_ACP, WC_NO_BEST_FIT_CHARS, text.c_str(), -1, shown, sizeof shown - 1, "?", nullptr);
    return shown;
}

}  // namespace

// Names typed in a shell reach the program in UTF-16. One that the program's
// code page cannot spell exactly is refused, never taken for its look-alike
// ("café.png" for an existing "cafe.png", "a¥b.png" for "a\b.png" in another
// folder); an output that is an input, however spelt, is refused before it
// replaces the input (or a picture the map names); a repeated option is a
// usage error. Refusals leave every file as it was.
TEST_F(CommandLineProgram, NamesWithNoExactFormAndOutputsThatAreInputsAreRefused)
{
    ASSERT_EQ(932u, GetACP()) << "the names below are Shift-JIS";
    ScratchFolder yen("quelmora-command-line-yen");
    const std::wstring yenFolder = WideText(yen.path().substr(0, yen.path().size() - 1));
    const std::string map = folder + "map.omd";
    const std::vector<unsigned char> mapBytes = EncodeMapFile(TrickyMap(16));
    WriteAll(map, mapBytes);
    WriteAll(folder + "cafe.png", {'o', 'l', 'd'});
    const std::vector<unsigned char> picture = SlopePng(20, 20);
    WriteAll(folder + "heights.png", picture);
    ASSERT_TRUE(CreateHardLinkA((folder + "link.omd").c_str(), map.c_str(), nullptr));
    // The pictures a map names are read too.
    const std::string atlas =
        WriteTestBitmap("quelmora-command-line-atlas.bmp", 64, 64, [](int, int) { return 0x336699u; });
    const std::vector<unsigned char> atlasBytes = ReadAll(atlas);
    MapFileContents withPictures = TrickyMap(16);
    CopyMapFileText(withPictures.atlasFile, atlas.c_str());
    ASSERT_TRUE(CopyFileA("planetexture.dds", (folder + "plane.dds").c_str(), FALSE));
    const std::vector<unsigned char> planeBytes = ReadAll(folder + "plane.dds");
    CopyMapFileText(withPictures.planes[0].textureFile, (folder + "plane.dds").c_str());
    WriteAll(folder + "pictures.omd", EncodeMapFile(withPictures));
    const std::wstring wideMap = L"\"" + WideText(map) + L"\"";
    const std::wstring wideFolder = WideText(folder);

    const struct {
        std::wstring arguments;
        DWORD exitCode;
        std::string message;
    } cases[] = {
        {L"--export-heightmap " + wideMap + L" \"" + wideFolder + L"caf\u00e9.png\"", 1,
         "caf?.png: ファイル名に、この Windows の文字コード"},
        {L"--export-picture " + wideMap + L" \"" + yenFolder + L"\u00a5b.png\"", 1, "-yen?b.png: ファイル名に"},
        {L"--export-gltf \"" + wideFolder + L"map\u00e9.omd\" out.glb", 1, "map?.omd: ファイル名に"},
        {L"--export-heightmap " + wideMap + L" " + wideMap, 1, "map.omd: 出力先が、読み込むファイル"},
        {L"--export-gltf " + wideMap + L" link.omd", 1, "link.omd: 出力先が、読み込むファイル"},
        {L"--export-picture " + wideMap + L" .\\MAP.OMD", 1, "MAP.OMD: 出力先が、読み込むファイル"},
        {L"--import-heightmap heights.png \"" + wideFolder + L"HEIGHTS.png\"", 1, "出力先が、読み込むファイル"},
        {L"--export-picture pictures.omd \"" + WideText(atlas) + L"\"", 1, "atlas.bmp: 出力先が、読み込むファイル"},
        {L"--export-gltf pictures.omd plane.dds", 1, "plane.dds: 出力先が、読み込むファイル"},
        {L"--import-heightmap heights.png out.omd --size 16 --size 32", 2,
         "同じオプションが二度指定されています: --size"},
        // A Japanese name has its exact form, and is written under it.
        {L"--export-heightmap " + wideMap + L" 表ソ.png", 0, ""},
    };
    const std::vector<std::string> inputs = scratch.Files();
    for (const auto& c : cases) {
        const std::string shown = ShownAnsi(c.arguments);
        char current[MAX_PATH];
        GetCurrentDirectoryA(MAX_PATH, current);
        SetCurrentDirectoryA(folder.c_str());
        const ProgramRun outcome = RunProgramToEnd(c.arguments, log);
        SetCurrentDirectoryA(current);

        EXPECT_EQ(c.exitCode, outcome.exitCode) << shown << "\n" << outcome.console;
        EXPECT_NE(std::string::npos, outcome.console.find(c.message)) << shown << "\n" << outcome.console;
        EXPECT_EQ(mapBytes, ReadAll(map)) << shown;
        EXPECT_EQ(picture, ReadAll(folder + "heights.png")) << shown;
        EXPECT_EQ(std::vector<unsigned char>({'o', 'l', 'd'}), ReadAll(folder + "cafe.png")) << shown;
        EXPECT_EQ(std::vector<std::string>(), yen.Files()) << shown;
        EXPECT_EQ(atlasBytes, ReadAll(atlas)) << shown;
        EXPECT_EQ(planeBytes, ReadAll(folder + "plane.dds")) << shown;
        if (c.exitCode != 0) {
            EXPECT_EQ(inputs, scratch.Files()) << shown;
        }
    }
    EXPECT_EQ(INVALID_FILE_ATTRIBUTES, GetFileAttributesW((wideFolder + L"caf\u00e9.png").c_str()));
    EXPECT_LT(0, FileSize(folder + "表ソ.png"));
    DeleteFileA(atlas.c_str());
}

// A map named at start whose name the code page cannot spell is refused with
// a message naming it, as a map that cannot be read is, and the editor shows
// its start map: its look-alike "cafe.omd", which exists, is not opened.
TEST_F(CommandLineProgram, AMapNamedAtStartWithNoExactFormIsRefused)
{
    WriteAll(folder + "cafe.omd", EncodeMapFile(TrickyMap(16)));
    ASSERT_TRUE(CopyFileA(QUELMORA_DEFAULT_SETTINGS, SettingsFilePath().c_str(), FALSE));
    RunningProgram program(std::vector<std::wstring>{WideText(folder) + L"caf\u00e9.omd"});
    ASSERT_TRUE(program.started());
    ASSERT_NE(nullptr, program.WaitForPreview(30000));
    std::string text;
    EXPECT_TRUE(program.AnswerMessageBox("Error", IDOK, &text));
    EXPECT_NE(std::string::npos, text.find("caf?.omd")) << text;
    EXPECT_NE(std::string::npos, text.find("で表せない文字")) << text;
    HWND heights = program.FindWindowOfClass("HeightEditor");
    Sleep(500);
    EXPECT_EQ(32 * 10, ClientSize(heights).cx);
    DeleteFileA(SettingsFilePath().c_str());
}
