#include "app/COxelSettingsFile.h"

#include "support/ProgramFiles.h"
#include "support/RunningProgram.h"
#include "support/ScreenCapture.h"

#include <gtest/gtest.h>

#include <windows.h>

namespace {

// The share of differing pixels between two pictures in the rows top..bottom.
double DifferingShareInRows(const ScreenPicture& a, const ScreenPicture& b, int top, int bottom)
{
    ScreenPicture bandA;
    ScreenPicture bandB;
    bandA.width = bandB.width = a.width;
    bandA.height = bandB.height = bottom - top;
    bandA.pixels.assign(a.pixels.begin() + top * a.width, a.pixels.begin() + bottom * a.width);
    bandB.pixels.assign(b.pixels.begin() + top * b.width, b.pixels.begin() + bottom * b.width);
    return DifferingShare(bandA, bandB, 8);
}

void Click(HWND hwnd, int x, int y)
{
    PostMessageA(hwnd, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(x, y));
    PostMessageA(hwnd, WM_LBUTTONUP, 0, MAKELPARAM(x, y));
}

// Closes `window` with the settings file deleted first, so that the file is
// then the one this run wrote; answers the question about unsaved changes
// with `answer` (0: none is expected) and waits for exit code 0.
void CloseAndExpectCleanExit(RunningProgram& running, HWND window, int answer)
{
    DeleteFileA(SettingsFilePath().c_str());
    PostMessageA(window, WM_CLOSE, 0, 0);
    if (answer) {
        ASSERT_TRUE(running.AnswerMessageBox("Quelmora", answer));
    }
    DWORD exitCode = 1;
    ASSERT_TRUE(running.WaitForExit(20000, &exitCode));
    EXPECT_EQ(0u, exitCode);
}

}  // namespace

// The real program as a user meets it: the editor windows at the default
// layout, edits in the tool windows that show in the preview, and the run
// ended from the edit menu window.
TEST(EditorProgram, ToolWindowEditsShowInThePreviewAndClosingTheMenuWindowEndsTheRun)
{
    ASSERT_TRUE(CopyFileA(QUELMORA_DEFAULT_SETTINGS, SettingsFilePath().c_str(), FALSE));
    RunningProgram program;
    ASSERT_TRUE(program.started());
    HWND preview = program.WaitForPreview(30000);
    ASSERT_NE(nullptr, preview);

    const struct {
        const char* className;
        int layoutValue;
    } windows[] = {{"Quelmora", 0}, {"EditMenu", 2}, {"HeightEditor", 8}, {"Texture", 10}, {"TextureMapping", 12}};
    for (const auto& window : windows) {
        HWND hwnd = program.FindWindowOfClass(window.className);
        ASSERT_NE(nullptr, hwnd) << window.className;
        RECT rect;
        GetWindowRect(hwnd, &rect);
        const char* path = QUELMORA_DEFAULT_SETTINGS;
        const int index = window.layoutValue;
        EXPECT_EQ(static_cast<int>(GetPrivateProfileIntA(COxelSettingsFile::Section(index),
                                                         COxelSettingsFile::Key(index), -1, path)),
                  rect.left)
            << window.className;
        EXPECT_EQ(static_cast<int>(GetPrivateProfileIntA(COxelSettingsFile::Section(index + 1),
                                                         COxelSettingsFile::Key(index + 1), -1, path)),
                  rect.top)
            << window.className;
    }
    HWND editMenu = program.FindWindowOfClass("EditMenu");
    HWND texture = program.FindWindowOfClass("Texture");
    HWND mapping = program.FindWindowOfClass("TextureMapping");
    HWND heights = program.FindWindowOfClass("HeightEditor");
    const ScreenPicture start = WaitForSteadyPicture(preview, 300, 20000);
    ASSERT_FALSE(start.pixels.empty());
    const int sky = start.height / 4;

    // Lava (the last chip) on the cells in front of the camera: the ground
    // changes, the sky does not.
    Click(texture, 7 * 32 + 5, 3 * 32 + 5);
    for (int row = 2; row <= 12; ++row) {
        for (int column = 10; column <= 22; ++column) {
            Click(mapping, column * 10 + 5, row * 10 + 5);
        }
    }
    const ScreenPicture painted = WaitForChangedPicture(preview, start, 0.05, 20000);
    EXPECT_LT(DifferingShareInRows(start, painted, 0, sky), 0.01);
    EXPECT_GT(DifferingShareInRows(start, painted, start.height / 2, start.height), 0.05);

    // A hill in the middle of the painted cells.
    for (int click = 0; click < 12; ++click) {
        Click(heights, 16 * 10 + 5, 6 * 10 + 5);
    }
    const ScreenPicture raised = WaitForChangedPicture(preview, painted, 0.01, 20000);
    EXPECT_GT(DifferingShare(painted, raised, 8), 0.01);

    PostMessageA(editMenu, WM_COMMAND, MAKEWPARAM(301, 0), 0);
    const ScreenPicture wireframe = WaitForChangedPicture(preview, raised, 0.1, 20000);
    EXPECT_GT(DifferingShare(raised, wireframe, 8), 0.1);

    // The edits are not saved: the program asks, and "No" drops them.
    ASSERT_NO_FATAL_FAILURE(CloseAndExpectCleanExit(program, editMenu, IDNO));
    EXPECT_EQ(COxelSettingsFile::kValueCount, CountSavedSettingsKeys());
    DeleteFileA(SettingsFilePath().c_str());
}

// The two windows the program does not show at start, opened from the view
// menu: each at its default place beside the others. Closing one hides it and
// the menu shows it again; the run ends with its size written to the settings file.
TEST(EditorProgram, TheViewMenuOpensTheMapEditWindowAndTheBillboardDialogBesideTheOtherWindows)
{
    ASSERT_TRUE(CopyFileA(QUELMORA_DEFAULT_SETTINGS, SettingsFilePath().c_str(), FALSE));
    RunningProgram program;
    ASSERT_TRUE(program.started());
    ASSERT_NE(nullptr, program.WaitForPreview(30000));
    HWND editMenu = program.FindWindowOfClass("EditMenu");
    ASSERT_NE(nullptr, editMenu);
    PostMessageA(editMenu, WM_COMMAND, MAKEWPARAM(600, 0), 0);
    PostMessageA(editMenu, WM_COMMAND, MAKEWPARAM(601, 0), 0);
    // The dialog shows at its place, not first in the middle of the screen.
    HWND mapEdit = nullptr;
    HWND billboards = nullptr;
    RECT firstSeen = {};
    for (int wait = 0; wait < 1000 && !(mapEdit && billboards); ++wait) {
        Sleep(20);
        mapEdit = program.FindWindowOfClass("MapEditWnd");
        if (!billboards && (billboards = program.FindWindowOfClass("#32770", "Billboard")) != nullptr) {
            GetWindowRect(billboards, &firstSeen);
        }
    }
    ASSERT_NE(nullptr, mapEdit);
    ASSERT_NE(nullptr, billboards);
    EXPECT_EQ(974, firstSeen.left);
    EXPECT_EQ(580, firstSeen.top);

    RECT rect;
    GetWindowRect(mapEdit, &rect);
    EXPECT_EQ(0, rect.left);
    EXPECT_EQ(704, rect.top);
    EXPECT_EQ(640, rect.right - rect.left);
    EXPECT_EQ(320, rect.bottom - rect.top);
    GetWindowRect(billboards, &rect);
    EXPECT_EQ(974, rect.left);
    EXPECT_EQ(580, rect.top);
    for (HWND opened : {mapEdit, billboards}) {
        RECT mine;
        GetWindowRect(opened, &mine);
        EXPECT_LE(mine.right, 1280);
        EXPECT_LE(mine.bottom, 1024);
        for (const char* other : {"Quelmora", "EditMenu", "HeightEditor", "Texture", "TextureMapping"}) {
            RECT theirs;
            RECT overlap;
            GetWindowRect(program.FindWindowOfClass(other), &theirs);
            EXPECT_FALSE(IntersectRect(&overlap, &mine, &theirs)) << other;
        }
    }

    const auto waitFor = [](HWND window, bool visible) {
        for (int wait = 0; wait < 500 && (IsWindowVisible(window) != FALSE) != visible; ++wait) {
            Sleep(20);
        }
        return (IsWindowVisible(window) != FALSE) == visible;
    };
    PostMessageA(mapEdit, WM_CLOSE, 0, 0);
    PostMessageA(billboards, WM_CLOSE, 0, 0);
    EXPECT_TRUE(waitFor(mapEdit, false));
    EXPECT_TRUE(waitFor(billboards, false));
    EXPECT_TRUE(IsWindow(program.FindWindowOfClass("Quelmora"))) << "closing either ended the run";
    PostMessageA(editMenu, WM_COMMAND, MAKEWPARAM(600, 0), 0);
    PostMessageA(editMenu, WM_COMMAND, MAKEWPARAM(601, 0), 0);
    EXPECT_TRUE(waitFor(mapEdit, true));
    EXPECT_TRUE(waitFor(billboards, true));

    ASSERT_NO_FATAL_FAILURE(CloseAndExpectCleanExit(program, editMenu, 0));
    EXPECT_EQ(640, static_cast<int>(GetPrivateProfileIntA("MapEditWindowPosition", "Width", 0,
                                                          SettingsFilePath().c_str())));
    EXPECT_EQ(320, static_cast<int>(GetPrivateProfileIntA("MapEditWindowPosition", "Height", 0,
                                                           SettingsFilePath().c_str())));
    DeleteFileA(SettingsFilePath().c_str());
}

// Undo and redo in the real program: edits made in the tool windows are taken
// back from the edit menu until the preview shows the start again, and done
// again; closing with changes asks, Cancel keeps the program running and No
// ends it.
TEST(EditorProgram, UndoFromTheMenuBringsBackTheStartAndClosingWithChangesAsksFirst)
{
    ASSERT_TRUE(CopyFileA(QUELMORA_DEFAULT_SETTINGS, SettingsFilePath().c_str(), FALSE));
    RunningProgram program;
    ASSERT_TRUE(program.started());
    HWND preview = program.WaitForPreview(30000);
    ASSERT_NE(nullptr, preview);
    HWND editMenu = program.FindWindowOfClass("EditMenu");
    HWND texture = program.FindWindowOfClass("Texture");
    HWND mapping = program.FindWindowOfClass("TextureMapping");
    HWND heights = program.FindWindowOfClass("HeightEditor");
    const ScreenPicture start = WaitForSteadyPicture(preview, 300, 20000);
    ASSERT_FALSE(start.pixels.empty());

    // Lava on a block of cells in front of the camera, and a hill among them.
    Click(texture, 7 * 32 + 5, 3 * 32 + 5);
    int edits = 0;
    for (int row = 2; row <= 12; ++row) {
        for (int column = 10; column <= 22; ++column, ++edits) {
            Click(mapping, column * 10 + 5, row * 10 + 5);
        }
    }
    for (int click = 0; click < 12; ++click, ++edits) {
        Click(heights, 16 * 10 + 5, 6 * 10 + 5);
    }
    const ScreenPicture edited = WaitForChangedPicture(preview, start, 0.05, 20000);
    ASSERT_GT(DifferingShare(start, edited, 8), 0.05);

    for (int step = 0; step < edits; ++step) {
        PostMessageA(editMenu, WM_COMMAND, MAKEWPARAM(700, 0), 0);
    }
    const ScreenPicture undone =
        WaitForPicture(preview, 20000, [&](const ScreenPicture& now) { return DifferingShare(start, now, 8) < 0.001; });
    EXPECT_LT(DifferingShare(start, undone, 8), 0.001);

    for (int step = 0; step < edits; ++step) {
        PostMessageA(editMenu, WM_COMMAND, MAKEWPARAM(701, 0), 0);
    }
    const ScreenPicture redone =
        WaitForPicture(preview, 20000, [&](const ScreenPicture& now) { return DifferingShare(edited, now, 8) < 0.001; });
    EXPECT_LT(DifferingShare(edited, redone, 8), 0.001);

    DeleteFileA(SettingsFilePath().c_str());
    PostMessageA(editMenu, WM_CLOSE, 0, 0);
    ASSERT_TRUE(program.AnswerMessageBox("Quelmora", IDCANCEL));
    DWORD exitCode = 1;
    EXPECT_FALSE(program.WaitForExit(1500, &exitCode));
    EXPECT_TRUE(IsWindowVisible(preview));
    EXPECT_FALSE(FileExists(SettingsFilePath()));

    ASSERT_NO_FATAL_FAILURE(CloseAndExpectCleanExit(program, preview, IDNO));
    EXPECT_EQ(COxelSettingsFile::kValueCount, CountSavedSettingsKeys());
    DeleteFileA(SettingsFilePath().c_str());
}

// The painting tools in the real program: a 9 x 9 brush click, a stroke across
// the texture mapping window and a fill each change the preview, and one undo
// each brings the start back.
TEST(EditorProgram, BrushClicksStrokesAndFillsShowInThePreviewAndOneUndoTakesEachBack)
{
    ASSERT_TRUE(CopyFileA(QUELMORA_DEFAULT_SETTINGS, SettingsFilePath().c_str(), FALSE));
    RunningProgram program;
    ASSERT_TRUE(program.started());
    HWND preview = program.WaitForPreview(30000);
    ASSERT_NE(nullptr, preview);
    HWND editMenu = program.FindWindowOfClass("EditMenu");
    HWND texture = program.FindWindowOfClass("Texture");
    HWND mapping = program.FindWindowOfClass("TextureMapping");
    HWND heights = program.FindWindowOfClass("HeightEditor");
    const ScreenPicture start = WaitForSteadyPicture(preview, 300, 20000);
    ASSERT_FALSE(start.pixels.empty());
    const auto command = [&](int id) { PostMessageA(editMenu, WM_COMMAND, MAKEWPARAM(id, 0), 0); };
    const auto undoneToStart = [&](const char* what) {
        command(700);
        const ScreenPicture undone = WaitForPicture(
            preview, 20000, [&](const ScreenPicture& now) { return DifferingShare(start, now, 8) < 0.001; });
        EXPECT_LT(DifferingShare(start, undone, 8), 0.001) << what;
    };

    // A hill in front of the camera from one click with the 9 x 9 brush.
    command(7003);
    Click(heights, 16 * 10 + 5, 6 * 10 + 5);
    const ScreenPicture hill = WaitForChangedPicture(preview, start, 0.01, 20000);
    EXPECT_GT(DifferingShare(start, hill, 8), 0.01);
    undoneToStart("the brush click");

    // Lava dragged across the texture mapping window in one fast move.
    Click(texture, 7 * 32 + 5, 3 * 32 + 5);
    command(7020);
    PostMessageA(mapping, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(2 * 10 + 5, 6 * 10 + 5));
    PostMessageA(mapping, WM_MOUSEMOVE, MK_LBUTTON, MAKELPARAM(30 * 10 + 5, 6 * 10 + 5));
    PostMessageA(mapping, WM_LBUTTONUP, 0, MAKELPARAM(30 * 10 + 5, 6 * 10 + 5));
    const ScreenPicture stroke = WaitForChangedPicture(preview, start, 0.02, 20000);
    EXPECT_GT(DifferingShare(start, stroke, 8), 0.02);
    undoneToStart("the stroke");

    // Lava over the whole uniform map from one click.
    command(7020);
    command(7021);
    Click(mapping, 5, 5);
    const ScreenPicture filled = WaitForChangedPicture(preview, start, 0.05, 20000);
    EXPECT_GT(DifferingShare(start, filled, 8), 0.05);
    undoneToStart("the fill");

    // Back at the start the map is unchanged: the run ends without a question.
    ASSERT_NO_FATAL_FAILURE(CloseAndExpectCleanExit(program, editMenu, 0));
    EXPECT_EQ(9, static_cast<int>(GetPrivateProfileIntA("PaintTools", "BrushSize", 0, SettingsFilePath().c_str())));
    EXPECT_EQ(1, static_cast<int>(GetPrivateProfileIntA("PaintTools", "Fill", 0, SettingsFilePath().c_str())));
    DeleteFileA(SettingsFilePath().c_str());
}

// A new 512 x 512 map on the default layout: the height and texture mapping
// windows grow to show a page of it, but neither covers another window's title
// bar or menu, nor the Scene dialog, nor reaches past the screen; each still
// shows a page of squares with scroll bars.
TEST(EditorProgram, ANewLargeMapGrowsTheViewsWithoutCoveringTitleBarsOrTheSceneDialog)
{
    ASSERT_TRUE(CopyFileA(QUELMORA_DEFAULT_SETTINGS, SettingsFilePath().c_str(), FALSE));
    RunningProgram program;
    ASSERT_TRUE(program.started());
    ASSERT_NE(nullptr, program.WaitForPreview(30000));
    HWND editMenu = program.FindWindowOfClass("EditMenu");
    HWND scene = program.FindWindowOfClass("#32770", "Scene");
    ASSERT_NE(nullptr, editMenu);
    ASSERT_NE(nullptr, scene);
    const char* const grown[] = {"HeightEditor", "TextureMapping"};
    const auto hasBars = [&](const char* name) {
        return (GetWindowLongPtrA(program.FindWindowOfClass(name), GWL_STYLE) & (WS_HSCROLL | WS_VSCROLL)) ==
               (WS_HSCROLL | WS_VSCROLL);
    };
    PostMessageA(editMenu, WM_COMMAND, MAKEWPARAM(205, 0), 0);
    for (int wait = 0; wait < 1000 && !(hasBars(grown[0]) && hasBars(grown[1])); ++wait) {
        Sleep(20);
    }
    // Done with the map and settled: the windows answer.
    Sleep(500);
    ASSERT_TRUE(hasBars(grown[0]) && hasBars(grown[1]));

    const auto titleBar = [](HWND window) {
        RECT rect;
        RECT client;
        GetWindowRect(window, &rect);
        GetClientRect(window, &client);
        POINT corner = {0, 0};
        ClientToScreen(window, &corner);
        return RECT{corner.x, rect.top, corner.x + client.right, corner.y};
    };
    for (const char* name : grown) {
        HWND window = program.FindWindowOfClass(name);
        RECT mine;
        GetWindowRect(window, &mine);
        EXPECT_GE(mine.left, 0) << name;
        EXPECT_GE(mine.top, 0) << name;
        EXPECT_LE(mine.right, 1280) << name;
        EXPECT_LE(mine.bottom, 1024) << name;
        // A page of at least 20 squares of 10 pixels each way.
        RECT client;
        GetClientRect(window, &client);
        EXPECT_GE(client.right, 20 * 10) << name;
        EXPECT_GE(client.bottom, 20 * 10) << name;
        RECT overlap;
        RECT sceneRect;
        GetWindowRect(scene, &sceneRect);
        EXPECT_FALSE(IntersectRect(&overlap, &mine, &sceneRect)) << name << " covers the Scene dialog";
        for (const char* other : {"Quelmora", "EditMenu", "HeightEditor", "Texture", "TextureMapping"}) {
            HWND theirs = program.FindWindowOfClass(other);
            if (theirs == window) {
                continue;
            }
            const RECT bar = titleBar(theirs);
            EXPECT_FALSE(IntersectRect(&overlap, &mine, &bar)) << name << " covers the title bar of " << other;
        }
    }
    ASSERT_NO_FATAL_FAILURE(CloseAndExpectCleanExit(program, editMenu, 0));
    DeleteFileA(SettingsFilePath().c_str());
}
