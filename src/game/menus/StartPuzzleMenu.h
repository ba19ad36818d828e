// The corner control inside a puzzle: a large round button that starts the focused puzzle's run
// ("play") and, while the run goes on, stops it ("resetfocusedpuzzle"), and a small one beside
// it that reloads the puzzle while no run goes on. The run state is the physics paused flag.
// Labels: "Start" and "Reset", in create-puzzle mode "Test" and "Clear"; "Stop" during a run.
#pragma once

#include "game/menus/FadeMenu.h"

namespace QUORB
{
class StartPuzzleMenu : public FadeMenu
{
public:
    static constexpr float kOpenSeconds = 2.0f;
    static constexpr float kCloseSeconds = 0.3f;
    static constexpr float kClearFadeSeconds = 0.1f;
    static constexpr float kStartRadius = 55.0f; // pixels
    static constexpr float kClearRadius = 25.0f;

    // Builds both buttons and their labels; W and H are read here.
    explicit StartPuzzleMenu(StateMachineComponent* owner);

protected:
    void OnButtonPressed(const std::string& name) override;
    // Both labels for the mode, then the fade-in.
    void OpenTransition(float duration) override;
    // The ready arrangement: the editing menus back, the start label again, the clear button
    // faded in.
    void Reset() override;

private:
    void StartRun();
    void StopRun();
    void FadeClearButton(float from, float to);
    void SetText(const std::string& unit, const std::string& text);
};
} // namespace QUORB
