#pragma once

#include <windows.h>

// Paired GDI calls as scoped objects, so every paint and every click gives back
// what it took on every path: the editor runs for hours, and a handle lost per
// paint adds up.

// GetDC / ReleaseDC.
class ScopedWindowDC {
public:
    explicit ScopedWindowDC(HWND hwnd) : m_hwnd(hwnd), m_dc(GetDC(hwnd)) {}
    ~ScopedWindowDC() { ReleaseDC(m_hwnd, m_dc); }
    ScopedWindowDC(const ScopedWindowDC&) = delete;
    ScopedWindowDC& operator=(const ScopedWindowDC&) = delete;
    HDC get() const { return m_dc; }

private:
    HWND m_hwnd;
    HDC m_dc;
};

// CreateCompatibleDC / DeleteDC.
class ScopedMemoryDC {
public:
    explicit ScopedMemoryDC(HDC reference) : m_dc(CreateCompatibleDC(reference)) {}
    ~ScopedMemoryDC()
    {
        if (m_dc) {
            DeleteDC(m_dc);
        }
    }
    ScopedMemoryDC(const ScopedMemoryDC&) = delete;
    ScopedMemoryDC& operator=(const ScopedMemoryDC&) = delete;
    HDC get() const { return m_dc; }

private:
    HDC m_dc;
};

// SelectObject, and the previous object put back at the end of the scope.
class ScopedSelection {
public:
    ScopedSelection(HDC dc, HGDIOBJ object) : m_dc(dc), m_previous(SelectObject(dc, object)) {}
    ~ScopedSelection()
    {
        if (m_previous) {
            SelectObject(m_dc, m_previous);
        }
    }
    ScopedSelection(const ScopedSelection&) = delete;
    ScopedSelection& operator=(const ScopedSelection&) = delete;

private:
    HDC m_dc;
    HGDIOBJ m_previous;
};

// A pen, brush or bitmap this scope made and deletes; deselect it first.
template <class Handle>
class ScopedGdiObject {
public:
    explicit ScopedGdiObject(Handle handle) : m_handle(handle) {}
    ~ScopedGdiObject()
    {
        if (m_handle) {
            DeleteObject(m_handle);
        }
    }
    ScopedGdiObject(const ScopedGdiObject&) = delete;
    ScopedGdiObject& operator=(const ScopedGdiObject&) = delete;
    Handle get() const { return m_handle; }

private:
    Handle m_handle;
};
