#include "game/objectives/CTarget.h"

#include "common/math/Sphere.h"
#include "engine/Gob.h"
#include "engine/SoundSystem.h"
#include "engine/gfx/core/CGfxUnit.h"
#include "engine/gfx/mesh/GfxModelComp.h"

#include <algorithm>
#include <limits>

using dorvo::gfx::GfxModelComp;

namespace QUORB
{
IObjective* CTarget::Clone() const
{
    return new CTarget(*this);
}

bool CTarget::CheckQuorbs() const
{
    return AnyQuorbOutsidePlayArea();
}

void CTarget::Update(double, float)
{
    if (CheckQuorbs())
    {
        m_state = Failed;
        return;
    }
    math::Sphere target;
    if (!GetSphere(GetOwnerGob(), target))
        return;
    const std::vector<Gob*> quorbs = GetQuorbGobs();
    if (quorbs.empty())
    {
        m_state = Failed;
        return;
    }
    math::Sphere quorb;
    if (GetSphere(quorbs.front(), quorb) && target.Intersects(quorb))
    {
        if (!m_hit)
        {
            dorvo::SoundSystem::Instance().PlayEvent(kHitSound, nullptr, nullptr);
            LoadTargetTexture(kHitTexture);
        }
        m_closestDistance = std::min(m_closestDistance, (target.center - quorb.center).Length());
        m_hit = true;
    }
    else if (m_hit)
        m_state = Completed;
}

void CTarget::Reset()
{
    m_state = Running;
    m_closestDistance = std::numeric_limits<float>::infinity();
    m_hit = false;
    LoadTargetTexture(kIdleTexture);
}

// A target without a model or render unit keeps its state and only skips the look.
void CTarget::LoadTargetTexture(const char* file)
{
    Gob* gob = GetOwnerGob();
    GfxModelComp* model = gob != nullptr
                              ? static_cast<GfxModelComp*>(gob->GetComponent(GfxModelComp::StaticTypeID()))
                              : nullptr;
    if (model != nullptr && model->GetUnit() != nullptr)
        model->GetUnit()->LoadTexture(file, 0);
}
} // namespace QUORB
