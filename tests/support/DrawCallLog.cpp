#include "support/DrawCallLog.h"

#include "support/MethodTable.h"

namespace {

using DrawPrimitiveFn = HRESULT(STDMETHODCALLTYPE*)(IDirect3DDevice9*, D3DPRIMITIVETYPE, UINT, UINT);
using DrawIndexedPrimitiveFn = HRESULT(STDMETHODCALLTYPE*)(IDirect3DDevice9*, D3DPRIMITIVETYPE, INT, UINT, UINT, UINT,
                                                           UINT);
using LockFn = HRESULT(STDMETHODCALLTYPE*)(IDirect3DVertexBuffer9*, UINT, UINT, void**, DWORD);

// Slots in the COM method tables, fixed by the interfaces' declarations.
const int kDrawPrimitiveSlot = 81;
const int kDrawIndexedPrimitiveSlot = 82;
const int kVertexBufferLockSlot = 11;

DrawCallLog* g_log = nullptr;
void** g_deviceTable = nullptr;
void** g_bufferTable = nullptr;
DrawPrimitiveFn g_drawPrimitive = nullptr;
DrawIndexedPrimitiveFn g_drawIndexedPrimitive = nullptr;
LockFn g_lock = nullptr;

HRESULT STDMETHODCALLTYPE LogDrawPrimitive(IDirect3DDevice9* device, D3DPRIMITIVETYPE type, UINT start, UINT count)
{
    g_log->draws.push_back(DrawCallLog::Draw{type, false, start, 0, 0, 0, count});
    return g_drawPrimitive(device, type, start, count);
}

HRESULT STDMETHODCALLTYPE LogDrawIndexedPrimitive(IDirect3DDevice9* device, D3DPRIMITIVETYPE type, INT base,
                                                  UINT minimum, UINT vertices, UINT start, UINT count)
{
    g_log->draws.push_back(DrawCallLog::Draw{type, true, minimum, base, vertices, start, count});
    return g_drawIndexedPrimitive(device, type, base, minimum, vertices, start, count);
}

HRESULT STDMETHODCALLTYPE LogLock(IDirect3DVertexBuffer9* buffer, UINT offset, UINT size, void** data, DWORD flags)
{
    g_log->locks.push_back(DrawCallLog::Lock{offset, size});
    return g_lock(buffer, offset, size, data, flags);
}

}  // namespace

DrawCallLog::DrawCallLog(IDirect3DDevice9* device)
{
    if (g_log || !device) {
        return;
    }
    g_log = this;
    g_deviceTable = *reinterpret_cast<void***>(device);
    g_drawPrimitive = reinterpret_cast<DrawPrimitiveFn>(
        SwapMethod(g_deviceTable, kDrawPrimitiveSlot, reinterpret_cast<void*>(&LogDrawPrimitive)));
    g_drawIndexedPrimitive = reinterpret_cast<DrawIndexedPrimitiveFn>(
        SwapMethod(g_deviceTable, kDrawIndexedPrimitiveSlot, reinterpret_cast<void*>(&LogDrawIndexedPrimitive)));
    IDirect3DVertexBuffer9* buffer = nullptr;
    if (SUCCEEDED(device->CreateVertexBuffer(32, 0, 0, D3DPOOL_MANAGED, &buffer, nullptr))) {
        g_bufferTable = *reinterpret_cast<void***>(buffer);
        g_lock =
            reinterpret_cast<LockFn>(SwapMethod(g_bufferTable, kVertexBufferLockSlot, reinterpret_cast<void*>(&LogLock)));
        buffer->Release();
    }
}

DrawCallLog::~DrawCallLog()
{
    if (g_log != this) {
        return;
    }
    SwapMethod(g_deviceTable, kDrawPrimitiveSlot, reinterpret_cast<void*>(g_drawPrimitive));
    SwapMethod(g_deviceTable, kDrawIndexedPrimitiveSlot, reinterpret_cast<void*>(g_drawIndexedPrimitive));
    if (g_bufferTable) {
        SwapMethod(g_bufferTable, kVertexBufferLockSlot, reinterpret_cast<void*>(g_lock));
    }
    g_deviceTable = nullptr;
    g_bufferTable = nullptr;
    g_log = nullptr;
}

void DrawCallLog::Clear()
{
    draws.clear();
    locks.clear();
}
