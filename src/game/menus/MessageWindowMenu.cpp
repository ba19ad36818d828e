#include "game/menus/MessageWindowMenu.h"

#include "engine/StateMachineComponent.h"
#include "engine/gfx/core/CGFXCore.h"
#include "engine/gfx/sprites/CTextSprite.h"
#include "engine/gfx/sprites/Gfx2DComp.h"
#include "game/app/MenuState.h"
#include "game/menus/MenuHud.h"
#include "game/menus/MenuText.h"
#include "statemachine/Message.h"

#include <memory>

namespace QUORB
{
namespace
{
const char* const kBackground = "Background";
const char* const kText = "MessageText";
constexpr float kDisplaySeconds = 3.0f;
constexpr int kBoxTop = 25;     // pixels from the top of the screen to the box's middle
constexpr int kTextLeft = -235; // the text's corner, from the box's middle
constexpr int kTextTop = -14;
constexpr int kTextBoxWidth = 400; // pixels
} // namespace

MessageWindowMenu::MessageWindowMenu(StateMachineComponent* owner) : FadeMenu(owner) {}

void MessageWindowMenu::Init()
{
    m_displayTime = kDisplaySeconds;
    m_openTime = kFadeSeconds;
    m_closeTime = kFadeSeconds;
    const int width = static_cast<int>(dorvo::gfx::GetScreenWidth());

    // The message strip at 80 % of its height, turned about its middle, which goes to the top
    // centre of the screen.
    const MenuHudDescriptor& look = g_menuHud.m_message;
    auto box = std::make_unique<dorvo::gfx::CSprite>(look.textureFile);
    box->SetName(kBackground);
    box->SetScale(1.0f, 0.8f, 1.0f);
    dorvo::gfx::SpriteAnimation record = look.unpressed;
    record.centerX = static_cast<int>(static_cast<float>(record.frameWidth) * box->GetScaleX()) / 2;
    record.centerY = static_cast<int>(static_cast<float>(record.frameHeight) * box->GetScaleY()) / 2;
    box->AddAnimation(g_MenuHudAnimation, record, true);
    box->SetPosition(width / 2, kBoxTop);
    box->SetDepth(kBoxDepth);
    if (!AddUnit(std::move(box)))
        return;

    AddUnit(MakeMenuText(kText, "", 4, kTextLeft, kTextTop, kTextBoxWidth, kTextDepth), kBackground);
}

void MessageWindowMenu::OnTextMessage(const std::string& text)
{
    m_queue.push_back(text);
    const int state = GetMenuState(GetComponent() ? GetComponent()->GetOwnerName() : std::string());
    if (state == STATE_Init || state == STATE_Closed)
        OnClosed();
}

void MessageWindowMenu::OnClosed()
{
    if (m_queue.empty())
        return;
    dorvo::gfx::Gfx2DComp* comp = GetGfx2DComp();
    if (dorvo::gfx::CTextSprite* text = comp ? comp->GetTextSprite(kText) : nullptr)
        text->SetText(m_queue.front());
    // The open is handled inside the send; the text leaves the queue once it shows.
    SendMsgToSelf(MSG_OpenMenu, MSG_SCOPE_SUBSTATE, 0);
    m_queue.pop_front();
}

void MessageWindowMenu::OnOpened()
{
    SendDelayedMsgToSelf(m_displayTime, MSG_CloseMenu, MSG_SCOPE_SUBSTATE, 0);
}
} // namespace QUORB
