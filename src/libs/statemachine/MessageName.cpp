#include "statemachine/MessageName.h"

namespace
{
const char* const kMessageNameTexts[MSG_COUNT + 1] = {"MSG_NULL",
                                                      "MSG_CHANGE_STATE_DELAYED",
                                                      "MSG_CHANGE_SUBSTATE_DELAYED",
                                                      "MSG_Pressed",
                                                      "MSG_UnPressed",
                                                      "MSG_OpenMenu",
                                                      "MSG_OpenMenuEx",
                                                      "MSG_CloseMenu",
                                                      "MSG_OpenMenuForced",
                                                      "MSG_CloseMenuForced",
                                                      "MSG_ToggleMenu",
                                                      "MSG_SetRefSprite",
                                                      "MSG_ResetMenu",
                                                      "MSG_MouseDown",
                                                      "MSG_MouseUp",
                                                      "MSG_MouseOver",
                                                      "MSG_MouseMove",
                                                      "MSG_MouseDrag",
                                                      "MSG_MouseHeld",
                                                      "MSG_MouseHeldOver",
                                                      "MSG_MouseMovedOff",
                                                      "MSG_ButtonPressed",
                                                      "MSG_ButtonUnPressed",
                                                      "MSG_TextSubmitted",
                                                      "MSG_Reset",
                                                      "MSG_SetCustomData",
                                                      "MSG_SendTextMessage",
                                                      "Invalid"};
} // namespace

const char* GetMessageNameText(MessageName name)
{
    return name < MSG_COUNT ? kMessageNameTexts[name] : kMessageNameTexts[MSG_COUNT];
}
