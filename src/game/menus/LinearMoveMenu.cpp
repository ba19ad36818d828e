#include "game/menus/LinearMoveMenu.h"

#include "common/InterpolationMgr.h"
#include "engine/gfx/sprites/CSprite.h"

namespace QUORB
{
LinearMoveMenu::LinearMoveMenu(StateMachineComponent* owner) : BaseMenu(owner) {}

void LinearMoveMenu::OpenTransition(float duration)
{
    Slide(m_closedPosition, m_openPosition, duration);
}

void LinearMoveMenu::CloseTransition(float duration)
{
    Slide(m_openPosition, m_closedPosition, duration);
}

void LinearMoveMenu::Slide(const math::Vector3& from, const math::Vector3& to, float duration)
{
    common::CInterpolationMgr& manager = common::CInterpolationMgr::Instance();
    for (const auto& child : GetBase()->GetChildren())
    {
        auto* sprite = dynamic_cast<dorvo::gfx::CSprite*>(child.second.get());
        if (!sprite)
            continue;
        math::Vector3 offset;
        if (m_refSprite)
        {
            offset =
                math::Vector3(static_cast<float>(sprite->GetPositionX() - m_refSprite->GetPositionX()),
                              static_cast<float>(sprite->GetPositionY() - m_refSprite->GetPositionY()), 0.0f);
        }
        else
        {
            // A first slide takes the child's own position as its offset; later slides keep it,
            // or each one would add the last end position to the offset again.
            auto known = m_layout.find(child.first);
            if (known == m_layout.end())
                known =
                    m_layout
                        .emplace(child.first, math::Vector3(static_cast<float>(sprite->GetPositionX()),
                                                            static_cast<float>(sprite->GetPositionY()), 0.0f))
                        .first;
            offset = known->second;
        }
        const math::Vector3 start(from.x + offset.x, from.y + offset.y, from.z + offset.z);
        const math::Vector3 end(to.x + offset.x, to.y + offset.y, to.z + offset.z);
        sprite->SetInterpolation(dorvo::gfx::CSprite::IP_Position,
                                 manager.AddVector3(start, end, duration, common::INTERP_REMOVE));
    }
}
} // namespace QUORB
