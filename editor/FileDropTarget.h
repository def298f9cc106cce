#pragma once

#include <windows.h>

#include <ole2.h>

// Takes the files dragged onto one window through OLE drag and drop, and
// hands each drop to the window as a WM_DROPFILES, so that one handler reads
// every drop however it came.
//
// WM_DROPFILES alone is not enough: when the drop is taken by another process
// (the one that shows the desktop), that process posts the message with a
// handle to its own memory, which this process cannot read. Through OLE the
// file list is copied into this process before the window sees it.
class FileDropTarget final : public IDropTarget {
public:
    // Lets `window` take dropped files, as WM_DROPFILES and, when the thread
    // has set up OLE, through OLE as well.
    static void Register(HWND window);
    // Called when the window is being destroyed.
    static void Revoke(HWND window);

    HRESULT STDMETHODCALLTYPE QueryInterface(REFIID id, void** object) override;
    ULONG STDMETHODCALLTYPE AddRef() override;
    ULONG STDMETHODCALLTYPE Release() override;
    // Called when a drag enters the window: it is taken when it carries files.
    HRESULT STDMETHODCALLTYPE DragEnter(IDataObject* data, DWORD keys, POINTL point, DWORD* effect) override;
    // Called while the drag moves over the window.
    HRESULT STDMETHODCALLTYPE DragOver(DWORD keys, POINTL point, DWORD* effect) override;
    // Called when the drag leaves the window or is cancelled.
    HRESULT STDMETHODCALLTYPE DragLeave() override;
    // Called when the files are dropped on the window.
    HRESULT STDMETHODCALLTYPE Drop(IDataObject* data, DWORD keys, POINTL point, DWORD* effect) override;

private:
    explicit FileDropTarget(HWND window);
    ~FileDropTarget() = default;

    LONG m_references;
    HWND m_window;
    // What the drag now over the window would do: copy when it carries files.
    DWORD m_effect;
};
