// The scene graph the engine draws with ("DefaultSceneGraphImp"). Build groups the units under
// the root's identity transformation by technique (one effect node each), then by space
// partition when there are partitions, then by texture (batch nodes), with a geometry node and
// the unit's transformation node for every unit. Traverse walks the tree depth first and has the
// renderer draw the units a batch queued as soon as the batch's subtree is done, so every draw
// call group shares one effect, one technique and one set of textures.
#pragma once

#include "engine/gfx/scene/ACSceneGraphMgrImp.h"

namespace dorvo
{
namespace gfx
{
class CDefaultSceneGraphMgrImp : public ACSceneGraphMgrImp
{
public:
    static constexpr char kName[] = "DefaultSceneGraphImp";

    CDefaultSceneGraphMgrImp();

    // A unit whose nodes the allocator cannot give is left out of the frame with one line; the
    // tree keeps only whole paths, so it stays valid. Timed (GetBuildTime).
    void Build(const std::vector<IGfxUnit*>& units) override;
    // Timed, drawing included (GetTraverseTime).
    void Traverse() override;

private:
    // Throws what the allocator throws; nothing of the unit is in the tree then.
    void Insert(IGfxUnit& unit);
    void Visit(ACSceneNode& node);
};
} // namespace gfx
} // namespace dorvo
