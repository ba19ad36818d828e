// Units drawn with the scene effects the way the render queue draws them: a quad of the
// engine's 96-byte vertex on the device, render records placing it, and a batch drawn with
// one effect and technique (select, textures, Begin, pass 0, per unit the object and technique
// parameters, commit, buffers, draw). Shared by the effect pixel tests and the benchmark.
#pragma once

#include "engine/gfx/core/CFXManager.h"
#include "engine/gfx/core/CGFXCore.h"
#include "engine/gfx/core/D3DRenderBuffers.h"
#include "engine/gfx/core/SRenderRecord.h"

#include <cstdint>
#include <cstring>
#include <vector>

namespace fxscene
{
// The engine's vertex: position, normal, uv, tangent, binormal, colour, padded to 96 bytes.
struct UnitVertex
{
    float position[3];
    float normal[3];
    float uv[2];
    float tangent[3];
    float binormal[3];
    std::uint32_t color;
    std::uint8_t padding[36];
};
static_assert(sizeof(UnitVertex) == dorvo::gfx::kUnitVertexStride, "the engine's vertex is 96 bytes");

// The unit square in x and y (0 to 1, y up) at z = 0, facing the eye (normal -z), texture
// v down from its top edge, as two clockwise triangles. False when the device refuses.
inline bool MakeUnitQuad(dorvo::gfx::D3DRenderBuffers& buffers)
{
    dorvo::gfx::CGFXCore& core = dorvo::gfx::CGFXCore::Instance();
    UnitVertex vertices[4] = {};
    const float corners[4][4] = {{0, 1, 0, 0}, {1, 1, 1, 0}, {0, 0, 0, 1}, {1, 0, 1, 1}}; // x, y, u, v
    for (int i = 0; i < 4; ++i)
    {
        UnitVertex& v = vertices[i];
        v.position[0] = corners[i][0];
        v.position[1] = corners[i][1];
        v.normal[2] = -1.0f;
        v.uv[0] = corners[i][2];
        v.uv[1] = corners[i][3];
        v.tangent[0] = 1.0f;
        v.binormal[1] = -1.0f;
        v.color = 0xFFFFFFFFu;
    }
    const std::uint16_t indices[6] = {0, 1, 2, 1, 3, 2};
    buffers.Release();
    if (plat::FAILED(core.CreateVertexBuffer(sizeof vertices, plat::D3DUSAGE_WRITEONLY, 0,
                                             plat::D3DPOOL_MANAGED, &buffers.vertexBuffer)) ||
        plat::FAILED(core.CreateIndexBuffer(sizeof indices, plat::D3DUSAGE_WRITEONLY, plat::D3DFMT_INDEX16,
                                            plat::D3DPOOL_MANAGED, &buffers.indexBuffer)))
        return false;
    void* data = nullptr;
    if (plat::FAILED(core.LockWhole(buffers.vertexBuffer, 0, &data)))
        return false;
    std::memcpy(data, vertices, sizeof vertices);
    core.Unlock(buffers.vertexBuffer);
    if (plat::FAILED(core.LockWhole(buffers.indexBuffer, 0, &data)))
        return false;
    std::memcpy(data, indices, sizeof indices);
    core.Unlock(buffers.indexBuffer);
    buffers.vertexCount = 4;
    buffers.indexCount = 6;
    return true;
}

// A world matrix stretching the unit square over the clip-space rectangle from (x0, y0) to
// (x1, y1) at depth z.
inline math::Matrix4 ClipRect(float x0, float y0, float x1, float y1, float z)
{
    math::Matrix4 world;
    world.SetScale(math::Vector3(x1 - x0, y1 - y0, 1.0f));
    world[3][0] = x0;
    world[3][1] = y0;
    world[3][2] = z;
    return world;
}

// The same for a rectangle of whole pixels (left, top, width, height) of a picture of the
// given size, with identity view and projection.
inline math::Matrix4 PixelRect(int left, int top, int width, int height, int pictureWidth, int pictureHeight,
                               float z)
{
    const float x0 = 2.0f * static_cast<float>(left) / static_cast<float>(pictureWidth) - 1.0f;
    const float x1 = 2.0f * static_cast<float>(left + width) / static_cast<float>(pictureWidth) - 1.0f;
    const float y1 = 1.0f - 2.0f * static_cast<float>(top) / static_cast<float>(pictureHeight);
    const float y0 = 1.0f - 2.0f * static_cast<float>(top + height) / static_cast<float>(pictureHeight);
    return ClipRect(x0, y0, x1, y1, z);
}

// A record of the quad with the world given, the device core's view and projection and the
// world-view-projection from them.
inline void Place(dorvo::gfx::SRenderRecord& record, const math::Matrix4& world)
{
    const dorvo::gfx::CGFXCore& core = dorvo::gfx::CGFXCore::Instance();
    record.world = world;
    record.view = core.GetView();
    record.projection = core.GetProjection();
    // World, then view, then projection (our product order reverses the written one).
    record.worldViewProjection = record.projection * record.view * record.world;
}

// Draws the records as one batch with the first one's effect file, technique and textures.
// False when its effect is not loaded.
inline bool DrawBatch(const std::vector<const dorvo::gfx::SRenderRecord*>& records)
{
    using namespace dorvo::gfx;
    if (records.empty() || !records.front()->fxFile || !records.front()->technique)
        return false;
    CFXManager& fx = CFXManager::Instance();
    CGFXCore& core = CGFXCore::Instance();
    const SRenderRecord& first = *records.front();
    plat::ID3DXEffect* effect = fx.SelectEffect(*first.fxFile);
    if (!effect)
        return false;
    const FXHandleTable& handles = *fx.GetCurrentHandles();
    effect->SetTechnique(first.technique->c_str());
    core.BindTechniqueTextures(first, effect, handles);
    plat::UINT passes = 0;
    effect->Begin(&passes, 0);
    effect->BeginPass(0);
    for (const SRenderRecord* record : records)
    {
        core.BindObjectParameters(*record, effect, handles);
        core.BindTechniqueParameters(*record, effect, handles);
        effect->CommitChanges();
        core.BindGeometryBuffer(*record->buffers, kUnitVertexStride);
        core.DrawIndexedPrimitive(plat::D3DPT_TRIANGLELIST, 0, 0, record->buffers->vertexCount, 0,
                                  record->buffers->indexCount / 3);
    }
    effect->EndPass();
    effect->End();
    return true;
}
} // namespace fxscene
