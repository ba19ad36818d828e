#include "engine/gfx/core/D3DRenderBuffers.h"

#include "engine/gfx/core/CGFXCore.h"

namespace dorvo
{
namespace gfx
{
D3DRenderBuffers::D3DRenderBuffers() : geometryId(CGFXCore::NewGeometryId()) {}

D3DRenderBuffers::~D3DRenderBuffers()
{
    Release();
}

void D3DRenderBuffers::Release()
{
    ReleaseBuffers();
    vertexCount = 0;
    indexCount = 0;
}

void D3DRenderBuffers::ReleaseBuffers()
{
    if (vertexBuffer)
        vertexBuffer->Release();
    if (indexBuffer)
        indexBuffer->Release();
    vertexBuffer = nullptr;
    indexBuffer = nullptr;
}
} // namespace gfx
} // namespace dorvo
