// A unit's geometry on the device: a vertex and an index buffer with their counts, the id the
// device core binds them by, and the vertex stride. The record owns one reference to each
// buffer and releases them when it goes. Ids come from the core's program-wide counter, so no
// two records share one and 0 (no geometry bound) is never an id.
#pragma once

#include "platform/d3d9.h"

namespace dorvo
{
namespace gfx
{
// Bytes from one vertex to the next in every unit's vertex array (the engine's vertex).
constexpr unsigned kUnitVertexStride = 96;

struct D3DRenderBuffers
{
    D3DRenderBuffers();
    ~D3DRenderBuffers();

    D3DRenderBuffers(const D3DRenderBuffers&) = delete;
    D3DRenderBuffers& operator=(const D3DRenderBuffers&) = delete;

    // Releases both buffers and zeroes the counts; the id stays.
    void Release();
    // Releases both buffers and keeps the counts and stride, so the same buffers can be made
    // again after a device reset.
    void ReleaseBuffers();

    plat::IDirect3DVertexBuffer9* vertexBuffer = nullptr;
    unsigned vertexCount = 0;
    plat::IDirect3DIndexBuffer9* indexBuffer = nullptr;
    unsigned indexCount = 0;
    unsigned geometryId = 0;
    unsigned stride = kUnitVertexStride; // bytes
};
} // namespace gfx
} // namespace dorvo
