#include "editor/COxelD3DTerrainEditor.h"

#include "app/COxelD3DApplication.h"
#include "app/COxelSettingsFile.h"
#include "app/ProgramText.h"
#include "app/WindowPlacement.h"
#include "editor/AtlasStep.h"
#include "editor/COxelD3DEditMenuWnd.h"
#include "editor/COxelD3DMapEditWnd.h"
#include "editor/COxelD3DTerrainEditorChildWndBase.h"
#include "editor/COxelMapDataFile.h"
#include "editor/FileDialog.h"
#include "editor/FileDropTarget.h"
#include "editor/WaitCursor.h"
#include "editor/WholeMapStep.h"
#include "io/MapFileFormat.h"
#include "scene/COxelD3DCameraBase.h"
#include "scene/COxelD3DSceneBase.h"
#include "terrain/COxelD3DTerrainChipManager.h"
#include "terrain/COxelD3DTerrainPlane.h"
#include "terrain/MapGridMath.h"
#include "tools/COxelD3DBillboardSettingWnd.h"
#include "tools/COxelD3DHeightWnd.h"
#include "tools/COxelD3DSceneSettingWnd.h"
#include "tools/COxelD3DTextureMappingWnd.h"
#include "tools/COxelD3DTextureWnd.h"
#include "tools/MapViewMath.h"

#include <commctrl.h>
#include <mmsystem.h>
#include <shellapi.h>

#include <algorithm>
#include <cstdio>
#include <iterator>
#include <new>
#include <string>
#include <utility>

namespace {

const int kDefaultCellSize = 16;
// The map edit window's outer size when the settings file has none.
const SIZE kDefaultMapEditSize = {640, 334};
const int kCellWidthValue = 16;
const int kCellHeightValue = 17;
const int kMapEditWidthValue = 18;
// The height window's square size, in a section of its own.
const char kHeightViewSection[] = "HeightView";
const char kSquareSizeKey[] = "SquareSize";
const int kMapEditHeightValue = 19;

const char kPromptCaption[] = "Quelmora";
// How soon a write that waits for a mouse button looks again.
const DWORD kButtonHeldRetry = 200;

// A press in one of the program's windows that has not been released: a
// stroke, a drag or a scroll is on its way, and the map may be mid-change.
// A button message still waiting in the queue counts too: the button is up
// already, but the click it ends has not been made yet, and a copy taken now
// would miss it. The queue is looked at after the buttons, so a release that
// comes between the two is seen either way.
bool MouseButtonHeldInProgram()
{
    const int buttons[] = {VK_LBUTTON, VK_RBUTTON, VK_MBUTTON};
    if (!std::any_of(std::begin(buttons), std::end(buttons), [](int b) { return GetAsyncKeyState(b) & 0x8000; })) {
        MSG waiting;
        return PeekMessageA(&waiting, nullptr, WM_LBUTTONDOWN, WM_MBUTTONDBLCLK, PM_NOREMOVE | PM_NOYIELD) != FALSE;
    }
    if (GetCapture()) {
        return true;
    }
    POINT cursor;
    HWND under = GetCursorPos(&cursor) ? WindowFromPoint(cursor) : nullptr;
    return under && GetWindowThreadProcessId(under, nullptr) == GetCurrentThreadId();
}

// Told once, from the main loop, however many writes fail after it: the
// writer tries again at the next change and says nothing until one succeeds.
void ReportRecoveryFailure(const std::string& folder, DWORD error)
{
    char reason[512] = "";
    const DWORD length = FormatMessageA(FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS, nullptr, error, 0,
                                        reason, sizeof reason, nullptr);
    size_t end = length < sizeof reason ? length : 0;
    while (end > 0 && (reason[end - 1] == '\r' || reason[end - 1] == '\n' || reason[end - 1] == ' ')) {
        --end;
    }
    reason[end] = '\0';
    if (end == 0) {
        snprintf(reason, sizeof reason, "%s", Text(IDS_UNKNOWN_ERROR));
    }
    char text[MAX_PATH + 1024];
    snprintf(text, sizeof text, Text(IDS_RECOVERY_FAILURE), folder.c_str(), reason, error);
    MessageBoxA(nullptr, text, "Error", MB_OK | MB_ICONWARNING | MB_TASKMODAL);
}

// "2026/12/08 10:15" in local time.
std::string LocalTimeText(unsigned long long time)
{
    FILETIME utc = {static_cast<DWORD>(time), static_cast<DWORD>(time >> 32)};
    FILETIME local;
    SYSTEMTIME parts;
    if (!FileTimeToLocalFileTime(&utc, &local) || !FileTimeToSystemTime(&local, &parts)) {
        return Text(IDS_UNKNOWN_TIME);
    }
    char text[32];
    snprintf(text, sizeof text, "%04u/%02u/%02u %02u:%02u", parts.wYear, parts.wMonth, parts.wDay, parts.wHour,
             parts.wMinute);
    return text;
}

// Where value i of the settings file keeps window `index`'s left and top.
int LayoutLeft(int index)
{
    return 2 + 2 * index;
}

COxelD3DTerrainEditorChildWndBase* MakeWindow(int index)
{
    switch (index) {
    case kEditMenuWindow:
        return new (std::nothrow) COxelD3DEditMenuWnd();
    case kSceneSettingWindow:
        return new (std::nothrow) COxelD3DSceneSettingWnd();
    case kBillboardSettingWindow:
        return new (std::nothrow) COxelD3DBillboardSettingWnd();
    case kHeightWindow:
        return new (std::nothrow) COxelD3DHeightWnd();
    case kTextureWindow:
        return new (std::nothrow) COxelD3DTextureWnd();
    case kTextureMappingWindow:
        return new (std::nothrow) COxelD3DTextureMappingWnd();
    case kMapEditWindow:
        return new (std::nothrow) COxelD3DMapEditWnd();
    default:
        return nullptr;
    }
}

}  // namespace

namespace {

// An accelerator table of the program's resources, as a list.
std::vector<ACCEL> LoadShortcuts(const char* name)
{
    std::vector<ACCEL> shortcuts;
    // A table loaded from the program's resources is freed with the program.
    if (HACCEL table = LoadAcceleratorsA(GetModuleHandleA(nullptr), name)) {
        shortcuts.resize(CopyAcceleratorTableA(table, nullptr, 0));
        CopyAcceleratorTableA(table, shortcuts.data(), static_cast<int>(shortcuts.size()));
    }
    return shortcuts;
}

}  // namespace

COxelD3DTerrainEditor* COxelD3DTerrainEditor::s_instance = nullptr;

COxelD3DTerrainEditor* COxelD3DTerrainEditor::GetInstance()
{
    if (!s_instance) {
        s_instance = new (std::nothrow) COxelD3DTerrainEditor();
    }
    return s_instance;
}

COxelD3DTerrainEditor* COxelD3DTerrainEditor::ExistingInstance()
{
    return s_instance;
}

void COxelD3DTerrainEditor::DestroyInstance()
{
    delete s_instance;
    s_instance = nullptr;
}

COxelD3DTerrainEditor::COxelD3DTerrainEditor()
    : m_mapWidth(0),
      m_mapHeight(0),
      m_terrain(nullptr),
      m_windows(),
      m_selectedChip(0),
      m_regions(*this),
      m_terrains(*this),
      m_mapFile(new (std::nothrow) COxelMapDataFile(this)),
      m_recovery(RecoveryFolderPath()),
      m_newMapCount(0),
      m_missingAtlas(),
      m_layoutSaved(false),
      m_heightTool(*this),
      m_chipTool(*this),
      m_billboardTool(*this),
      m_previewMouse(*this)
{
    m_shortcuts = LoadShortcuts("OXELAPP_EDITOR_ACCELERATORS");
    m_toolKeys = LoadShortcuts("OXELAPP_EDITOR_TOOLKEYS");
}

COxelD3DTerrainEditor::~COxelD3DTerrainEditor()
{
    for (COxelD3DTerrainEditorChildWndBase*& window : m_windows) {
        delete window;
        window = nullptr;
    }
    delete m_mapFile;
    m_mapFile = nullptr;
}

void COxelD3DTerrainEditor::PaintChild(HDC hdc, int index)
{
    if (COxelD3DTerrainEditorChildWndBase* window = Window(index)) {
        window->OnPaint(hdc);
    }
}

bool COxelD3DTerrainEditor::IsManagedWindow(int index)
{
    return index != kBillboardSettingWindow && index != kMapEditWindow;
}

COxelD3DTerrainEditorChildWndBase* COxelD3DTerrainEditor::Window(int index)
{
    return index >= 0 && index < kEditorWindowCount ? m_windows[index] : nullptr;
}

COxelD3DSceneSettingWnd* COxelD3DTerrainEditor::SceneSettingWindow()
{
    return dynamic_cast<COxelD3DSceneSettingWnd*>(Window(kSceneSettingWindow));
}

COxelD3DEditMenuWnd* COxelD3DTerrainEditor::EditMenu()
{
    return dynamic_cast<COxelD3DEditMenuWnd*>(Window(kEditMenuWindow));
}

void COxelD3DTerrainEditor::Initialize(COxelD3DTerrainChipManager* terrain, int width, int height)
{
    // The dialogs' lists are common controls: their class must exist before
    // any dialog is made, now or when the view menu opens one.
    INITCOMMONCONTROLSEX controls = {sizeof controls, ICC_LISTVIEW_CLASSES};
    InitCommonControlsEx(&controls);

    m_mapWidth = width;
    m_mapHeight = height;
    m_terrain = terrain;
    // Before the windows: the edit menu marks the tools when it is made.
    if (COxelSettingsFile* settings = COxelSettingsFile::GetInstance()) {
        m_tools.Load(*settings);
    }
    for (int index = 0; index < kEditorWindowCount; ++index) {
        if (!m_windows[index]) {
            m_windows[index] = MakeWindow(index);
        }
    }
    for (int index = 0; index < kEditorWindowCount; ++index) {
        COxelD3DTerrainEditorChildWndBase* window = m_windows[index];
        if (window && IsManagedWindow(index) && !window->m_hWnd) {
            window->Create();
            FileDropTarget::Register(window->m_hWnd);
        }
    }
    // Files dropped on any of the program's windows open there.
    FileDropTarget::Register(PreviewWindow());
    RestoreWindowLayout();
}

void COxelD3DTerrainEditor::ShowWindows()
{
    for (int index = 0; index < kEditorWindowCount; ++index) {
        if (IsManagedWindow(index) && Window(index)) {
            Window(index)->Show();
        }
    }
}

void COxelD3DTerrainEditor::PaintWindow(int index)
{
    HWND hwnd = GetWindowHandle(index);
    if (!hwnd) {
        return;
    }
    PAINTSTRUCT paint;
    HDC hdc = BeginPaint(hwnd, &paint);
    PaintChild(hdc, index);
    EndPaint(hwnd, &paint);
}

int COxelD3DTerrainEditor::DispatchMouse(int index, UINT message, int x, int y)
{
    COxelD3DTerrainEditorChildWndBase* window = Window(index);
    return window ? window->OnMouse(message, x, y) : 0;
}

void COxelD3DTerrainEditor::DispatchCommand(int index, int id)
{
    if (COxelD3DTerrainEditorChildWndBase* window = Window(index)) {
        window->OnCommand(id);
    }
}

void COxelD3DTerrainEditor::DispatchScroll(int index, LPARAM bar, int code, int position, int vertical)
{
    if (COxelD3DTerrainEditorChildWndBase* window = Window(index)) {
        window->OnScroll(bar, code, position, vertical);
    }
}

void COxelD3DTerrainEditor::DispatchWheel(int index, bool tilted, int delta, bool shift)
{
    COxelD3DTerrainEditorChildWndBase* window = Window(index);
    if (!window) {
        return;
    }
    // Shift turns the wheel sideways, as in every Windows view.
    const WheelTurn turn = WheelTurnOf(tilted, delta, shift);
    window->OnWheel(turn.delta, turn.across);
}

void COxelD3DTerrainEditor::DispatchZoom(int index, int delta, POINT anchor)
{
    if (COxelD3DTerrainEditorChildWndBase* window = Window(index)) {
        window->OnZoom(delta, anchor);
    }
}

void COxelD3DTerrainEditor::DispatchNotify(int index, WPARAM wParam, LPARAM lParam)
{
    if (COxelD3DTerrainEditorChildWndBase* window = Window(index)) {
        window->OnNotify(wParam, lParam);
    }
}

void COxelD3DTerrainEditor::DispatchSize(int index, UINT type, int width, int height)
{
    if (COxelD3DTerrainEditorChildWndBase* window = Window(index)) {
        window->OnSize(type, width, height);
    }
}

bool COxelD3DTerrainEditor::TranslateDialogMessage(MSG* message)
{
    if (!s_instance) {
        return false;
    }
    for (int index : {kSceneSettingWindow, kBillboardSettingWindow}) {
        HWND dialog = s_instance->GetWindowHandle(index);
        if (dialog && IsDialogMessageA(dialog, message)) {
            return true;
        }
    }
    return false;
}

HWND COxelD3DTerrainEditor::GetWindowHandle(int index)
{
    COxelD3DTerrainEditorChildWndBase* window = Window(index);
    return window ? window->m_hWnd : nullptr;
}

void COxelD3DTerrainEditor::NewMap(int width, int height)
{
    EndStrokes();
    ++m_newMapCount;
    // The copy stays on the clipboard for the new map.
    m_regions.Forget();
    m_missingAtlas[0] = '\0';
    m_mapWidth = width;
    m_mapHeight = height;
    if (m_terrain) {
        m_terrain->Release();
        m_terrain->Create(width, height);
    }
    KeepPickInAtlas();
    // The new atlas bitmap may reuse the old one's handle.
    m_turnedTiles.Release();
    m_terrains.AtlasChanged();
    if (COxelD3DSceneSettingWnd* scene = SceneSettingWindow()) {
        scene->DeleteAllPlanes();
    }
    // A new map starts a history of its own.
    ForgetHistory();
    // Windows opened from the menu show the map too and are rebuilt with it.
    for (int index = 0; index < kEditorWindowCount; ++index) {
        COxelD3DTerrainEditorChildWndBase* window = Window(index);
        if (window && (IsManagedWindow(index) || window->m_hWnd)) {
            window->Refresh();
        }
    }
    FollowPreviewPointer();
}

bool COxelD3DTerrainEditor::ReplaceHeights(const std::vector<double>& heights)
{
    if (!HasMap() || heights.size() != static_cast<size_t>(m_mapWidth) * m_mapHeight) {
        return false;
    }
    // One step for the whole map: a single undo takes every height back.
    Perform(std::make_unique<WholeMapStep>([heights](EditedMap& map) {
        COxelD3DTerrainChipManager& terrain = *map.terrain;
        for (int row = 0; row < terrain.m_mapHeight; ++row) {
            for (int column = 0; column < terrain.m_mapWidth; ++column) {
                terrain.StoreHeight(column, row, heights[static_cast<size_t>(row) * terrain.m_mapWidth + column]);
            }
        }
        // Every quad and normal once, not the neighbourhood of each vertex.
        terrain.UpdateAllCells();
    }));
    return true;
}

void COxelD3DTerrainEditor::OpenMapFile(const char* path)
{
    if (auto* menu = EditMenu()) {
        menu->OpenMapFile(path);
    }
}

void COxelD3DTerrainEditor::OpenTextureImage(const char* path)
{
    char chosen[MAX_PATH];
    if (!path) {
        if (!AskForFileToOpen(GetWindowHandle(kTextureWindow), kBitmapFileType, Text(IDS_OPEN_IMAGE_TITLE), chosen)) {
            return;
        }
        path = chosen;
    }
    // A file that cannot be read is reported by the chip manager and changes
    // nothing; a new atlas redraws every window that shows chips.
    WaitCursor wait;
    Perform(std::make_unique<AtlasStep>(path));
}

void COxelD3DTerrainEditor::OpenWindow(int index)
{
    COxelD3DTerrainEditorChildWndBase* window = Window(index);
    if (!window) {
        return;
    }
    if (!window->m_hWnd) {
        window->Create();
        if (!window->m_hWnd) {
            return;
        }
        FileDropTarget::Register(window->m_hWnd);
        RestoreWindowPlace(index);
    }
    ShowWindow(window->m_hWnd, IsIconic(window->m_hWnd) ? SW_RESTORE : SW_SHOW);
    SetForegroundWindow(window->m_hWnd);
}

void COxelD3DTerrainEditor::AddPlane()
{
    if (COxelD3DSceneSettingWnd* scene = SceneSettingWindow()) {
        scene->AddPlaneEntry();
    }
}

void COxelD3DTerrainEditor::SetPlaneVisible(int id, int visible)
{
    COxelD3DSceneBase* scene = Scene();
    if (!scene) {
        return;
    }
    if (COxelD3DTerrainPlane* plane = scene->FindPlane(id)) {
        plane->m_visible = visible;
    }
}

void COxelD3DTerrainEditor::SaveWindowLayout()
{
    if (m_layoutSaved) {
        return;
    }
    m_layoutSaved = true;
    COxelSettingsFile* settings = COxelSettingsFile::GetInstance();
    if (!settings) {
        return;
    }
    int* values = settings->m_values;
    // A window that was never made keeps the place read at start, so it opens
    // there once it is made in a later run.
    if (HWND preview = PreviewWindow()) {
        const RECT rect = RestoredWindowRect(preview);
        values[0] = rect.left;
        values[1] = rect.top;
    }
    for (int index = 0; index < kEditorWindowCount; ++index) {
        if (HWND hwnd = GetWindowHandle(index)) {
            const RECT rect = RestoredWindowRect(hwnd);
            values[LayoutLeft(index)] = rect.left;
            values[LayoutLeft(index) + 1] = rect.top;
        }
    }
    if (auto* mapping = static_cast<COxelD3DTextureMappingWnd*>(Window(kTextureMappingWindow))) {
        mapping->GetCellSize(&values[kCellWidthValue], &values[kCellHeightValue]);
    }
    if (HWND mapEdit = GetWindowHandle(kMapEditWindow)) {
        const RECT rect = RestoredWindowRect(mapEdit);
        values[kMapEditWidthValue] = rect.right - rect.left;
        values[kMapEditHeightValue] = rect.bottom - rect.top;
    }
    settings->Save();
    m_tools.Save(*settings);
    if (auto* heights = static_cast<COxelD3DHeightWnd*>(Window(kHeightWindow))) {
        settings->WriteInt(kHeightViewSection, kSquareSizeKey, heights->SquareSize());
    }
}

void COxelD3DTerrainEditor::RestoreWindowLayout()
{
    COxelSettingsFile* settings = COxelSettingsFile::GetInstance();
    if (!settings) {
        return;
    }
    const int* values = settings->m_values;
    for (int index = 0; index < kEditorWindowCount; ++index) {
        RestoreWindowPlace(index);
    }
    if (auto* mapping = static_cast<COxelD3DTextureMappingWnd*>(Window(kTextureMappingWindow))) {
        mapping->SetCellSize(values[kCellWidthValue] > 0 ? values[kCellWidthValue] : kDefaultCellSize,
                             values[kCellHeightValue] > 0 ? values[kCellHeightValue] : kDefaultCellSize);
        mapping->Refresh();
    }
    if (auto* heights = static_cast<COxelD3DHeightWnd*>(Window(kHeightWindow))) {
        heights->SetSquareSize(settings->ReadInt(kHeightViewSection, kSquareSizeKey));
        heights->Refresh();
    }
}

void COxelD3DTerrainEditor::RestoreWindowPlace(int index)
{
    COxelSettingsFile* settings = COxelSettingsFile::GetInstance();
    HWND hwnd = GetWindowHandle(index);
    RECT rect;
    if (!settings || !hwnd || !GetWindowRect(hwnd, &rect)) {
        return;
    }
    const int* values = settings->m_values;
    SIZE size = {rect.right - rect.left, rect.bottom - rect.top};
    if (index == kMapEditWindow) {
        // No larger than the screens: the window then shrinks to the map's size.
        size.cx = values[kMapEditWidthValue] > 0 ? std::min(values[kMapEditWidthValue], GetSystemMetrics(SM_CXVIRTUALSCREEN))
                                                 : kDefaultMapEditSize.cx;
        size.cy = values[kMapEditHeightValue] > 0 ? std::min(values[kMapEditHeightValue], GetSystemMetrics(SM_CYVIRTUALSCREEN))
                                                  : kDefaultMapEditSize.cy;
    }
    const POINT place =
        VisibleWindowPosition(values[LayoutLeft(index)], values[LayoutLeft(index) + 1], size.cx, size.cy);
    MoveWindow(hwnd, place.x, place.y, size.cx, size.cy, TRUE);
}

bool COxelD3DTerrainEditor::Perform(std::unique_ptr<MapStep> step, bool continuesStroke)
{
    if (!step || !HasMap()) {
        return false;
    }
    EditedMap map = Map();
    if (!step->Redo(map)) {
        return false;
    }
    const MapChange change = step->Changed();
    m_history.Add(std::move(step), continuesStroke);
    NotifyWindows(change);
    return true;
}

void COxelD3DTerrainEditor::Undo()
{
    if (!HasMap()) {
        return;
    }
    // A stroke under way is one step: it ends first, and is undone whole.
    EndStrokes();
    EditedMap map = Map();
    if (MapStep* step = m_history.Undo(map)) {
        MapChange change = step->Changed();
        change.replayed = true;
        NotifyWindows(change);
    }
}

void COxelD3DTerrainEditor::Redo()
{
    if (!HasMap()) {
        return;
    }
    // A stroke under way ends first: no redo comes between its pieces.
    EndStrokes();
    EditedMap map = Map();
    if (MapStep* step = m_history.Redo(map)) {
        MapChange change = step->Changed();
        change.replayed = true;
        NotifyWindows(change);
    }
}

bool COxelD3DTerrainEditor::IsModified() const
{
    return m_history.IsModified();
}

void COxelD3DTerrainEditor::MarkSaved()
{
    m_history.MarkSaved();
    m_recovery.Remove();
}

void COxelD3DTerrainEditor::ForgetHistory()
{
    m_history.Clear();
    m_recovery.Drop();
    UpdateEditCommands();
}

void COxelD3DTerrainEditor::MarkUnsaved()
{
    m_history.MarkUnsaved();
    UpdateEditCommands();
    m_recovery.MapChanged(IsModified(), timeGetTime());
    // The ground under a pointer resting on the preview may have moved.
    FollowPreviewPointer();
}

void COxelD3DTerrainEditor::OfferRecoveredWork()
{
    m_recovery.PruneDeclined();
    RecoveryCopy::LeftCopy left;
    if (!m_recovery.ClaimLeftCopy(&left)) {
        return;
    }
    const std::string time = LocalTimeText(left.note.time);
    char text[MAX_PATH + 512];
    if (!left.note.mapFile.empty()) {
        snprintf(text, sizeof text, Text(IDS_RECOVERED_NAMED_MAP), left.note.mapFile.c_str(), time.c_str());
    } else {
        snprintf(text, sizeof text, Text(IDS_RECOVERED_MAP), time.c_str());
    }
    // A damaged copy has its message from the loader, and the start map stays.
    if (MessageBoxA(nullptr, text, kPromptCaption, MB_YESNO | MB_ICONQUESTION | MB_TASKMODAL) != IDYES ||
        !m_mapFile || FAILED(m_mapFile->Load(left.mapPath.c_str()))) {
        m_recovery.DiscardClaimed();
        return;
    }
    m_recovery.AdoptClaimed();
    // The map is not its file's: it counts as changed, and saves to that file.
    m_history.MarkUnsaved();
    UpdateEditCommands();
    if (auto* menu = EditMenu()) {
        CopyPath(menu->m_fileName, sizeof menu->m_fileName, left.note.mapFile.c_str());
        if (!left.note.mapFile.empty()) {
            menu->Remember(left.note.mapFile.c_str());
        }
    }
}

void COxelD3DTerrainEditor::EndSession()
{
    SaveWindowLayout();
    m_recovery.Drop();
}

DWORD COxelD3DTerrainEditor::KeepRecoveryCopy(DWORD now)
{
    COxelD3DTerrainEditor* editor = s_instance;
    if (!editor) {
        return INFINITE;
    }
    RecoveryCopy& recovery = editor->m_recovery;
    DWORD error = 0;
    if (recovery.TakeFailure(&error)) {
        ReportRecoveryFailure(recovery.Folder(), error);
    }
    const DWORD wait = recovery.TimeToWrite(now);
    if (wait != 0) {
        return wait;
    }
    if (MouseButtonHeldInProgram()) {
        return kButtonHeldRetry;
    }
    MapFileContents map;
    if (!editor->IsModified() || !editor->m_mapFile || !editor->m_mapFile->Gather(&map)) {
        recovery.Remove();
        return INFINITE;
    }
    auto* menu = editor->EditMenu();
    recovery.Write(map, menu ? menu->m_fileName : "");
    return recovery.TimeToWrite(now);
}

bool COxelD3DTerrainEditor::ConfirmDiscard()
{
    if (!IsModified()) {
        return true;
    }
    auto* menu = EditMenu();
    char text[MAX_PATH + 256];
    if (menu && menu->m_fileName[0]) {
        snprintf(text, sizeof text, Text(IDS_UNSAVED_NAMED_MAP), menu->m_fileName);
    } else {
        snprintf(text, sizeof text, "%s", Text(IDS_UNSAVED_MAP));
    }
    // Task-modal: no other window of the program can start a second discard
    // while the question is open.
    switch (MessageBoxA(nullptr, text, kPromptCaption, MB_YESNOCANCEL | MB_ICONWARNING | MB_TASKMODAL)) {
    case IDYES:
        return menu && menu->SaveMap();
    case IDNO:
        // The recovery copy goes when the map really goes (a new map, a map
        // loaded, the program's end): a load that is then refused keeps the
        // changes, and so must keep their copy. A restored map's copy is then
        // kept among the declined ones: it is brought up to the map as it is
        // now, not as it was at the last copy, seconds ago.
        if (m_recovery.IsRestored()) {
            MapFileContents map;
            if (m_mapFile && m_mapFile->Gather(&map)) {
                m_recovery.Write(map, menu ? menu->m_fileName : "");
                m_recovery.WaitForWrite();
            }
        }
        return true;
    default:
        return false;
    }
}

void COxelD3DTerrainEditor::NotifyWindows(const MapChange& change)
{
    if (change.kind == MapChange::kAtlas) {
        KeepPickInAtlas();
        m_terrains.AtlasChanged();
        // The new atlas bitmap may reuse the old one's handle.
        m_turnedTiles.Release();
        // The windows that draw chips from the atlas start afresh: the texture
        // window takes the atlas's size, and the others keep drawn copies of
        // their cells that a new atlas makes stale.
        for (int index : {kTextureWindow, kTextureMappingWindow, kMapEditWindow}) {
            if (COxelD3DTerrainEditorChildWndBase* window = Window(index)) {
                window->Refresh();
            }
        }
    }
    for (COxelD3DTerrainEditorChildWndBase* window : m_windows) {
        if (window && window->m_hWnd) {
            window->OnMapChanged(change);
        }
    }
    UpdateEditCommands();
    m_recovery.MapChanged(IsModified(), timeGetTime());
    // The ground under a pointer resting on the preview may have moved.
    FollowPreviewPointer();
}

void COxelD3DTerrainEditor::UpdateEditCommands()
{
    if (auto* menu = EditMenu()) {
        menu->ShowHistory(m_history.CanUndo(), m_history.CanRedo());
    }
}

bool COxelD3DTerrainEditor::TranslateShortcut(MSG* message)
{
    COxelD3DTerrainEditor* editor = s_instance;
    if (!editor || (message->message != WM_KEYDOWN && message->message != WM_SYSKEYDOWN)) {
        return false;
    }
    HWND menu = editor->GetWindowHandle(kEditMenuWindow);
    const int command = editor->ShortcutCommand(*message);
    if (!menu || !command) {
        return false;
    }
    // No command comes between a stroke's pieces: the stroke is one step,
    // whole before a file is written or the map is replaced.
    editor->EndStrokes();
    SendMessageA(menu, WM_COMMAND, MAKEWPARAM(command, 1), 0);
    return true;
}

int COxelD3DTerrainEditor::ShortcutCommand(const MSG& message) const
{
    const auto held = [](int key) { return GetKeyState(key) < 0; };
    const auto find = [&](const std::vector<ACCEL>& table) {
        for (const ACCEL& shortcut : table) {
            if ((shortcut.fVirt & FVIRTKEY) && shortcut.key == message.wParam &&
                held(VK_CONTROL) == ((shortcut.fVirt & FCONTROL) != 0) &&
                held(VK_SHIFT) == ((shortcut.fVirt & FSHIFT) != 0) && held(VK_MENU) == ((shortcut.fVirt & FALT) != 0)) {
                return static_cast<int>(shortcut.cmd);
            }
        }
        return 0;
    };
    char className[16] = {};
    GetClassNameA(message.hwnd, className, sizeof className);
    const bool textBox = lstrcmpiA(className, "Edit") == 0;
    if (const int command = find(m_shortcuts)) {
        // A text box cuts, copies, pastes and selects its own text.
        const bool textCommand = command == COxelRegionEditing::kCut || command == COxelRegionEditing::kCopy ||
                                 command == COxelRegionEditing::kPaste || command == COxelRegionEditing::kSelectAll;
        return textBox && textCommand ? 0 : command;
    }
    // A stamp turns with "R" and ends with Esc, as long as there is one.
    if (m_regions.Stamping() && !textBox && !held(VK_CONTROL) && !held(VK_MENU) &&
        (message.wParam == 'R' || message.wParam == VK_ESCAPE)) {
        return message.wParam == 'R' ? COxelRegionEditing::kTurnStamp : COxelRegionEditing::kEndStamp;
    }
    // A plain key in a text box is the box's text.
    return textBox ? 0 : find(m_toolKeys);
}

void COxelD3DTerrainEditor::EndStrokes()
{
    HWND captured = GetCapture();
    if (captured && captured == PreviewWindow()) {
        ReleaseCapture();
        return;
    }
    for (int index = 0; captured && index < kEditorWindowCount; ++index) {
        if (captured == GetWindowHandle(index)) {
            // The window hears of it (WM_CAPTURECHANGED) and ends its stroke or drag.
            ReleaseCapture();
            return;
        }
    }
}

EditedMap COxelD3DTerrainEditor::Map()
{
    return EditedMap{m_terrain, Scene(), m_missingAtlas};
}

void COxelD3DTerrainEditor::KeepPickInAtlas()
{
    if (m_terrain && (m_selectedChip < 0 || m_selectedChip >= m_terrain->m_chipColumns * m_terrain->m_chipRows)) {
        m_selectedChip = 0;
    }
}

const TurnedAtlas* COxelD3DTerrainEditor::TurnedTiles()
{
    if (!m_terrain) {
        return nullptr;
    }
    const bool built = m_turnedTiles.Update(m_terrain->m_chipImage, m_terrain->m_chipColumns, m_terrain->m_chipRows,
                                            m_terrain->m_chipRowRest);
    return built ? &m_turnedTiles : nullptr;
}

bool COxelD3DTerrainEditor::HasMap() const
{
    return m_terrain && m_terrain->m_cells;
}

std::string COxelD3DTerrainEditor::MapFileName()
{
    COxelD3DEditMenuWnd* menu = EditMenu();
    return menu ? menu->m_fileName : "";
}

void COxelD3DTerrainEditor::ShowStatus(const std::string& text)
{
    if (COxelD3DEditMenuWnd* menu = EditMenu()) {
        menu->SetStatusText(text.c_str());
    }
}

void COxelD3DTerrainEditor::PlaceCursor(int column, int row)
{
    COxelD3DSceneBase* scene = Scene();
    if (!scene || !HasMap()) {
        return;
    }
    const int size = m_tools.m_brushSize;
    const int first = -(size / 2);
    double lowest = m_terrain->GetHeight(WrapIndex(column, m_mapWidth), WrapIndex(row, m_mapHeight));
    for (int dy = first; dy <= first + size; ++dy) {
        for (int dx = first; dx <= first + size; ++dx) {
            // The grid wraps only columns and rows that are not negative.
            lowest = std::min(lowest, m_terrain->GetHeight(WrapIndex(column + dx, m_mapWidth),
                                                           WrapIndex(row + dy, m_mapHeight)));
        }
    }
    scene->m_cursorPosition[0] = static_cast<float>(column + first);
    scene->m_cursorPosition[1] = static_cast<float>(lowest);
    scene->m_cursorPosition[2] = static_cast<float>(row + first);
    scene->m_cursorSize = size;
}

COxelTool& COxelD3DTerrainEditor::ActiveTool(MapPoint::Kind kind)
{
    if (COxelTool* region = m_regions.Tool()) {
        return *region;
    }
    if (kind == MapPoint::kVertex) {
        return m_heightTool;
    }
    if (COxelTool* terrain = m_terrains.Tool()) {
        return *terrain;
    }
    if (m_tools.m_placeBillboard) {
        return m_billboardTool;
    }
    return m_chipTool;
}

COxelTool& COxelD3DTerrainEditor::MapEditTool(MapPoint::Kind kind)
{
    COxelTool* terrain = m_terrains.Tool();
    return terrain && !m_regions.Tool() ? *terrain : ActiveTool(kind);
}

COxelTool& COxelD3DTerrainEditor::PreviewTool(int mode)
{
    if (mode == COxelPaintTools::kPreviewHeights) {
        return m_heightTool;
    }
    if (mode == COxelPaintTools::kPreviewBillboards) {
        return m_billboardTool;
    }
    if (COxelTool* terrain = m_terrains.Tool()) {
        return *terrain;
    }
    return m_chipTool;
}

bool COxelD3DTerrainEditor::OnPreviewMouse(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
{
    return m_previewMouse.OnMessage(window, message, wParam, lParam);
}

void COxelD3DTerrainEditor::FollowPreviewPointer()
{
    m_previewMouse.Follow(PreviewWindow());
}

int COxelD3DTerrainEditor::PickedBillboard()
{
    auto* dialog = dynamic_cast<COxelD3DBillboardSettingWnd*>(Window(kBillboardSettingWindow));
    return dialog ? dialog->PickedBillboard() : -1;
}

void COxelD3DTerrainEditor::MoveCameraOver(float x, float z)
{
    COxelD3DSceneBase* scene = Scene();
    if (scene && scene->m_camera && HasMap()) {
        const D3DXVECTOR3 eye = scene->m_camera->GetPosition();
        scene->m_camera->Move(x - eye.x, 0.0f, z - eye.z);
    }
}

COxelD3DSceneBase* COxelD3DTerrainEditor::Scene()
{
    return g_application ? g_application->m_scene : nullptr;
}

HWND COxelD3DTerrainEditor::PreviewWindow()
{
    return g_application ? g_application->m_hWnd : nullptr;
}
