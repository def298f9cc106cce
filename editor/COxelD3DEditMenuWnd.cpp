#include "editor/COxelD3DEditMenuWnd.h"

#include "app/COxelD3DApplication.h"
#include "app/COxelSettingsFile.h"
#include "app/ProgramImages.h"
#include "app/ProgramText.h"
#include "app/SampleMap.h"
#include "editor/AboutDialog.h"
#include "editor/COxelD3DTerrainEditor.h"
#include "editor/COxelMapDataFile.h"
#include "editor/EditorWindowRouting.h"
#include "editor/MapImportExport.h"
#include "editor/TargetHeightDialog.h"
#include "io/RecoveryFolder.h"
#include "scene/COxelD3DSceneBase.h"
#include "terrain/COxelD3DTerrainChipTextureManagerBase.h"

#include <commctrl.h>

#include <cstdio>
#include <cstring>
#include <string>

namespace {

const char kClassName[] = "EditMenu";
const char kMenuName[] = "OXELAPP_EDITOR_TEXTUREMENU";
const DWORD kStyle = WS_CAPTION | WS_SYSMENU | WS_MINIMIZEBOX;
// Wide enough for the menu bar on one line and the longest readout in the status bar.
const int kClientWidth = 420;

enum Command {
    kExit = 100,
    kNewMap16 = 200,
    kNewMap32 = 201,
    kNewMap64 = 202,
    kNewMap128 = 203,
    kNewMap256 = 204,
    kNewMap512 = 205,
    kNewMapFromHeightmap = 206,
    kOpen = 210,
    kSave = 220,
    kSaveAs = 230,
    kImportHeightmap = 240,
    kExportHeightmap = 241,
    kExportGltf = 242,
    kExportMapPicture = 243,
    kOpenDeclinedCopy = 260,
    kSolid = 300,
    kWireframe = 301,
    kHighDetail = 302,
    kDitherOn = 310,
    kDitherOff = 311,
    kTextureImage = 400,
    kBackground = 500,
    kMapEditWindowItem = 600,
    kBillboardWindowItem = 601,
    kAbout = 40000,
    kInfinite = 40001,
    kMapBorder = 40002,
    kCursor = 40003,
    kOpenSampleMap = 40014,
};

LRESULT CALLBACK EditMenuWndProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam)
{
    return RouteEditorWindowMessage(kEditMenuWindow, kRouteKeysToCamera | kRouteMouseButtons, hwnd, message, wParam,
                                    lParam);
}

void SetDithering(BOOL enabled)
{
    if (g_device) {
        g_device->SetRenderState(D3DRS_DITHERENABLE, enabled);
    }
}

}  // namespace

COxelD3DEditMenuWnd::COxelD3DEditMenuWnd() : m_fileName(), m_statusBar(nullptr)
{
}

COxelD3DEditMenuWnd::~COxelD3DEditMenuWnd()
{
    UnregisterClassA(kClassName, GetModuleHandleA(nullptr));
}

void COxelD3DEditMenuWnd::Create()
{
    RegisterEditorClass(kClassName, EditMenuWndProc, kMenuName, "IDI_SMALLICON");
    const HINSTANCE instance = GetModuleHandleA(nullptr);
    INITCOMMONCONTROLSEX controls = {sizeof controls, ICC_BAR_CLASSES};
    InitCommonControlsEx(&controls);

    RECT outer = {0, 0, kClientWidth, 0};
    AdjustWindowRect(&outer, kStyle, TRUE);
    // The menu in the program's language: the class's would come in the system's.
    m_hWnd = CreateWindowExA(0, kClassName, kClassName, kStyle, CW_USEDEFAULT, CW_USEDEFAULT,
                             outer.right - outer.left, outer.bottom - outer.top,
                             COxelD3DTerrainEditor::PreviewWindow(), LoadProgramMenu(kMenuName), instance, nullptr);
    // No size grip: the window keeps its size.
    m_statusBar = CreateWindowExA(0, STATUSCLASSNAMEA, "", WS_CHILD | WS_VISIBLE, 0, 0, 0, 0, m_hWnd,
                                  reinterpret_cast<HMENU>(static_cast<INT_PTR>(kStatusBarId)), instance, nullptr);
    m_statusText.clear();
    FitMenuAndStatusBar();
    ShowCurrentSize();

    // The marks match the switches' start values; dithering is the one switch
    // this window sets itself.
    memset(m_fileName, 0, sizeof m_fileName);
    CheckMenuCommand(kSolid, true);
    CheckMenuCommand(kHighDetail, true);
    CheckMenuCommand(kDitherOn, false);
    CheckMenuCommand(kDitherOff, true);
    SetDithering(FALSE);
    CheckMenuCommand(kBackground, true);
    CheckMenuCommand(kInfinite, true);
    if (COxelD3DTerrainEditor* editor = COxelD3DTerrainEditor::GetInstance()) {
        editor->m_tools.ShowIn(GetMenu(m_hWnd));
        editor->m_regions.ShowIn(GetMenu(m_hWnd));
        editor->m_terrains.ShowIn(GetMenu(m_hWnd));
    }
    ShowHistory(false, false);
    // Without a recovery folder no copy is ever kept or declined.
    COxelD3DTerrainEditor* editor = COxelD3DTerrainEditor::GetInstance();
    if (!editor || editor->m_recovery.Folder().empty()) {
        EnableMenuItem(GetMenu(m_hWnd), kOpenDeclinedCopy, MF_BYCOMMAND | MF_GRAYED);
    }
    if (COxelSettingsFile* settings = COxelSettingsFile::GetInstance()) {
        m_recentFiles.Load(*settings);
    }
    m_recentFiles.ShowIn(GetSubMenu(GetMenu(m_hWnd), 0), kOpenDeclinedCopy);
}

void COxelD3DEditMenuWnd::FitMenuAndStatusBar()
{
    // A large menu font may still wrap the bar onto more lines: the window
    // grows to show them all, and its client area holds the status bar alone.
    RECT status = {};
    if (m_statusBar) {
        SendMessageA(m_statusBar, WM_SIZE, 0, 0);
        GetWindowRect(m_statusBar, &status);
    }
    const int statusHeight = status.bottom - status.top;
    MENUBARINFO bar = {};
    bar.cbSize = sizeof bar;
    RECT window;
    if (!GetMenuBarInfo(m_hWnd, OBJID_MENU, 0, &bar) || !GetWindowRect(m_hWnd, &window)) {
        return;
    }
    RECT frame = {0, 0, kClientWidth, 0};
    AdjustWindowRect(&frame, kStyle, FALSE);
    int height = bar.rcBar.bottom - window.top + frame.bottom + statusHeight;
    const UINT flags = SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE;
    SetWindowPos(m_hWnd, nullptr, 0, 0, window.right - window.left, height, flags);
    // Whatever the bar's edge lines take, the client area is to be the status bar's height.
    RECT client;
    if (GetClientRect(m_hWnd, &client) && client.bottom != statusHeight) {
        height += statusHeight - client.bottom;
        SetWindowPos(m_hWnd, nullptr, 0, 0, window.right - window.left, height, flags);
    }
    if (m_statusBar) {
        SendMessageA(m_statusBar, WM_SIZE, 0, 0);
    }
}

void COxelD3DEditMenuWnd::ShowCurrentSize()
{
    COxelD3DTerrainEditor* editor = COxelD3DTerrainEditor::ExistingInstance();
    HMENU menu = GetMenu(m_hWnd);
    if (!editor || !menu) {
        return;
    }
    char text[128];
    snprintf(text, sizeof text, Text(IDS_NEW_MAP_OF_CURRENT_SIZE), editor->m_mapWidth, editor->m_mapHeight);
    ModifyMenuA(menu, kNewMapOfCurrentSize, MF_BYCOMMAND | MF_STRING, kNewMapOfCurrentSize, text);
}

void COxelD3DEditMenuWnd::SetStatusText(const char* text)
{
    if (!m_statusBar || !text || m_statusText == text) {
        return;
    }
    m_statusText = text;
    // A status bar may repaint itself at once for every SB_SETTEXT. With its
    // drawing off while the text changes, the change only marks the part for
    // the next paint, so that a burst of mouse moves costs one repaint.
    SendMessageA(m_statusBar, WM_SETREDRAW, FALSE, 0);
    SendMessageA(m_statusBar, SB_SETTEXTA, 0, reinterpret_cast<LPARAM>(text));
    SendMessageA(m_statusBar, WM_SETREDRAW, TRUE, 0);
    RECT part;
    if (SendMessageA(m_statusBar, SB_GETRECT, 0, reinterpret_cast<LPARAM>(&part))) {
        InvalidateRect(m_statusBar, &part, TRUE);
    }
}

void COxelD3DEditMenuWnd::ShowHistory(bool canUndo, bool canRedo)
{
    HMENU menu = GetMenu(m_hWnd);
    if (!menu) {
        return;
    }
    EnableMenuItem(menu, kUndoCommand, MF_BYCOMMAND | (canUndo ? MF_ENABLED : MF_GRAYED));
    EnableMenuItem(menu, kRedoCommand, MF_BYCOMMAND | (canRedo ? MF_ENABLED : MF_GRAYED));
}

bool COxelD3DEditMenuWnd::SaveMap()
{
    COxelD3DTerrainEditor* editor = COxelD3DTerrainEditor::GetInstance();
    if (!editor || !editor->m_mapFile) {
        return false;
    }
    if (!m_fileName[0]) {
        return SaveMapAs();
    }
    if (!editor->m_mapFile->Save(m_fileName)) {
        return false;
    }
    editor->MarkSaved();
    Remember(m_fileName);
    return true;
}

bool COxelD3DEditMenuWnd::SaveMapAs()
{
    COxelD3DTerrainEditor* editor = COxelD3DTerrainEditor::GetInstance();
    if (!editor || !editor->m_mapFile || !editor->m_mapFile->Save(nullptr, m_fileName)) {
        return false;
    }
    editor->MarkSaved();
    Remember(m_fileName);
    return true;
}

bool COxelD3DEditMenuWnd::OpenMapFile(const char* path)
{
    COxelD3DTerrainEditor* editor = COxelD3DTerrainEditor::GetInstance();
    // A copy of the full path: the path may be the list's own entry, which Remember rearranges.
    char opened[MAX_PATH] = "";
    if (!editor || !editor->m_mapFile || !editor->ConfirmDiscard() ||
        FAILED(editor->m_mapFile->OpenPath(path, opened)) || !opened[0]) {
        return false;
    }
    TakeOpenedFile(opened);
    return true;
}

void COxelD3DEditMenuWnd::TakeOpenedFile(const char* opened)
{
    COxelD3DTerrainEditor* editor = COxelD3DTerrainEditor::GetInstance();
    if (!editor || !IsDeclinedCopy(opened, editor->m_recovery.Folder())) {
        CopyPath(m_fileName, sizeof m_fileName, opened);
        Remember(opened);
        return;
    }
    // Saved in place, the work would stay in a folder that is emptied after
    // a week, under a name the user never gave it.
    editor->MarkUnsaved();
    RecoveryNote note;
    m_fileName[0] = '\0';
    if (ReadNoteOfCopy(opened, &note) && !note.mapFile.empty()) {
        CopyPath(m_fileName, sizeof m_fileName, note.mapFile.c_str());
        Remember(note.mapFile.c_str());
    }
}

void COxelD3DEditMenuWnd::OpenDeclinedCopy()
{
    COxelD3DTerrainEditor* editor = COxelD3DTerrainEditor::GetInstance();
    if (!editor || !editor->m_mapFile) {
        return;
    }
    // Made when missing, so the dialog opens there even before any copy was declined.
    const std::string folder = DeclinedFolderPath(editor->m_recovery.Folder());
    const bool exists = !folder.empty() && MakeFolderPath(folder);
    char opened[MAX_PATH] = "";
    if (SUCCEEDED(editor->m_mapFile->Open(opened, exists ? folder.c_str() : nullptr)) && opened[0]) {
        TakeOpenedFile(opened);
    }
}

bool COxelD3DEditMenuWnd::OpenSampleMap()
{
    COxelD3DTerrainEditor* editor = COxelD3DTerrainEditor::GetInstance();
    if (!editor || !editor->m_mapFile) {
        return false;
    }
    // Looked for before the question about unsaved changes: without the
    // sample, nothing is to be given up.
    const std::string programFolder = ProgramFolder();
    const std::string currentFolder = CurrentFolder();
    const std::string path = SampleMapPathIn(programFolder, currentFolder);
    if (path.empty()) {
        MessageBoxA(nullptr, MissingSampleMapMessage(programFolder, currentFolder).c_str(), "Error",
                    MB_OK | MB_TASKMODAL);
        return false;
    }
    if (!editor->ConfirmDiscard() || FAILED(editor->m_mapFile->OpenPath(path.c_str(), nullptr))) {
        return false;
    }
    // A map to start from, as a new map is: its first save asks for a name,
    // so the sample stays as it came for the next time, and it does not join
    // the recent files, which would open the sample itself.
    m_fileName[0] = '\0';
    return true;
}

void COxelD3DEditMenuWnd::Remember(const char* path)
{
    m_recentFiles.Add(path);
    KeepRecentFiles();
}

void COxelD3DEditMenuWnd::KeepRecentFiles()
{
    m_recentFiles.ShowIn(GetSubMenu(GetMenu(m_hWnd), 0), kOpenDeclinedCopy);
    if (COxelSettingsFile* settings = COxelSettingsFile::GetInstance()) {
        m_recentFiles.Save(*settings);
    }
}

void COxelD3DEditMenuWnd::OpenRecentFile(int id)
{
    const std::string path = m_recentFiles.PathOf(id);
    if (path.empty()) {
        return;
    }
    const DWORD attributes = GetFileAttributesA(path.c_str());
    if (attributes != INVALID_FILE_ATTRIBUTES && !(attributes & FILE_ATTRIBUTE_DIRECTORY)) {
        OpenMapFile(path.c_str());
        return;
    }
    m_recentFiles.Remove(path);
    KeepRecentFiles();
    char text[MAX_PATH + 256];
    snprintf(text, sizeof text, Text(IDS_RECENT_FILE_GONE), path.c_str());
    MessageBoxA(nullptr, text, "Error", MB_OK | MB_TASKMODAL);
}

void COxelD3DEditMenuWnd::OnPaint(HDC)
{
}

int COxelD3DEditMenuWnd::OnMouse(UINT, int, int)
{
    return 0;
}

void COxelD3DEditMenuWnd::OnCommand(int id)
{
    COxelD3DTerrainEditor* editor = COxelD3DTerrainEditor::GetInstance();
    COxelD3DSceneBase* scene = COxelD3DTerrainEditor::Scene();
    if (editor && editor->m_tools.OnCommand(id)) {
        editor->m_tools.ShowIn(GetMenu(m_hWnd));
        if (id == COxelPaintTools::kPlaceBillboard) {
            // The texture mapping window marks the billboards while they are placed.
            if (HWND mapping = editor->GetWindowHandle(kTextureMappingWindow)) {
                InvalidateRect(mapping, nullptr, FALSE);
            }
        }
        // The brush's outline in the preview takes the new size or mode.
        editor->FollowPreviewPointer();
        return;
    }
    if (editor && editor->m_regions.OnCommand(id)) {
        editor->m_regions.ShowIn(GetMenu(m_hWnd));
        return;
    }
    if (editor && editor->m_terrains.OnCommand(id)) {
        return;
    }
    if (editor && id == COxelPaintTools::kTargetHeightCommand) {
        AskTargetHeight(m_hWnd, editor->m_tools);
        return;
    }
    switch (id) {
    case kExit:
        SendMessageA(m_hWnd, WM_CLOSE, 0, 0);
        break;
    case kNewMap16:
    case kNewMap32:
    case kNewMap64:
    case kNewMap128:
    case kNewMap256:
    case kNewMap512:
        NewMap(16 << (id - kNewMap16), 16 << (id - kNewMap16));
        break;
    case kNewMapOfCurrentSize:
        if (editor && editor->HasMap()) {
            NewMap(editor->m_mapWidth, editor->m_mapHeight);
        }
        break;
    case kNewMapFromHeightmap:
        if (NewMapFromHeightmap(editor, m_hWnd, nullptr)) {
            m_fileName[0] = '\0';
        }
        break;
    case kOpen:
        // Open asks about unsaved changes once the file is chosen.
        if (editor && editor->m_mapFile) {
            char opened[MAX_PATH] = "";
            if (SUCCEEDED(editor->m_mapFile->Open(opened)) && opened[0]) {
                TakeOpenedFile(opened);
            }
        }
        break;
    case kOpenDeclinedCopy:
        OpenDeclinedCopy();
        break;
    case kSave:
        SaveMap();
        break;
    case kSaveAs:
        SaveMapAs();
        break;
    case kUndoCommand:
        if (editor) {
            editor->Undo();
        }
        break;
    case kRedoCommand:
        if (editor) {
            editor->Redo();
        }
        break;
    case kImportHeightmap:
        ImportHeightmap(editor, m_hWnd, nullptr);
        break;
    case kExportHeightmap:
        ExportHeightmap(editor, m_hWnd, nullptr);
        break;
    case kExportGltf:
        ExportGltf(editor, m_hWnd, nullptr);
        break;
    case kExportMapPicture:
        ExportMapPicture(editor, m_hWnd, nullptr);
        break;
    case kSolid:
    case kWireframe:
        CheckMenuCommand(kSolid, id == kSolid);
        CheckMenuCommand(kWireframe, id == kWireframe);
        if (g_application) {
            g_application->m_fillMode = id == kSolid ? D3DFILL_SOLID : D3DFILL_WIREFRAME;
        }
        break;
    case kHighDetail:
        if (g_application) {
            Toggle(id, g_application->m_renderToTexture);
        }
        break;
    case kDitherOn:
    case kDitherOff:
        CheckMenuCommand(kDitherOn, id == kDitherOn);
        CheckMenuCommand(kDitherOff, id == kDitherOff);
        SetDithering(id == kDitherOn);
        break;
    case kTextureImage:
        if (editor) {
            editor->OpenTextureImage(nullptr);
        }
        break;
    case kBackground:
        if (scene) {
            Toggle(id, scene->m_showBackground);
        }
        break;
    case kMapEditWindowItem:
        if (editor) {
            editor->OpenWindow(kMapEditWindow);
        }
        break;
    case kBillboardWindowItem:
        if (editor) {
            editor->OpenWindow(kBillboardSettingWindow);
        }
        break;
    case kOpenSampleMap:
        OpenSampleMap();
        break;
    case kAbout:
        OpenAboutDialog(m_hWnd);
        break;
    case kInfinite:
        if (scene) {
            Toggle(id, scene->m_showInfinite);
        }
        break;
    case kMapBorder:
        if (scene) {
            Toggle(id, scene->m_showMapBorder);
        }
        break;
    case kCursor:
        if (scene) {
            Toggle(id, scene->m_showCursor);
        }
        break;
    default:
        OpenRecentFile(id);
        break;
    }
}

void COxelD3DEditMenuWnd::OnScroll(LPARAM, int, int, int)
{
}

void COxelD3DEditMenuWnd::Refresh()
{
    ShowCurrentSize();
    Redraw();
}

void COxelD3DEditMenuWnd::NewMap(int width, int height)
{
    COxelD3DTerrainEditor* editor = COxelD3DTerrainEditor::GetInstance();
    if (editor && editor->ConfirmDiscard()) {
        editor->NewMap(width, height);
        // A new map has no file yet: the next save asks for one.
        m_fileName[0] = '\0';
    }
}

void COxelD3DEditMenuWnd::Toggle(int id, int& flag)
{
    flag = flag ? 0 : 1;
    CheckMenuCommand(id, flag != 0);
}
