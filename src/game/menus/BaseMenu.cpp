#include "game/menus/BaseMenu.h"

#include "common/Assert.h"
#include "engine/Gob.h"
#include "engine/StateMachineComponent.h"
#include "engine/gfx/gui/CButton.h"
#include "engine/gfx/gui/CheckButton.h"
#include "engine/gfx/gui/EditBox.h"
#include "engine/gfx/sprites/CSprite.h"
#include "engine/gfx/sprites/Gfx2DComp.h"
#include "game/app/MenuTraffic.h"
#include "statemachine/Message.h"

#include <vector>

namespace QUORB
{
const char* const BaseMenu::kBaseName = "Base";

namespace
{
// Toward zero, as the sprites truncate their interpolated positions.
int Truncate(float value)
{
    return static_cast<int>(value);
}
} // namespace

BaseMenu::BaseMenu(StateMachineComponent* owner)
    : StateMachine(owner), m_pComponent(owner), m_pBase(std::make_unique<dorvo::gfx::CSprite>())
{
    m_pBase->SetPosition(0, 0);
    m_pBase->SetName(kBaseName);
    if (dorvo::gfx::Gfx2DComp* comp = GetGfx2DComp())
        comp->AddUnit(kBaseName, m_pBase.get(), "");
}

BaseMenu::~BaseMenu()
{
    // The object's components go one by one; the 2D component may still be there and must not
    // keep a unit that is about to go.
    if (dorvo::gfx::Gfx2DComp* comp = GetGfx2DComp())
    {
        auto found = comp->GetUnits().find(kBaseName);
        if (found != comp->GetUnits().end() && found->second == m_pBase.get())
            comp->RemoveUnit(kBaseName);
    }
}

dorvo::gfx::Gfx2DComp* BaseMenu::GetGfx2DComp() const
{
    Gob* owner = m_pComponent ? m_pComponent->GetOwner() : nullptr;
    return owner ? dynamic_cast<dorvo::gfx::Gfx2DComp*>(
                       owner->GetComponent(dorvo::gfx::Gfx2DComp::StaticTypeID()))
                 : nullptr;
}

std::uint32_t BaseMenu::GetMenuId() const
{
    const Gob* owner = m_pComponent ? m_pComponent->GetOwner() : nullptr;
    return owner ? owner->GetID() : 0;
}

bool BaseMenu::File(std::unique_ptr<dorvo::gfx::IScreenUnit> unit, const std::string& parent)
{
    dorvo::gfx::Gfx2DComp* comp = GetGfx2DComp();
    // Only a parent unit owns what is filed; a top-level unit would belong to nobody.
    if (!unit || !comp || parent.empty())
        return false;
    const std::string name = unit->GetName();
    if (!comp->AddUnit(name, unit.get(), parent))
        return false;
    unit.release();
    return true;
}

void BaseMenu::OnButtonPressed(const std::string&) {}
void BaseMenu::OnHeldOver(const std::string&) {}
void BaseMenu::OnMovedOff(const std::string&) {}
void BaseMenu::OnClosed() {}
void BaseMenu::OnOpened() {}
void BaseMenu::Init() {}
void BaseMenu::Reset() {}
void BaseMenu::UpdateOpen() {}
void BaseMenu::UpdateClosed() {}
void BaseMenu::OnTextSubmitted(const std::string&, const std::string&) {}
void BaseMenu::OnTextMessage(const std::string&) {}

void BaseMenu::OnButtonUnPressed(const std::string& name)
{
    dorvo::gfx::Gfx2DComp* comp = GetGfx2DComp();
    auto* check = comp ? dynamic_cast<dorvo::gfx::CheckButton*>(comp->GetButton(name)) : nullptr;
    if (check)
        check->SetChecked(false);
}

void BaseMenu::PrepareOpen(bool showAll)
{
    m_pBase->SetPosition(Truncate(m_position.x), Truncate(m_position.y));
    if (showAll)
        SetAllVisible(true);
}

void BaseMenu::SetAllVisible(bool visible)
{
    dorvo::gfx::Gfx2DComp* comp = GetGfx2DComp();
    if (!comp)
        return;
    std::vector<dorvo::gfx::IScreenUnit*> units;
    comp->CollectUnits(units);
    for (dorvo::gfx::IScreenUnit* unit : units)
        unit->SetVisible(visible, false);
}

bool BaseMenu::HandleStateEvent(std::uint32_t event, const Message* message, int state, int substate)
{
    // The first call for a message is the one for the current state (and substate): report it
    // once there.
    if (event == EVENT_Message && message && state == GetState() && substate == GetSubstate())
        ReportMenuMessage(*this, *message);
    if (substate != kNoSubstate)
        return false;
    if (event == EVENT_Message && !message)
        return false;
    switch (state)
    {
    case kAnyState:
        return HandleGlobal(event, message);
    case STATE_Init:
        return HandleInit(event);
    case STATE_Closed:
        return HandleClosed(event, message);
    case STATE_Opening:
        return HandleOpening(event, message);
    case STATE_Open:
        return HandleOpen(event, message);
    case STATE_Closing:
        return HandleClosing(event, message);
    default:
        return false;
    }
}

bool BaseMenu::HandleInit(std::uint32_t event)
{
    if (event != EVENT_Enter)
        return false;
    Init();
    ChangeState(STATE_Closed);
    return true;
}

bool BaseMenu::HandleClosed(std::uint32_t event, const Message* message)
{
    if (event == EVENT_Enter)
    {
        SetAllVisible(false);
        if (m_notifyClosed)
        {
            // Cleared first: OnClosed may send messages that start and end another close.
            m_notifyClosed = false;
            OnClosed();
        }
        return true;
    }
    if (event == EVENT_Update)
    {
        UpdateClosed();
        return true;
    }
    if (event != EVENT_Message)
        return false;
    switch (message->GetName())
    {
    case MSG_OpenMenu:
    case MSG_ToggleMenu:
        PrepareOpen(true);
        ChangeState(STATE_Opening);
        return true;
    case MSG_OpenMenuEx:
        PrepareOpen(false);
        ChangeState(STATE_Opening);
        return true;
    case MSG_OpenMenuForced:
        ChangeState(STATE_Open);
        OpenTransition(0.0f);
        return true;
    case MSG_MouseHeld:
        if (m_draggable)
            m_position = message->GetData().GetVector3();
        return false;
    case MSG_SetRefSprite:
        m_refSprite = static_cast<dorvo::gfx::CSprite*>(message->GetPointer());
        return false;
    default:
        return false;
    }
}

void BaseMenu::PressButton(const std::string& name)
{
    if (dorvo::gfx::Gfx2DComp* comp = GetGfx2DComp())
        comp->UncheckOthersInGroup(name, true);
    OnButtonPressed(name);
}

void BaseMenu::ForceClose()
{
    ChangeState(STATE_Closed);
    CloseTransition(0.0f);
    m_notifyClosed = true;
}

bool BaseMenu::HandleOpening(std::uint32_t event, const Message* message)
{
    if (event == EVENT_Enter)
    {
        ChangeStateDelayed(m_openTime, STATE_Open, MSG_SCOPE_SUBSTATE);
        OpenTransition(m_openTime);
        return true;
    }
    if (event != EVENT_Message)
        return false;
    switch (message->GetName())
    {
    case MSG_ButtonPressed:
        PressButton(message->GetString());
        return true;
    case MSG_MouseUp:
        if (m_closeOnMouseUp)
            ChangeState(STATE_Closing);
        return false;
    case MSG_CloseMenu:
        ChangeState(STATE_Closing);
        return false;
    case MSG_CloseMenuForced:
        ForceClose();
        return false;
    default:
        return false;
    }
}

bool BaseMenu::HandleOpen(std::uint32_t event, const Message* message)
{
    if (event == EVENT_Enter)
    {
        OnOpened();
        return true;
    }
    if (event == EVENT_Update)
    {
        UpdateOpen();
        return true;
    }
    if (event != EVENT_Message)
        return false;
    switch (message->GetName())
    {
    case MSG_ButtonPressed:
        PressButton(message->GetString());
        return true;
    case MSG_MouseHeldOver:
        OnHeldOver(message->GetString());
        return true;
    case MSG_MouseMovedOff:
        OnMovedOff(message->GetString());
        return true;
    case MSG_TextSubmitted:
    {
        // Only edit boxes submit text; a name that is none is ignored.
        const std::string name = message->GetString();
        dorvo::gfx::Gfx2DComp* comp = GetGfx2DComp();
        auto* box = comp ? dynamic_cast<dorvo::gfx::EditBox*>(comp->GetButton(name)) : nullptr;
        if (box)
        {
            const std::string text = box->GetText();
            OnTextSubmitted(name, text);
        }
        return false;
    }
    case MSG_MouseUp:
        if (m_closeOnMouseUp)
            ChangeState(STATE_Closing);
        return false;
    case MSG_CloseMenu:
    case MSG_ToggleMenu:
        ChangeState(STATE_Closing);
        return false;
    case MSG_CloseMenuForced:
        ForceClose();
        return false;
    default:
        return false;
    }
}

bool BaseMenu::HandleClosing(std::uint32_t event, const Message* message)
{
    if (event == EVENT_Enter)
    {
        ChangeStateDelayed(m_closeTime, STATE_Closed, MSG_SCOPE_SUBSTATE);
        CloseTransition(m_closeTime);
        m_notifyClosed = true;
        return true;
    }
    if (event != EVENT_Message)
        return false;
    switch (message->GetName())
    {
    case MSG_ButtonPressed:
        PressButton(message->GetString());
        return true;
    case MSG_CloseMenuForced:
        ForceClose();
        return false;
    default:
        return false;
    }
}

bool BaseMenu::HandleGlobal(std::uint32_t event, const Message* message)
{
    if (event != EVENT_Message)
        return false;
    switch (message->GetName())
    {
    case MSG_CHANGE_STATE_DELAYED:
        ChangeState(message->GetInt());
        return true;
    case MSG_CHANGE_SUBSTATE_DELAYED:
        ChangeSubstate(message->GetInt());
        return true;
    case MSG_ResetMenu:
        Reset();
        return false;
    case MSG_SetCustomData:
        m_customData = message->GetData();
        return false;
    case MSG_SendTextMessage:
        OnTextMessage(message->GetString());
        return false;
    case MSG_ButtonUnPressed:
        OnButtonUnPressed(message->GetString());
        return false;
    default:
        return false;
    }
}
} // namespace QUORB
