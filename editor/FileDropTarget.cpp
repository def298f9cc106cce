#include "editor/FileDropTarget.h"

#include <shellapi.h>
#include <shlobj.h>

#include <cstring>
#include <new>

namespace {

FORMATETC FileListFormat()
{
    return {CF_HDROP, nullptr, DVASPECT_CONTENT, -1, TYMED_HGLOBAL};
}

// A copy of the file list `source` in this process's memory, its drop point
// set as Explorer sets it: in `window`'s client coordinates, or on the screen
// when the point lies outside the client area. Null when the list is too short
// to hold its header or memory runs out.
HGLOBAL CopyFileList(HGLOBAL source, HWND window, POINTL point)
{
    const SIZE_T size = GlobalSize(source);
    if (size < sizeof(DROPFILES)) {
        return nullptr;
    }
    HGLOBAL copy = GlobalAlloc(GMEM_MOVEABLE, size);
    void* to = copy ? GlobalLock(copy) : nullptr;
    const void* from = to ? GlobalLock(source) : nullptr;
    if (!from) {
        if (to) {
            GlobalUnlock(copy);
        }
        if (copy) {
            GlobalFree(copy);
        }
        return nullptr;
    }
    memcpy(to, from, size);
    GlobalUnlock(source);
    auto* header = static_cast<DROPFILES*>(to);
    POINT at = {point.x, point.y};
    RECT client;
    ScreenToClient(window, &at);
    GetClientRect(window, &client);
    header->fNC = !PtInRect(&client, at);
    header->pt = header->fNC ? POINT{point.x, point.y} : at;
    GlobalUnlock(copy);
    return copy;
}

}  // namespace

void FileDropTarget::Register(HWND window)
{
    DragAcceptFiles(window, TRUE);
    FileDropTarget* target = new (std::nothrow) FileDropTarget(window);
    if (!target) {
        return;
    }
    // Fails on a thread without OLE (the tests' windows): then WM_DROPFILES alone.
    RegisterDragDrop(window, target);
    target->Release();
}

void FileDropTarget::Revoke(HWND window)
{
    RevokeDragDrop(window);
}

FileDropTarget::FileDropTarget(HWND window) : m_references(1), m_window(window), m_effect(DROPEFFECT_NONE) {}

HRESULT FileDropTarget::QueryInterface(REFIID id, void** object)
{
    if (!object) {
        return E_POINTER;
    }
    if (IsEqualIID(id, IID_IUnknown) || IsEqualIID(id, IID_IDropTarget)) {
        *object = static_cast<IDropTarget*>(this);
        AddRef();
        return S_OK;
    }
    *object = nullptr;
    return E_NOINTERFACE;
}

ULONG FileDropTarget::AddRef()
{
    return static_cast<ULONG>(InterlockedIncrement(&m_references));
}

ULONG FileDropTarget::Release()
{
    const LONG left = InterlockedDecrement(&m_references);
    if (left == 0) {
        delete this;
    }
    return static_cast<ULONG>(left);
}

HRESULT FileDropTarget::DragEnter(IDataObject* data, DWORD, POINTL, DWORD* effect)
{
    FORMATETC format = FileListFormat();
    // What is dropped is judged once it is dropped, with a message that says why
    // a file is refused: any file list is taken.
    m_effect = data && data->QueryGetData(&format) == S_OK ? DROPEFFECT_COPY : DROPEFFECT_NONE;
    *effect = *effect & m_effect;
    return S_OK;
}

HRESULT FileDropTarget::DragOver(DWORD, POINTL, DWORD* effect)
{
    *effect = *effect & m_effect;
    return S_OK;
}

HRESULT FileDropTarget::DragLeave()
{
    m_effect = DROPEFFECT_NONE;
    return S_OK;
}

HRESULT FileDropTarget::Drop(IDataObject* data, DWORD, POINTL point, DWORD* effect)
{
    m_effect = DROPEFFECT_NONE;
    FORMATETC format = FileListFormat();
    STGMEDIUM medium = {};
    HGLOBAL list = nullptr;
    if (data && SUCCEEDED(data->GetData(&format, &medium))) {
        if (medium.tymed == TYMED_HGLOBAL) {
            list = CopyFileList(medium.hGlobal, m_window, point);
        }
        ReleaseStgMedium(&medium);
    }
    // The window opens the files once this call has returned, so that the
    // dragging program is not kept waiting on a question or a message. A list
    // that could not be had comes as a null handle: the window says so.
    if (!PostMessageA(m_window, WM_DROPFILES, reinterpret_cast<WPARAM>(list), 0)) {
        if (list) {
            GlobalFree(list);
        }
        list = nullptr;
    }
    *effect = list ? *effect & DROPEFFECT_COPY : DROPEFFECT_NONE;
    return S_OK;
}
