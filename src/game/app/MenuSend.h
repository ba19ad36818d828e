// Messages to a menu found by its game-object name at the moment of sending (MenuTable::FindId).
// The names are MenuTable's: one that is not is the caller's fault, reported through the
// assertion handler, and sends nothing; so does a menu of the table that is not built, without a
// report. The sends answer whether the message was delivered. Delivery is immediate: the
// receiver acts inside the call.
#pragma once

#include "game/app/MenuTable.h"
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
