#include "engine/gfx/D3DRenderBuffers.h"

#include "engine/gfx/CGFXCore.h"

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
    if (vertexBuffer)
        vertexBuffer->Release();
    if (indexBuffer)
        indexBuffer->Release();
    vertexBuffer = nullptr;
    indexBuffer = nullptr;
    vertexCount = 0;
    indexCount = 0;
}
} // namespace gfx
} // namespace dorvo
