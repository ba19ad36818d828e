#include "game/app/PlaceholderMenu.h"

#include "engine/StateMachineComponent.h"
#include "game/app/MenuTraffic.h"
#include "statemachine/Message.h"

namespace QUORB
{
PlaceholderMenu::PlaceholderMenu(StateMachineComponent* owner) : StateMachine(owner) {}

void PlaceholderMenu::ForceState(int state)
{
    ChangeState(state);
    PerformStateChanges();
}

bool PlaceholderMenu::HandleStateEvent(std::uint32_t event, const Message* message, int state, int)
{
    // Every event reaches the global handler once; the state-bound passes have nothing to add.
    if (state != kAnyState || event != EVENT_Message || message == nullptr)
        return false;
    ReportMenuMessage(*this, *message);
    m_received.push_back(Received{message->GetName(), message->GetData()});
    switch (message->GetName())
    {
    case MSG_OpenMenu:
    case MSG_OpenMenuEx:
        if (GetState() != STATE_Open)
            ChangeState(STATE_Open);
        return true;
    case MSG_CloseMenu:
        if (GetState() != STATE_Closed)
            ChangeState(STATE_Closed);
        return true;
    case MSG_ToggleMenu:
        ChangeState(GetState() == STATE_Open ? STATE_Closed : STATE_Open);
        return true;
    case MSG_Pressed:
    case MSG_UnPressed:
        return false;
    default:
        return true;
    }
}
} // namespace QUORB
