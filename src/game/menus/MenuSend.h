// Messages from a menu to another menu found by its game-object name at the moment of sending
// (Database::FindIdByName). A name that no object carries sends nothing; the sends answer
// whether the message was delivered. Delivery is immediate: the receiver acts inside the call.
#pragma once

#include "statemachine/MessageName.h"

#include <string>

class StateMachine;

namespace QUORB
{
bool SendToMenu(const std::string& menu, MessageName name);
bool SendIntToMenu(const std::string& menu, MessageName name, int value);
bool SendTextToMenu(const std::string& menu, MessageName name, const std::string& text);
// Sent by the sender's machine (StateMachine::SendMsg), so the message names the sender's object;
// nothing is answered.
void SendToMenuFrom(StateMachine& sender, const std::string& menu, MessageName name, int value = 0);
} // namespace QUORB
