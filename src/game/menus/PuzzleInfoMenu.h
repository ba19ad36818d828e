// The panel below the look-at menu that tells the player, outside a puzzle, what the focused
// face's puzzle asks for: one icon for each objective type it holds, one for each widget type
// it offers, and its total budget. It has no buttons; the game camera opens it (and resets it)
// when the view settles on a face, outside create-puzzle mode, and closes it while the view
// turns; entering the puzzle closes it.
#pragma once

#include "game/menus/StaticMenu.h"

#include <cstddef>
#include <string>

namespace QUORB
{
class PuzzleInfoMenu : public StaticMenu
{
public:
    // One icon row entry: the badge sprite (the tip's carrier), the mask bit it shows for, and
    // the icon on it.
    struct Entry
    {
        const char* sprite;
        bool objective; // true: the objective-type mask; false: the available-widget mask
        unsigned flag;
        const char* image;
        const char* icon;
        const char* tip;
    };
    static constexpr std::size_t kEntryCount = 10; // five objective types, then five widget kinds
    static const Entry kEntries[kEntryCount];

    static constexpr int kRowStartX = 20;  // pixels in the panel
    static constexpr int kRowSpacing = 50; // between shown badges
    static constexpr int kObjectiveRowY = 30;
    static constexpr int kWidgetRowY = 95;

    explicit PuzzleInfoMenu(StateMachineComponent* owner);

protected:
    // Lays the rows out for the focused puzzle: the badges its masks name, packed from the left
    // in table order, the others hidden; then the budget. Without a focused puzzle the previous
    // layout is shown again (the opening showed every unit), or no badge before the first.
    void Reset() override;

private:
    void Layout(unsigned objectives, unsigned widgets, const std::string& budgetText);

    // What the panel last showed, for a reset without a puzzle.
    bool m_laidOut = false;
    unsigned m_objectives = 0;
    unsigned m_widgets = 0;
    int m_budget = 0;
};
} // namespace QUORB
