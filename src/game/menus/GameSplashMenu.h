// The last of the three splash screens shown at start-up (the game's title), and the base of the
// other two. A splash is a black screen-sized button with a 512 x 512 logo on it: the logo fades
// in over 0.2 s, stays a second, fades out over 3 s, and then the splash closes and the next one
// opens; a click anywhere closes it at once. When the title closes, the chain ends: the cursor
// comes back, the default skin is set, the last used profile is loaded and the main menu and
// the help tab open (or, without that profile, the profile creation), and the music starts.
#pragma once

#include "game/menus/StaticMenu.h"

#include <string>

namespace QUORB
{
class GameSplashMenu : public StaticMenu
{
public:
    static constexpr float kOpenSeconds = 0.2f;  // the logo's fade-in
    static constexpr float kShowSeconds = 1.0f;  // the logo at full strength
    static constexpr float kCloseSeconds = 3.0f; // the logo's fade-out
    static const char* const kMusic;             // "QUORBSound/Music/PuzzleMusic"

    explicit GameSplashMenu(StateMachineComponent* owner);

protected:
    // "Background" skips the splash: a forced close, whose arrival in the closed state runs
    // OnClosed once.
    void OnButtonPressed(const std::string& name) override;
    // The logo fades in, and the splash asks itself to close after the fade and the showing
    // time. The request is not scoped: a skipped splash is closed when it comes and ignores it.
    void OpenTransition(float duration) override;
    void CloseTransition(float duration) override;
    // The end of the chain.
    void OnClosed() override;
    void Init() override;

    // Builds the splash: the component drawn at depth -1, "Background" over the whole back
    // buffer in black, and "Logo" from the image centred across, its top `rise` pixels above
    // the middle of the screen, at alpha 0. A missing image gives a logo without texture (the
    // texture cache names the file) and changes nothing else.
    void BuildUnits(const std::string& image, int rise);

private:
    void FadeLogo(float from, float to, float duration);
};
} // namespace QUORB
