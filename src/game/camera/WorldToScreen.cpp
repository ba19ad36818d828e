#include "game/camera/WorldToScreen.h"

#include "common/math/MathUtil.h"
#include "common/math/Matrix4.h"
#include "common/math/Vector3.h"
#include "engine/gfx/core/CGFXCore.h"

namespace QUORB
{
math::Vector3 WorldToScreen(const math::Vector3& world)
{
    const dorvo::gfx::CGFXCore& core = dorvo::gfx::CGFXCore::Instance();
    const dorvo::gfx::SViewportRecord* record = core.GetCurrentViewport();
    if (record == nullptr)
        return math::Vector3();
    const plat::D3DVIEWPORT9& viewport = record->viewport;
    return math::Project(world, static_cast<float>(viewport.X), static_cast<float>(viewport.Y),
                         static_cast<float>(viewport.Width), static_cast<float>(viewport.Height),
                         viewport.MinZ, viewport.MaxZ, core.GetProjection(), core.GetView(), math::Matrix4());
}
} // namespace QUORB
