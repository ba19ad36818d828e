// The stand-in for a menu until its own class exists: a state machine on the menu's game object
// with a menu's states (0 initial, 1 closed, 2 opening, 3 open, 4 closing). It opens on
// MSG_OpenMenu and MSG_OpenMenuEx, closes on MSG_CloseMenu, toggles between open and closed on
// MSG_ToggleMenu, records every message it is sent, and leaves key and button presses to others.
#pragma once

#include "statemachine/MessageData.h"
#include "statemachine/MessageName.h"
#include "statemachine/StateMachine.h"

#include <vector>

class StateMachineComponent;

namespace QUORB
{
class PlaceholderMenu : public StateMachine
{
public:
    enum State
    {
        STATE_Initial = 0,
        STATE_Closed = 1,
        STATE_Opening = 2,
        STATE_Open = 3,
        STATE_Closing = 4,
    };

    struct Received
    {
        MessageName name;
        MessageData data;
    };

    explicit PlaceholderMenu(StateMachineComponent* owner);

    // Every message processed, in order (MSG_Pressed and MSG_UnPressed are not taken, but seen).
    const std::vector<Received>& GetReceived() const { return m_received; }
    void ClearReceived() { m_received.clear(); }
    // Puts the menu in a state at once (tests, and whoever stands in for a menu's own moves).
    void ForceState(int state);

protected:
    bool HandleStateEvent(std::uint32_t event, const Message* message, int state, int substate) override;

private:
    std::vector<Received> m_received;
};
} // namespace QUORB
