// The widget manipulation's state machine, on the game object "Manipulator": once a frame (in the
// objects' update, after the frame's input) it decides which state the manipulation is in and
// runs that state's action on its WidgetManipulator. Guards run in a fixed order on the update
// event; the first that asks for a change ends the update. It starts in EditorOff.
//
//   EditorOff -> Idle when the editor is on; Idle -> EditorOff, Simulating, Creating, Deleting,
//   Moving or Adjusting; Creating -> Idle or Deleting; Deleting -> Idle; Moving and Adjusting ->
//   Idle when the left button is up; Simulating -> Idle once physics is paused again.
//
// State 6 is kept for a radial menu that nothing enters.
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

    // The guards: each asks for its state change and answers whether it did.
    bool CheckEditorOn();
    bool CheckEditorOff();
    bool CheckSimulationRunning();
    bool CheckStartCreating();
    bool CheckDeleteSelection();
    bool CheckStartMoving();
    bool CheckStartAdjusting();
    bool CheckCreatingDone();
    bool CheckDeleteWhileCreating();
    bool CheckLeftReleased();
    bool CheckSimulationPaused();

protected:
    bool HandleStateEvent(std::uint32_t event, const Message* message, int state, int substate) override;

private:
    bool ChangeTo(int state);
    // A primary whose archetype the adjust table holds: turned when held still, moved only when
    // dragged far enough at once.
    bool IsAdjustable() const;

    WidgetManipulator* m_pManipulator; // the game's; outlives the machine's object
};
} // namespace QUORB
