#include "engine/gfx/CGFXCore.h"

#include "common/Assert.h"
#include "common/Singleton.h"
#include "common/math/MathUtil.h"
#include "engine/CPicker.h"

namespace dorvo
{
namespace gfx
{
namespace
{
// The core the picker's unproject hook reads: the last one made that still lives.
const CGFXCore* s_pHookedCore = nullptr;

bool UnprojectThroughCore(const math::Vector3& screen, math::Vector3& world)
{
    return s_pHookedCore && s_pHookedCore->Unproject(screen, world);
}
} // namespace

CGFXCore& CGFXCore::Instance()
{
    return *common::Singleton<CGFXCore>::Instance();
}

CGFXCore::CGFXCore()
{
    s_pHookedCore = this;
    CPicker::SetUnprojectHook(&UnprojectThroughCore);
}

CGFXCore::~CGFXCore()
{
    if (s_pHookedCore == this)
    {
        s_pHookedCore = nullptr;
        CPicker::SetUnprojectHook(nullptr);
    }
}

void CGFXCore::SetViewport(unsigned index)
{
    if (!DORVO_ASSERT(index < kViewportCount, "CGFXCore::SetViewport - viewport index out of range."))
        return;
    m_pCurrentViewport = &m_viewports[index];
    SetView(m_pCurrentViewport->view);
    SetProjection(m_pCurrentViewport->projection);
}

void CGFXCore::SetView(const math::Matrix4& view)
{
    m_view = view;
}

void CGFXCore::SetProjection(const math::Matrix4& projection)
{
    m_projection = projection;
}

SViewportRecord& CGFXCore::GetViewportRecord(unsigned index)
{
    if (!DORVO_ASSERT(index < kViewportCount, "CGFXCore::GetViewportRecord - viewport index out of range."))
        return m_viewports[0];
    return m_viewports[index];
}

const SViewportRecord& CGFXCore::GetViewportRecord(unsigned index) const
{
    return const_cast<CGFXCore*>(this)->GetViewportRecord(index);
}

bool CGFXCore::Unproject(const math::Vector3& screen, math::Vector3& world) const
{
    if (!m_pCurrentViewport)
        return false;
    const SViewport& viewport = m_pCurrentViewport->viewport;
    if (viewport.Width == 0 || viewport.Height == 0)
        return false;
    // The depth is divided by the range's width; a flat range would give NaN.
    const float maxZ = math::FloatEqual(viewport.MinZ, viewport.MaxZ) ? viewport.MinZ + 1.0f : viewport.MaxZ;
    world = math::Unproject(screen, static_cast<float>(viewport.X), static_cast<float>(viewport.Y),
                            static_cast<float>(viewport.Width), static_cast<float>(viewport.Height),
                            viewport.MinZ, maxZ, m_projection, m_view, math::Matrix4());
    return true;
}
} // namespace gfx
} // namespace dorvo
