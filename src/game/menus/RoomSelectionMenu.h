// The "Select A Room" panel that slides in from the left and lists the rooms in one scrolling
// list, "Campaign Rooms" first, then "Player-Made Rooms". Resting the pointer on a room's button
// loads that room behind the panel, where the camera circles it; a press slides the panel out
// and turns the camera to a face of the loaded room, whose settling brings up the look-at menu.
// The game reports every room file added later (MSG_SetCustomData with its name, then
// MSG_ResetMenu), and the panel adds a button for it; none is ever removed.
#pragma once

#include "game/menus/SidePanelMenu.h"

#include <string>

namespace QUORB
{
class RoomSelectionMenu : public SidePanelMenu
{
public:
    static const char* const kScrollList;            // "RoomButtons"
    static const char* const kCampaignText;          // "MainText", the campaign header
    static const char* const kPlayerText;            // "UserText", the player-made header
    static const char* const kScrollBar;             // "RoomScrollBar"
    static constexpr float kHeldOverSeconds = 0.05f; // the rest that loads a room
    static constexpr std::uint32_t kOrbitFlag = 4;   // the camera circles while the panel is up

    // The panel is built by Init, once the game's room lists are read.
    explicit RoomSelectionMenu(StateMachineComponent* owner);

    // "Button" + "C" (campaign) or "U" (player-made) + ":" + the file name.
    static std::string ButtonName(const std::string& fileName, bool playerMade);
    // The file name up to its first "." (all of it without one).
    static std::string RoomLabel(const std::string& fileName);

    // Builds one room button with its label and files it in the list: a campaign room just
    // before the player-made header (at the end while there is none), a player-made one at the
    // end. It stays hidden until the panel opens. False, nothing filed, for an empty name or a
    // room already listed in that section.
    bool AddRoomButton(const std::string& fileName, bool playerMade);

protected:
    // Any button: the panel slides out and the camera turns to a face of the loaded room.
    void OnButtonPressed(const std::string& name) override;
    // A room button rested on: its room is loaded behind the panel.
    void OnHeldOver(const std::string& name) override;
    // The slide in, the camera's circling, and the face menus closed.
    void OpenTransition(float duration) override;
    // In create-puzzle mode the back row is reset.
    void OnClosed() override;
    // The panel, its headers, one button per known room and the scroll bar.
    void Init() override;
    // A room file the game reports in the custom data gets its button: campaign while the game's
    // made-by-us flag is set, else player-made. Nothing for an empty or non-text payload.
    void Reset() override;
};
} // namespace QUORB
