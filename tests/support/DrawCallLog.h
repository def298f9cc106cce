#pragma once

#include <windows.h>

#include <d3d9.h>

#include <vector>

// Records every draw call and vertex-buffer lock of the process while it lives,
// for tests and benchmarks that check how a picture is drawn rather than what
// it shows. It patches the method tables that all devices and all vertex
// buffers of the process share, and restores them when destroyed; only one
// may exist at a time.
class DrawCallLog {
public:
    struct Draw {
        D3DPRIMITIVETYPE type;
        bool indexed;
        // DrawPrimitive: the first vertex. DrawIndexedPrimitive: the lowest
        // index, with the base vertex, vertex and start-index counts beside it.
        UINT firstVertex;
        INT baseVertex;
        UINT vertexCount;
        UINT startIndex;
        UINT primitiveCount;
    };
    struct Lock {
        UINT offset;
        UINT size;
    };

    // The device whose method table is patched (every device shares it).
    explicit DrawCallLog(IDirect3DDevice9* device);
    ~DrawCallLog();
    DrawCallLog(const DrawCallLog&) = delete;
    DrawCallLog& operator=(const DrawCallLog&) = delete;

    void Clear();

    std::vector<Draw> draws;
    std::vector<Lock> locks;
};
