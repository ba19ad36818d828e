// The five kinds of scene node. The tree under the root's identity transformation: effect
// nodes (one per technique), optional space-partition (SPI) nodes, batch nodes sharing textures,
// one geometry node per unit and, under it, the unit's transformation node. Each derives from
// ACSceneNode first and MemMgr::CMngObj second, so it is made and freed by the pooled
// allocators only. Nodes point at units and texture handles without owning them: they live
// for one frame, while the units they were built from do.
#pragma once

#include "common/MemMgr/MngObj.h"
#include "common/math/AABB.h"
#include "common/math/Matrix4.h"
#include "common/math/Sphere.h"
#include "engine/gfx/scene/ACSceneNode.h"

#include <array>
#include <string>

namespace dorvo
{
namespace gfx
{
class CTextureHandle;
class IGfxUnit;

// A region of the world the graph sorts units into: a unit goes under the first partition whose
// box encloses its bounding sphere.
struct SSpacePartition
{
    math::Sphere sphere;
    math::AABB box;
};

class CGeometryNode : public ACSceneNode, public MemMgr::CMngObj
{
public:
    explicit CGeometryNode(IGfxUnit* unit);

    bool Accept(CSceneGraphVisitor& visitor) override;
    // ".X File Name: " and the unit's mesh name.
    void DumpInfo(std::ostream& out) const override;

    IGfxUnit* GetUnit() const { return m_pUnit; }
    // Whether the unit was found visible at its last bounds test in this frame: later passes
    // of the frame (water maps, secondary viewports) go by it.
    bool IsVisibleAtLastTest() const { return m_visibleAtLastTest; }
    void SetVisibleAtLastTest(bool visible) { m_visibleAtLastTest = visible; }

private:
    IGfxUnit* m_pUnit;
    bool m_visibleAtLastTest = false;
};

class CTransformationNode : public ACSceneNode, public MemMgr::CMngObj
{
public:
    explicit CTransformationNode(const math::Matrix4& matrix);
    // The unit's world matrix, copied once.
    explicit CTransformationNode(const IGfxUnit& unit);

    bool Accept(CSceneGraphVisitor& visitor) override;
    // "Matrix of form [row1, row2, row3, row4]: [ (a,b,c,d)(...)(...)(...) ]".
    void DumpInfo(std::ostream& out) const override;

    const math::Matrix4& GetMatrix() const { return m_matrix; }

private:
    math::Matrix4 m_matrix;
};

class CEffectNode : public ACSceneNode, public MemMgr::CMngObj
{
public:
    // Copies of the unit's effect file and technique names.
    explicit CEffectNode(const IGfxUnit& unit);

    bool Accept(CSceneGraphVisitor& visitor) override;
    // "Effect File Name: " and the file name.
    void DumpInfo(std::ostream& out) const override;

    const std::string& GetFXFile() const { return m_fxFile; }
    const std::string& GetTechnique() const { return m_technique; }

private:
    std::string m_fxFile;
    std::string m_technique;
};

class CBatchNode : public ACSceneNode, public MemMgr::CMngObj
{
public:
    static constexpr unsigned kTextureCount = 6;

    // The unit's technique name and its texture handles of stages 0 to 5 (any may be null).
    explicit CBatchNode(const IGfxUnit& unit);

    bool Accept(CSceneGraphVisitor& visitor) override;
    // "Texture #<i> File Name: <file>" and a newline for each stage that has a handle.
    void DumpInfo(std::ostream& out) const override;

    const std::string& GetTechnique() const { return m_technique; }
    // Null for an empty stage or one out of range.
    CTextureHandle* GetTexture(unsigned stage) const
    {
        return stage < kTextureCount ? m_textures[stage] : nullptr;
    }
    // Whether a unit belongs in this batch: its texture 0 has the file name of the batch's
    // texture 0, or its texture 3 that of the batch's texture 3, or it has neither texture. An
    // empty stage of the batch matches nothing.
    bool Matches(const IGfxUnit& unit) const;

private:
    std::string m_technique;
    std::array<CTextureHandle*, kTextureCount> m_textures{};
};

class CSPINode : public ACSceneNode, public MemMgr::CMngObj
{
public:
    // A partition: its sphere and box.
    explicit CSPINode(const SSpacePartition& partition);
    // The loose node of units no partition encloses, started from the unit's bounding sphere
    // (the box stays zero).
    explicit CSPINode(const IGfxUnit& unit);

    bool Accept(CSceneGraphVisitor& visitor) override;
    // "WorldSpaceBS's Center: [x, y, z" and a newline, "WorldSpaceBS's Radius: r" and a newline.
    void DumpInfo(std::ostream& out) const override;

    // Loose: one of the two spheres lies inside the other. Partition: the sphere lies inside the
    // box (touching a face from inside counts).
    bool Encloses(const math::Sphere& sphere) const;

    const math::Sphere& GetSphere() const { return m_sphere; }
    const math::AABB& GetBox() const { return m_box; }
    bool IsLoose() const { return m_loose; }

private:
    math::Sphere m_sphere;
    math::AABB m_box;
    bool m_loose;
};
} // namespace gfx
} // namespace dorvo
