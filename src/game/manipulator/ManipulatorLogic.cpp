#include "game/manipulator/ManipulatorLogic.h"

#include "engine/Gob.h"
#include "engine/StateMachineComponent.h"
#include "game/app/CQUORB.h"
#include "game/manipulator/WidgetManipulator.h"
#include "game/manipulator/WidgetManipulatorHelpers.h"
#include "statemachine/Message.h"

namespace QUORB
{
ManipulatorLogic::ManipulatorLogic(StateMachineComponent* owner, WidgetManipulator* manipulator)
    : StateMachine(owner), m_pManipulator(manipulator)
{
}

bool ManipulatorLogic::ChangeTo(int state)
{
    ChangeState(state);
    return true;
}

bool ManipulatorLogic::IsAdjustable() const
{
    const Gob* primary = m_pManipulator->GetSelectedGob();
    return primary != nullptr && m_pManipulator->HasAdjustFunctor(primary->GetArchetypeName());
}

bool ManipulatorLogic::CheckEditorOn()
{
    const CQUORB* game = manipulator::Game();
    return game != nullptr && game->IsEditorMode() && ChangeTo(STATE_Idle);
}

bool ManipulatorLogic::CheckEditorOff()
{
    const CQUORB* game = manipulator::Game();
    return (game == nullptr || !game->IsEditorMode()) && ChangeTo(STATE_EditorOff);
}

bool ManipulatorLogic::CheckSimulationRunning()
{
    return !manipulator::IsPhysicsPaused() && ChangeTo(STATE_Simulating);
}

bool ManipulatorLogic::CheckStartCreating()
{
    WidgetManipulator& m = *m_pManipulator;
    return m.IsLeftDown() && !m.GetCurrentWidgetType().empty() && !m.HasCreatedThisPress() &&
           (m.GetSelectedGob() == nullptr || m.GetPressNode() != nullptr) && ChangeTo(STATE_Creating);
}

bool ManipulatorLogic::CheckDeleteSelection()
{
    return m_pManipulator->GetSelectedGob() != nullptr && m_pManipulator->IsDeleteRequested() &&
           ChangeTo(STATE_Deleting);
}

bool ManipulatorLogic::CheckStartMoving()
{
    WidgetManipulator& m = *m_pManipulator;
    if (m.GetSelectedGob() == nullptr || m.IsCreating() || !m.IsLeftDown())
        return false;
    if (IsAdjustable() && !(m.GetLeftPressTime() < WidgetManipulator::kAdjustSeconds &&
                            m.GetDragVector().Length() >= WidgetManipulator::kMoveDragPixels))
        return false;
    return ChangeTo(STATE_Moving);
}

bool ManipulatorLogic::CheckStartAdjusting()
{
    WidgetManipulator& m = *m_pManipulator;
    return IsAdjustable() && !m.IsCreating() && m.IsLeftDown() &&
           m.GetLeftPressTime() >= WidgetManipulator::kAdjustSeconds &&
           m.GetDragVector().Length() < WidgetManipulator::kMoveDragPixels && ChangeTo(STATE_Adjusting);
}

bool ManipulatorLogic::CheckCreatingDone()
{
    // Also when the entry made nothing: the primary may then be the node the press picked.
    const WidgetManipulator& m = *m_pManipulator;
    return (!m.IsLeftDown() || !m.IsCreating() || m.GetSelectedGob() == nullptr) && ChangeTo(STATE_Idle);
}

bool ManipulatorLogic::CheckDeleteWhileCreating()
{
    return m_pManipulator->IsDeleteRequested() && ChangeTo(STATE_Deleting);
}

bool ManipulatorLogic::CheckLeftReleased()
{
    return !m_pManipulator->IsLeftDown() && ChangeTo(STATE_Idle);
}

bool ManipulatorLogic::CheckSimulationPaused()
{
    return manipulator::IsPhysicsPaused() && ChangeTo(STATE_Idle);
}

bool ManipulatorLogic::HandleStateEvent(std::uint32_t event, const Message* message, int state, int)
{
    WidgetManipulator& m = *m_pManipulator;
    if (state == kAnyState)
    {
        // The library's delayed changes, in any state.
        if (event != EVENT_Message || message == nullptr)
            return false;
        if (message->GetName() == MSG_CHANGE_STATE_DELAYED)
            ChangeState(message->GetInt());
        else if (message->GetName() == MSG_CHANGE_SUBSTATE_DELAYED)
            ChangeSubstate(message->GetInt());
        else
            return false;
        return true;
    }
    if (event == EVENT_Update)
        m.OnLogicUpdate();
    switch (state)
    {
    case STATE_EditorOff:
        if (event == EVENT_Update)
            CheckEditorOn();
        return event == EVENT_Update || event == EVENT_Enter || event == EVENT_Exit;
    case STATE_Idle:
        if (event == EVENT_Update && !CheckEditorOff() && !CheckSimulationRunning() &&
            !CheckStartCreating() && !CheckDeleteSelection() && !CheckStartMoving() && !CheckStartAdjusting())
            m.UpdateHover();
        return event == EVENT_Update || event == EVENT_Enter || event == EVENT_Exit;
    case STATE_Creating:
        if (event == EVENT_Enter)
            m.CreateByType();
        else if (event == EVENT_Update && !CheckCreatingDone() && !CheckDeleteWhileCreating())
            m.UpdateCreating();
        else if (event == EVENT_Exit)
            m.FinishCreating();
        return event == EVENT_Update || event == EVENT_Enter || event == EVENT_Exit;
    case STATE_Deleting:
        if (event == EVENT_Enter)
            m.DeleteSelected();
        else if (event == EVENT_Update)
            ChangeTo(STATE_Idle);
        return event == EVENT_Update || event == EVENT_Enter || event == EVENT_Exit;
    case STATE_Moving:
    case STATE_Adjusting:
        if (event == EVENT_Update && !CheckLeftReleased())
        {
            if (state == STATE_Moving)
                m.UpdateMoving();
            else
                m.UpdateAdjusting();
        }
        else if (event == EVENT_Exit)
            m.FinishManipulation();
        return event == EVENT_Update || event == EVENT_Enter || event == EVENT_Exit;
    case STATE_Simulating:
        if (event == EVENT_Update)
            CheckSimulationPaused();
        return event == EVENT_Update || event == EVENT_Enter || event == EVENT_Exit;
    default:
        return false;
    }
}
} // namespace QUORB
