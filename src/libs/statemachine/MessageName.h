// The one closed list of message names shared by every message-taking object. The library
// itself acts only on MSG_CHANGE_STATE_DELAYED (by convention) and sends MSG_Pressed and
// MSG_UnPressed for input; the other names are the menus' and the manipulator's protocols.
// Values are stored nowhere, but keep the order: the text table follows it.
#pragma once

#include <cstdint>

enum MessageName : std::uint32_t
{
    MSG_NULL = 0,
    MSG_CHANGE_STATE_DELAYED = 1, // integer data: the state to change to
    MSG_CHANGE_SUBSTATE_DELAYED = 2,
    MSG_Pressed = 3,   // input-event data: a key or button went down
    MSG_UnPressed = 4, // input-event data: a key or button went up
    MSG_OpenMenu = 5,
    MSG_OpenMenuEx = 6,
    MSG_CloseMenu = 7,
    MSG_OpenMenuForced = 8,
    MSG_CloseMenuForced = 9,
    MSG_ToggleMenu = 10,
    MSG_SetRefSprite = 11,
    MSG_ResetMenu = 12,
    MSG_MouseDown = 13,
    MSG_MouseUp = 14,
    MSG_MouseOver = 15,
    MSG_MouseMove = 16,
    MSG_MouseDrag = 17,
    MSG_MouseHeld = 18,
    MSG_MouseHeldOver = 19,
    MSG_MouseMovedOff = 20,
    MSG_ButtonPressed = 21,
    MSG_ButtonUnPressed = 22,
    MSG_TextSubmitted = 23,
    MSG_Reset = 24,
    MSG_SetCustomData = 25,
    MSG_SendTextMessage = 26,
    MSG_COUNT = 27 // not a message; its text is "Invalid"
};

// The name as written above ("MSG_OpenMenu"); "Invalid" for MSG_COUNT and anything beyond.
const char* GetMessageNameText(MessageName name);
