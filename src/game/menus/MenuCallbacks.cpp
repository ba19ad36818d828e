#include "game/menus/MenuCallbacks.h"

#include "common/Singleton.h"
#include "engine/Gob.h"
#include "engine/SoundSystem.h"
#include "engine/StateMachineComponent.h"
#include "engine/gfx/gui/CButton.h"
#include "statemachine/Database.h"

namespace QUORB
{
const char* const SMButtonPressedFunct::kPressSound = "QUORBSound/GUI/ButtonPress";

std::uint32_t MenuObjectId(const StateMachineComponent* owner)
{
    const Gob* gob = owner ? owner->GetOwner() : nullptr;
    return gob ? gob->GetID() : 0;
}

namespace
{
void Send(const StateMachineComponent* owner, MessageName name, const std::string& text)
{
    const std::uint32_t id = MenuObjectId(owner);
    if (id != 0)
        common::Singleton<Database>::Instance()->SendMsgString(id, name, text);
}
} // namespace

SMButtonPressedFunct::SMButtonPressedFunct(StateMachineComponent* owner, const std::string& name)
    : m_pOwner(owner), m_name(name)
{
}

void SMButtonPressedFunct::operator()()
{
    // The menu hears of the press before the sound starts. The send may reach code that
    // replaces this callback, so nothing of it is read afterwards.
    Send(m_pOwner, MSG_ButtonPressed, std::string(m_name));
    dorvo::SoundSystem::Instance().PlayEvent(kPressSound, nullptr, nullptr);
}

SMUnCheckFunct::SMUnCheckFunct(StateMachineComponent* owner, const std::string& name)
    : SMButtonPressedFunct(owner, name)
{
}

void SMUnCheckFunct::operator()()
{
    Send(m_pOwner, MSG_ButtonUnPressed, std::string(m_name));
}

SMTextSubmitFunct::SMTextSubmitFunct(StateMachineComponent* owner, const std::string& name)
    : m_pOwner(owner), m_name(name)
{
}

void SMTextSubmitFunct::operator()()
{
    Send(m_pOwner, MSG_TextSubmitted, std::string(m_name));
}

SMHeldOverFunct::SMHeldOverFunct(StateMachineComponent* owner, dorvo::gfx::CButton* button, bool heldOver,
                                 float delaySeconds)
    : m_pOwner(owner), m_pButton(button)
{
    delay = delaySeconds;
    over = heldOver;
    secondDelay = delaySeconds;
}

void SMHeldOverFunct::operator()()
{
    if (!m_pButton)
        return;
    Send(m_pOwner, over ? MSG_MouseHeldOver : MSG_MouseMovedOff, std::string(m_pButton->GetName()));
}
} // namespace QUORB
