// The credits page: a panel that slides in from the left with the team's title, a portrait and
// three lines for each of the three members, a line of notice and two lists of thanks. It has no
// buttons; the back-button menu beside it leads back.
#pragma once

#include "game/menus/SidePanelMenu.h"

namespace QUORB
{
class CreditsMenu : public SidePanelMenu
{
public:
    explicit CreditsMenu(StateMachineComponent* owner);

protected:
    void OnButtonPressed(const std::string& name) override;
    void Init() override;
};
} // namespace QUORB
