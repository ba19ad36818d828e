// The score menu's stand-in until its own class exists: a PlaceholderMenu that, each time it
// opens, scores the focused puzzle once (CPuzzle::ComputeScore), keeps the result and shows
// "ScoreMenu: score N, completed" (or "failed") on the console, so a finished puzzle is visible.
#pragma once

#include "game/app/PlaceholderMenu.h"

namespace QUORB
{
class PlaceholderScoreMenu : public PlaceholderMenu
{
public:
    explicit PlaceholderScoreMenu(StateMachineComponent* owner);

    // The score of the last opening, and how many openings were scored.
    int GetLastScore() const { return m_lastScore; }
    int GetScoredCount() const { return m_scoredCount; }

protected:
    bool HandleStateEvent(std::uint32_t event, const Message* message, int state, int substate) override;

private:
    int m_lastScore = 0;
    int m_scoredCount = 0;
};
} // namespace QUORB
