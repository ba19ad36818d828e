// A graphics unit for the scene-graph and renderer tests: everything a graph reads is a plain
// field the test sets, it counts the bounds tests and render-record refreshes it is asked for,
// and its render record points at device buffers the test gives it.
#pragma once

#include "common/math/AABB.h"
#include "common/math/Matrix4.h"
#include "common/math/Sphere.h"
#include "engine/gfx/core/CGFXCore.h"
#include "engine/gfx/core/CTextureHandle.h"
#include "engine/gfx/core/D3DRenderBuffers.h"
#include "engine/gfx/core/IGfxUnit.h"
#include "engine/gfx/core/SRenderRecord.h"
#include "engine/gfx/mesh/CAnimationController.h"

#include <array>
#include <memory>
#include <string>

namespace gfxtest
{
class TestGfxUnit : public dorvo::gfx::IGfxUnit
{
public:
    TestGfxUnit(std::string mesh, std::string fxFile, std::string technique)
        : mesh(std::move(mesh)), fxFile(std::move(fxFile)), technique(std::move(technique))
    {
    }

    const std::string& GetFXFile() const override { return fxFile; }
    const std::string& GetTechnique() const override { return technique; }
    const std::string& GetMeshName() const override { return mesh; }
    void SetFXFile(const std::string& file) override { fxFile = file; }
    void SetTechnique(const std::string& name) override { technique = name; }
    bool IsTransparent() const override { return transparent; }
    void SetTransparent(bool on) override { transparent = on; }
    void GetWorldMatrix(math::Matrix4& out) const override { out = world; }
    dorvo::gfx::CTextureHandle* GetTexture(unsigned stage) const override
    {
        return stage < kTextureStages ? textures[stage].get() : nullptr;
    }
    const dorvo::gfx::SRenderRecord* GetRenderRecord() const override { return &record; }
    unsigned GetTriangleCount() const override { return record.buffers ? record.buffers->indexCount / 3 : 0; }
    float GetViewDepth() const override { return depth; }
    void LoadTexture(const std::string& file, unsigned stage) override
    {
        auto handle = std::make_unique<dorvo::gfx::CTextureHandle>();
        handle->Load(file);
        SetTexture(std::move(handle), stage);
    }
    void SetTexture(std::unique_ptr<dorvo::gfx::CTextureHandle> handle, unsigned stage) override
    {
        if (stage < kTextureStages)
            textures[stage] = std::move(handle);
    }
    bool IsAlwaysVisible() const override { return alwaysVisible; }
    dorvo::gfx::CAnimationController* GetAnimationController() const override { return nullptr; }
    bool IsWireframe() const override { return wireframe; }
    bool Build(Component*, math::Sphere*, math::AABB*, bool) override { return true; }
    bool Overlaps(const IGfxUnit& other) const override
    {
        math::Sphere theirs;
        other.GetBoundingSphere(theirs);
        return sphere.Intersects(theirs);
    }
    bool Overlaps(const IGfxUnit* other) const override { return other && Overlaps(*other); }
    // What a unit does: view and projection from the device core, world-view-projection, names.
    void PrepareMatrices() override
    {
        ++prepares;
        const dorvo::gfx::CGFXCore& core = dorvo::gfx::CGFXCore::Instance();
        record.fxFile = &fxFile;
        record.technique = &technique;
        record.world = world;
        record.view = core.GetView();
        record.projection = core.GetProjection();
        record.worldViewProjection = record.projection * record.view * record.world;
        for (unsigned i = 0; i < kTextureStages; ++i)
            record.textures[i] = textures[i] ? textures[i]->GetTexture() : nullptr;
    }
    void UpdateAnimation(float, float) override {}
    bool IsVisible() const override { return true; }
    void SetUserWord(std::uint32_t word) override { userWord = word; }
    bool IsShadowCaster() const override { return false; }
    std::uint32_t GetBoundingType() const override { return boundingType; }
    void GetBoundingSphere(math::Sphere& out) const override
    {
        ++boundsTests;
        out = sphere;
    }
    void GetBoundingBox(math::AABB& out) const override
    {
        ++boundsTests;
        out = box;
    }
    void SetUVAnimDir(float u, float v) override { record.uvAnimation = {u, v}; }
    void ReleaseResources() override
    {
        for (auto& texture : textures)
            texture.reset();
    }

    std::string mesh, fxFile, technique;
    std::array<std::unique_ptr<dorvo::gfx::CTextureHandle>, kTextureStages> textures;
    math::Matrix4 world;
    std::uint32_t boundingType = BOUNDING_Sphere;
    math::Sphere sphere{math::Vector3(0, 0, 0), 1.0f};
    math::AABB box{math::Vector3(-1, -1, -1), math::Vector3(1, 1, 1)};
    bool alwaysVisible = false;
    bool wireframe = false;
    bool transparent = false;
    float depth = 0.5f;
    std::uint32_t userWord = 0;
    dorvo::gfx::SRenderRecord record;
    mutable int boundsTests = 0;
    int prepares = 0;
};
} // namespace gfxtest
