#include "game/menus/FadeMenu.h"

#include "common/InterpolationMgr.h"
#include "engine/gfx/sprites/CSprite.h"

namespace QUORB
{
FadeMenu::FadeMenu(StateMachineComponent* owner) : StaticMenu(owner) {}

void FadeMenu::OpenTransition(float duration)
{
    Fade(0.0f, 1.0f, duration);
}

void FadeMenu::CloseTransition(float duration)
{
    Fade(1.0f, 0.0f, duration);
}

void FadeMenu::Fade(float from, float to, float duration)
{
    dorvo::gfx::CSprite* base = GetBase();
    common::CInterpolationMgr& manager = common::CInterpolationMgr::Instance();
    // One record per child: a record that removes itself once read at its end would give the
    // end value to the first child that reads it and leave the others short of it.
    for (const auto& child : base->GetChildren())
    {
        auto* sprite = dynamic_cast<dorvo::gfx::CSprite*>(child.second.get());
        if (!sprite)
            continue;
        sprite->SetInterpolation(dorvo::gfx::CSprite::IP_Alpha,
                                 manager.AddFloat(from, to, duration, common::INTERP_REMOVE));
    }
}
} // namespace QUORB
