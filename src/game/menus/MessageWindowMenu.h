// Short texts for the player in a box at the top centre of the screen, one at a time: each
// fades in over 0.3 s, stays 3 s and fades out over 0.3 s; texts that come meanwhile wait in
// order of arrival and follow one by one. Texts arrive as MSG_SendTextMessage. The queue has no
// limit: nothing sent is dropped.
#pragma once

#include "game/menus/FadeMenu.h"

#include <deque>
#include <string>

namespace QUORB
{
class MessageWindowMenu : public FadeMenu
{
public:
    static constexpr float kFadeSeconds = 0.3f;
    // The box and its text lie above the veil of the name dialogs (6), whose answers they carry,
    // and below the console (9 and 10), the escape panel and the tool tip.
    static constexpr int kBoxDepth = 7;
    static constexpr int kTextDepth = 8;

    explicit MessageWindowMenu(StateMachineComponent* owner);

    // The texts waiting, the next first.
    const std::deque<std::string>& GetQueue() const { return m_queue; }

protected:
    // Shows the next waiting text, if any, by opening the window again.
    void OnClosed() override;
    // The text's showing time starts: a close after m_displayTime, dropped when the window has
    // changed state meanwhile.
    void OnOpened() override;
    void Init() override;
    // Queues the text; a closed window shows it at once.
    void OnTextMessage(const std::string& text) override;

private:
    std::deque<std::string> m_queue;
    float m_displayTime = 0.0f; // seconds a text stays, 3 once built
};
} // namespace QUORB
