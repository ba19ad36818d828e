// The callbacks menus give their buttons: each turns a GUI event into a message to the menu's
// own game object, carrying the button's name. The button that holds one owns it. A callback
// whose menu has no game object sends nothing.
#pragma once

#include "engine/gfx/gui/ButtonPressedFunct.h"
#include "engine/gfx/gui/HeldOverFunct.h"
#include "engine/gfx/gui/TextSubmitFunct.h"

#include <cstdint>
#include <string>

class StateMachineComponent;

namespace dorvo
{
namespace gfx
{
class CButton;
}
} // namespace dorvo

namespace QUORB
{
// The game-object id of the component's owner; 0 without one.
std::uint32_t MenuObjectId(const StateMachineComponent* owner);

// A click: MSG_ButtonPressed with the name given at making, then the press sound.
class SMButtonPressedFunct : public dorvo::gfx::ButtonPressedFunct
{
public:
    static const char* const kPressSound; // "QUORBSound/GUI/ButtonPress"

    SMButtonPressedFunct(StateMachineComponent* owner, const std::string& name);
    void operator()() override;

    const std::string& GetName() const { return m_name; }

protected:
    StateMachineComponent* m_pOwner; // not owned
    std::string m_name;
};

// A check box unchecked (also by its radio group): MSG_ButtonUnPressed with the name; no sound.
class SMUnCheckFunct : public SMButtonPressedFunct
{
public:
    SMUnCheckFunct(StateMachineComponent* owner, const std::string& name);
    void operator()() override;
};

// An edit box handing in its text: MSG_TextSubmitted with the box's name; the menu reads the text.
class SMTextSubmitFunct : public dorvo::gfx::TextSubmitFunct
{
public:
    SMTextSubmitFunct(StateMachineComponent* owner, const std::string& name);
    void operator()() override;

private:
    StateMachineComponent* m_pOwner;
    std::string m_name;
};

// The pointer resting on a button (over set: MSG_MouseHeldOver) or leaving it (over clear:
// MSG_MouseMovedOff), with the button's name as it is when the call comes, so a renamed
// button reports its new name.
class SMHeldOverFunct : public dorvo::gfx::HeldOverFunct
{
public:
    // delay: seconds the pointer rests before the held-over call (0.05 and 0.33 in use).
    SMHeldOverFunct(StateMachineComponent* owner, dorvo::gfx::CButton* button, bool heldOver, float delay);
    void operator()() override;

    float secondDelay = 0.0f; // seconds; the menus set it equal to the delay

private:
    StateMachineComponent* m_pOwner;
    dorvo::gfx::CButton* m_pButton; // not owned: the button that holds this callback
};
} // namespace QUORB
