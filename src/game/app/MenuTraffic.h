// Where every menu machine reports the messages it is handed, before it acts on them. The game
// installs no observer; the menu test world installs one to record what the menus hear, in
// order, across every menu object.
#pragma once

class Message;
class StateMachine;

namespace QUORB
{
using MenuMessageObserver = void (*)(const StateMachine& menu, const Message& message);

// Replaces the observer (null: none) and returns the previous one.
MenuMessageObserver SetMenuMessageObserver(MenuMessageObserver observer);
// Called by a menu once for each message it is handed.
void ReportMenuMessage(const StateMachine& menu, const Message& message);
} // namespace QUORB
