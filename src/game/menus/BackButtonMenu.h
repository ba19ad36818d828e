// The row of small icon buttons in the top-left corner through which the player steps back out
// of whatever he is in: out of the profile, options, credits and room-selection panels to the
// main menu, out of a puzzle, and from a face back to the room list. While rooms are being built
// (create-puzzle mode, outside a puzzle) it also offers saving the room and starting a new one,
// both through the save-room menu. Filed as "BackMenu"; its openers reset it to choose which
// buttons show.
#pragma once

#include "game/menus/StaticMenu.h"

#include <string>

namespace QUORB
{
class BackButtonMenu : public StaticMenu
{
public:
    static const char* const kBackButton;       // "BackButton"
    static const char* const kSaveButton;       // "SaveButton"
    static const char* const kNewRoomButton;    // "NewRoomButton"
    static constexpr float kHoverDelay = 0.05f; // seconds the pointer rests before a fade
    static constexpr float kFadeSeconds = 0.3f; // a hover fade
    static constexpr float kDimmedAlpha = 0.5f; // a button the pointer is not on
    static constexpr float kLitAlpha = 1.0f;    // one it rests on
    // What "SaveRoomMenu" does once it is left, sent as its custom data after its opening.
    enum SaveThen
    {
        SAVE_THEN_NOTHING = 0,
        SAVE_THEN_ROOM_LIST = 1,
        SAVE_THEN_NEW_ROOM = 2,
    };

    explicit BackButtonMenu(StateMachineComponent* owner);

    // Whether the named menu is opening, open or closing (its state is above closed); a name
    // no object has is not busy.
    static bool IsBusy(const std::string& menu);

protected:
    // "BackButton" steps back (see the .cpp for the seven cases); "SaveButton" and
    // "NewRoomButton" open the save-room menu.
    void OnButtonPressed(const std::string& name) override;
    // The named button and its icon fade up (held over) or back down (moved off).
    void OnHeldOver(const std::string& name) override;
    void OnMovedOff(const std::string& name) override;
    // The room tools show only while the room list is not up, in create-puzzle mode, outside a
    // puzzle, and only while this menu itself is up; "BackButton" goes back to its dimmed look.
    void Reset() override;

private:
    void StepBack();
    void OpenSaveRoomMenu(SaveThen then);
    void Fade(const std::string& name, float from, float to);
};
} // namespace QUORB
