// The small menu in the middle of the screen while the player looks at one face of the room from
// outside its puzzle: one bar button that enters the face's puzzle, its label saying what
// entering would do, between two arrows that turn the room to the neighbouring faces. The game
// camera opens it when the view settles on a face and closes it while the view turns; entering
// closes it and opens the puzzle's menus.
#pragma once

#include "game/menus/StaticMenu.h"

#include <string>

namespace QUORB
{
class CPuzzle;

class PuzzleLookAtMenu : public StaticMenu
{
public:
    static constexpr float kTransitionSeconds = 0.1f; // opening and closing
    static constexpr float kHeldOverSeconds = 0.33f;  // the enter button's rest (its message is dropped)
    static const char* const kStartButton;            // "StartPuzzleButton"
    static const char* const kStartText;              // "StartPuzzleText"
    static const char* const kLeftArrow;              // "LeftArrow"
    static const char* const kRightArrow;             // "RightArrow"

    // Builds the button, its label and the arrows, all at depth -1; the menu's place is the
    // middle of the back buffer less 110 pixels in x.
    explicit PuzzleLookAtMenu(StateMachineComponent* owner);

    // What entering would do: "Create Puzzle" or "Edit Puzzle" in create-puzzle mode, "Play
    // Puzzle" outside it, and "Cannot Enter" for an empty puzzle outside it or for no puzzle at
    // all (a room with fewer than four puzzles, or no face focused).
    static const char* Label(bool createPuzzleMode, const CPuzzle* puzzle);

protected:
    // The enter button enters the puzzle; the arrows turn the room left and right.
    void OnButtonPressed(const std::string& name) override;
    // The label for the focused puzzle, each time the opening ends.
    void OnOpened() override;

private:
    // Editor mode on, this menu closed, the puzzle's menus opened and the info panel closed (in
    // create-puzzle mode also the creator opened and the back row reset). Nothing without a
    // puzzle, nor for an empty one outside create-puzzle mode, nor while the menu is closing.
    void EnterPuzzle();
};
} // namespace QUORB
