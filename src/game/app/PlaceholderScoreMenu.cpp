#include "game/app/PlaceholderScoreMenu.h"

#include "common/ConsoleInterface.h"
#include "game/app/CQUORB.h"
#include "game/room/CPuzzle.h"

#include <string>

namespace QUORB
{
PlaceholderScoreMenu::PlaceholderScoreMenu(StateMachineComponent* owner) : PlaceholderMenu(owner) {}

bool PlaceholderScoreMenu::HandleStateEvent(std::uint32_t event, const Message* message, int state,
                                            int substate)
{
    // Entering the open state happens once per opening, however often the puzzle asks.
    if (event == EVENT_Enter && state == STATE_Open)
    {
        const CQUORB* game = CQUORB::Get();
        if (CPuzzle* puzzle = game != nullptr ? game->GetFocusedPuzzle() : nullptr)
        {
            m_lastScore = puzzle->ComputeScore();
            ++m_scoredCount;
            common::ConsoleInterface::ShowLine("ScoreMenu: score " + std::to_string(m_lastScore) + ", " +
                                               (puzzle->IsFailed() ? "failed" : "completed"));
        }
    }
    return PlaceholderMenu::HandleStateEvent(event, message, state, substate);
}
} // namespace QUORB
