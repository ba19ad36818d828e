// The options panel: the graphics quality ("Low", "Medium", "High") and the GUI skin ("Default
// Skin", "Cold Skin", "Vegie Skin"), each a row of three radio buttons. A choice takes effect at
// once and is saved with the settings when the game saves them; the panel writes no file. Each
// opening shows exactly the current quality and skin checked.
#pragma once

#include "game/menus/SidePanelMenu.h"

namespace QUORB
{
class OptionsMenu : public SidePanelMenu
{
public:
    explicit OptionsMenu(StateMachineComponent* owner);

protected:
    // A quality button sets the settings' quality and applies it; a skin button runs
    // "setgameskin" with its name.
    void OnButtonPressed(const std::string& name) override;
    void OnHeldOver(const std::string& name) override;
    // The current choices checked (and no others), then the slide in.
    void OpenTransition(float duration) override;
    void Init() override;
};
} // namespace QUORB
