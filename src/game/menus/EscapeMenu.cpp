#include "game/menus/EscapeMenu.h"

#include "common/InterpolationMgr.h"
#include "engine/gfx/CButton.h"
#include "engine/gfx/CGFXCore.h"
#include "engine/gfx/CSprite.h"
#include "engine/gfx/CTextSprite.h"
#include "engine/gfx/Gfx2DComp.h"
#include "game/CQUORB.h"
#include "game/menus/MenuCallbacks.h"
#include "game/menus/MenuHitTests.h"
#include "game/menus/MenuHud.h"
#include "game/menus/MenuText.h"
#include "platform/win32.h"
#include "statemachine/Message.h"

namespace QUORB
{
const char* const EscapeMenu::kVeilName = "SkinColorBackground";

namespace
{
const char* const kBackground = "Background";
const char* const kSaveQuit = "SaveQuitButton";
const char* const kBack = "EscBackButton";
// The title's left edge on the panel, pixels.
constexpr int kTitleX = 35;
} // namespace

EscapeMenu::EscapeMenu(StateMachineComponent* owner) : LinearMoveMenu(owner)
{
    m_openTime = kSlideSeconds;
    m_closeTime = kSlideSeconds;
    m_closeOnMouseUp = false;
    m_draggable = false;
    m_closedPosition = math::Vector3(200.0f, -500.0f, 0.0f);
    m_openPosition = math::Vector3(200.0f, 100.0f, 0.0f);
    dorvo::gfx::Gfx2DComp* comp = GetGfx2DComp();
    if (!comp)
        return;
    comp->SetCompDepth(-2);
    const int width = static_cast<int>(dorvo::gfx::GetScreenWidth());
    const int height = static_cast<int>(dorvo::gfx::GetScreenHeight());

    // The veil keeps to the plain sprite colour: it must not take the skin's hover colours, so
    // its record keeps a name that is no button state.
    m_pVeil = g_menuHud.CreateWhiteBlockButton(kVeilName);
    m_pVeil->SetRenameCurrent(false);
    if (dorvo::gfx::SpriteAnimation* record = m_pVeil->GetCurrentAnimation())
        record->name = g_menuHud.m_whiteBlock.unpressed.name;
    m_pVeil->SetColor(0.0f, 0.0f, 0.0f);
    m_pVeil->SetAlpha(kVeilAlpha, false);
    m_pVeil->SetScale(static_cast<float>(width) / 30.0f, static_cast<float>(height) / 30.0f, 1.0f);
    m_pVeil->SetPosition(0, 0);
    m_pVeil->SetDepth(kVeilDepth);
    m_pVeil->SetPointInsideFunct(new RectPointInsideFunct(m_pVeil.get(), width, height));
    m_pVeil->SetButtonPressedFunct(new SMButtonPressedFunct(GetComponent(), kVeilName));
    if (!comp->AddUnit(kVeilName, m_pVeil.get(), ""))
        m_pVeil.reset();

    std::unique_ptr<dorvo::gfx::CSprite> panel = g_menuHud.CreateBackground(kBackground);
    panel->SetScale(0.7f, 0.3f, 1.0f);
    m_refSprite = AddUnit(std::move(panel));
    if (!m_refSprite)
        return;
    struct PanelButton
    {
        const char* name;
        int x;
        const char* textUnit;
        const char* text;
        int textX;
    };
    const PanelButton buttons[] = {{kSaveQuit, 20, "SaveQuitText", "Save & Quit", 15},
                                   {kBack, 180, "ReturnText", "Back", 50}};
    for (const PanelButton& entry : buttons)
    {
        std::unique_ptr<dorvo::gfx::CButton> button = g_menuHud.CreateBarButton(entry.name);
        button->SetScale(0.75f, 0.8f, 1.0f);
        button->SetPosition(entry.x, 80);
        button->SetPointInsideFunct(new RectPointInsideFunct(button.get(), 150, 56));
        button->SetButtonPressedFunct(new SMButtonPressedFunct(GetComponent(), entry.name));
        if (AddUnit(std::move(button), kBackground))
            AddUnit(MakeMenuText(entry.textUnit, entry.text, 4, entry.textX, 15, 200), entry.name);
    }
    // The title face is wide: from x 75 the title's last point would stand past the panel's right
    // edge, so it starts where it sits in the middle of the panel.
    AddUnit(MakeMenuText("TitleText", "Q.U.O.R.B.", 5, kTitleX, 10, 300), kBackground);

    // Depths parent first: setting one gives its children the next depth.
    m_refSprite->SetDepth(kPanelDepth);
    for (const char* unit : {kSaveQuit, kBack, "SaveQuitText", "ReturnText", "TitleText"})
        if (dorvo::gfx::CSprite* sprite = comp->GetSprite(unit))
            sprite->SetDepth(kPanelDepth);
}

EscapeMenu::~EscapeMenu()
{
    if (!m_pVeil)
        return;
    if (dorvo::gfx::Gfx2DComp* comp = GetGfx2DComp())
    {
        auto found = comp->GetUnits().find(kVeilName);
        if (found != comp->GetUnits().end() && found->second == m_pVeil.get())
            comp->RemoveUnit(kVeilName);
    }
}

void EscapeMenu::OnButtonPressed(const std::string& name)
{
    if (name == kSaveQuit)
    {
        // Not closed first: the program ends once this frame is over.
        if (CQUORB* game = CQUORB::Get())
            game->SaveProfileAndSettings();
        plat::PostQuitMessage(0);
    }
    else if (name == kBack)
        SendMsgToSelf(MSG_CloseMenu, MSG_SCOPE_SUBSTATE, 0);
}

void EscapeMenu::OpenTransition(float duration)
{
    LinearMoveMenu::OpenTransition(duration);
    FadeVeil(0.0f, kVeilAlpha, duration);
}

void EscapeMenu::CloseTransition(float duration)
{
    LinearMoveMenu::CloseTransition(duration);
    FadeVeil(kVeilAlpha, 0.0f, duration);
}

void EscapeMenu::FadeVeil(float from, float to, float duration)
{
    if (m_pVeil)
        m_pVeil->SetInterpolation(
            dorvo::gfx::CSprite::IP_Alpha,
            common::CInterpolationMgr::Instance().AddFloat(from, to, duration, common::INTERP_REMOVE));
}
} // namespace QUORB
