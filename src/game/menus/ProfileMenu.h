// The "Manage Profiles" panel: one check-button row per player profile in a scrolling list, a
// "New" button that opens the create-profile panel over it and a "Load" button that makes the
// selected row's profile the current one. Rows come from the game's profile-file list when the
// menu is built (the template "Blank.xml" left out) and from every profile created since, one row
// a file; each row loads exactly the file it was made for. Each opening marks and selects the
// row of the profile in use (none when no profile is loaded).
#pragma once

#include "game/menus/SidePanelMenu.h"

#include <map>
#include <string>

namespace QUORB
{
class ProfileMenu : public SidePanelMenu
{
public:
    explicit ProfileMenu(StateMachineComponent* owner);

    // The file the selected row loads; "" when no row is selected.
    const std::string& GetSelectedProfileFile() const { return m_selectedProfileFile; }
    // Each row's unit name ("Button" + entry) with the file it loads.
    const std::map<std::string, std::string>& GetRowFiles() const { return m_rowFiles; }

protected:
    // "CreateProfile" opens the create-profile panel (custom data 0), "LoadProfile" loads the
    // selected file, a row's name selects that row.
    void OnButtonPressed(const std::string& name) override;
    void Init() override;
    // Marks the loaded profile's row, then slides in.
    void OpenTransition(float duration) override;
    // A profile made since: a row for the name in the custom data, unless it has one; the row of
    // the profile in use marked.
    void Reset() override;
    // A row unchecked (by a second click or its radio group): nothing is selected.
    void OnButtonUnPressed(const std::string& name) override;

private:
    // One row for a profile-file entry ("MyProfile.xml") or a new profile's name ("Player2"),
    // appended to the scrolling list: its label is the entry up to its first ".", and it loads
    // the entry (".xml" added when missing). None for the template or a file that has a row.
    void AddProfileButton(const std::string& entry);
    // Checks and selects the row of the loaded profile alone; none without one.
    void MarkLoadedProfile();

    std::string m_selectedProfileFile;
    std::map<std::string, std::string> m_rowFiles;
};
} // namespace QUORB
