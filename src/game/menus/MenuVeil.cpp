#include "game/menus/MenuVeil.h"

#include "common/InterpolationMgr.h"
#include "engine/gfx/core/CGFXCore.h"
#include "engine/gfx/gui/CButton.h"
#include "engine/gfx/sprites/Gfx2DComp.h"
#include "game/menus/BaseMenu.h"
#include "game/menus/MenuCallbacks.h"
#include "game/menus/MenuHitTests.h"
#include "game/menus/MenuHud.h"

namespace QUORB
{
namespace
{
// The veil's scale is the screen's size over this: the 32-pixel block then reaches a little past
// each edge.
constexpr float kScreenPerScale = 30.0f;
} // namespace

MenuVeil::MenuVeil(const BaseMenu& menu) : m_menu(menu) {}

MenuVeil::~MenuVeil()
{
    if (!m_pButton)
        return;
    if (dorvo::gfx::Gfx2DComp* comp = m_menu.GetGfx2DComp())
    {
        const auto found = comp->GetUnits().find(m_name);
        if (found != comp->GetUnits().end() && found->second == m_pButton.get())
            comp->RemoveUnit(m_name);
    }
}

void MenuVeil::Make(const std::string& name, const std::string& pressName, Look look, int depth, float alpha)
{
    const int width = static_cast<int>(dorvo::gfx::GetScreenWidth());
    const int height = static_cast<int>(dorvo::gfx::GetScreenHeight());
    m_name = name;
    m_pButton = g_menuHud.CreateWhiteBlockButton(name);
    dorvo::gfx::SpriteAnimation* record = m_pButton->GetCurrentAnimation();
    if (look == Look::PlainSprite)
    {
        m_pButton->SetRenameCurrent(false);
        if (record)
            record->name.clear();
    }
    else if (record)
    {
        record->hasColor = true;
        record->red = record->green = record->blue = 0.0f;
    }
    m_pButton->SetColor(0.0f, 0.0f, 0.0f);
    m_pButton->SetAlpha(alpha, false);
    m_pButton->SetScale(static_cast<float>(width) / kScreenPerScale,
                        static_cast<float>(height) / kScreenPerScale, 1.0f);
    m_pButton->SetPosition(0, 0);
    m_pButton->SetDepth(depth);
    m_pButton->SetPointInsideFunct(new RectPointInsideFunct(m_pButton.get(), width, height));
    m_pButton->SetButtonPressedFunct(new SMButtonPressedFunct(m_menu.GetComponent(), pressName));
}

bool MenuVeil::File()
{
    dorvo::gfx::Gfx2DComp* comp = m_menu.GetGfx2DComp();
    if (m_pButton && comp && comp->AddUnit(m_name, m_pButton.get(), ""))
        return true;
    m_pButton.reset();
    return false;
}

void MenuVeil::Fade(float from, float to, float seconds)
{
    if (m_pButton)
        m_pButton->SetInterpolation(
            dorvo::gfx::CSprite::IP_Alpha,
            common::CInterpolationMgr::Instance().AddFloat(from, to, seconds, common::INTERP_REMOVE));
}
} // namespace QUORB
