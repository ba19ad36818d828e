// The widget manipulation's state machine, on the game object "Manipulator": once a frame it
// decides which state the manipulation is in (editor off, idle, creating, deleting, moving,
// adjusting, simulating) and runs that state's action. It starts in EditorOff; the states'
// guards and actions come with the manipulation itself.
#pragma once

#include "statemachine/StateMachine.h"

class StateMachineComponent;

namespace QUORB
{
class WidgetManipulator;

class ManipulatorLogic : public StateMachine
{
public:
    enum State
    {
        STATE_EditorOff = 0,
        STATE_Idle = 1,
        STATE_Creating = 2,
        STATE_Deleting = 3,
        STATE_Moving = 4,
        STATE_Adjusting = 5,
        STATE_Simulating = 7,
    };

    ManipulatorLogic(StateMachineComponent* owner, WidgetManipulator* manipulator);

    WidgetManipulator* GetManipulator() const { return m_pManipulator; }

protected:
    bool HandleStateEvent(std::uint32_t event, const Message* message, int state, int substate) override;

private:
    WidgetManipulator* m_pManipulator; // the game's; outlives the machine's object
};
} // namespace QUORB
