// A dialog that drops in over a veiled screen: its units slide from (200, -500) to (200, 100) in
// 0.3 s while a veil over the whole screen (MenuVeil, kept to plain sprite colour) fades from 0 to
// 0.5, and back out on closing. Its 2D component goes to depth -2, so it takes input before the
// menus under it; it cannot be dragged and a mouse-up does not close it. The builders make the
// standard dialog of a name: a 0.7 x 0.5 panel at depth 7 with a title, bar buttons and a name
// box above it, all sliding with the panel.
#pragma once

#include "game/menus/LinearMoveMenu.h"
#include "game/menus/MenuVeil.h"

#include <string>

namespace dorvo
{
namespace gfx
{
class EditBox;
}
} // namespace dorvo

namespace QUORB
{
class VeiledDialog : public LinearMoveMenu
{
public:
    static const char* const kVeilName;  // "SkinColorBackground"
    static const char* const kPanelName; // "Background"
    static const char* const kNameBox;   // "EditBox"
    static constexpr float kSlideSeconds = 0.3f;
    static constexpr float kVeilAlpha = 0.5f;
    // The standard dialog's veil, below its panel.
    static constexpr int kDialogVeilDepth = 6;
    // The texts a typed name is refused with: by the plain-name rule (ValidateFileBaseName) and as
    // a name the game keeps for itself.
    static const char* const kEmptyNameText;    // "Please type a name."
    static const char* const kBadNameText;      // "Use only letters, digits, spaces, - and _."
    static const char* const kLongNameText;     // "Use at most 16 characters."
    static const char* const kReservedNameText; // "That name is reserved."

protected:
    // veilDepth: a panel that must come down over the standard dialogs lays its veil above them.
    explicit VeiledDialog(StateMachineComponent* owner, int veilDepth = kDialogVeilDepth);

    // The standard panel at (0, 0), filed below "Base" as the slide's reference sprite; null when
    // it could not be filed.
    dorvo::gfx::CSprite* AddPanel();
    // A bar button on the panel at (x, 150), half as wide and 0.8 as high as the look, hit by a
    // 100 x 56 rectangle and clicking its name to the menu, with its label (font 4) on it.
    void AddBarButton(const std::string& name, int x, const std::string& labelName, const std::string& label);
    // The title (font 5) on the panel at (x, 10), wrapped at boxWidth pixels.
    void AddTitle(const std::string& title, int x, int boxWidth);
    // The name box kNameBox on the panel at (50, 80): at most kMaxFileBaseNameLength characters,
    // starting with and falling back to defaultText; Enter clicks its name to the menu. Its text
    // "TE1Text" is filed below it and drawn above it.
    void AddNameBox(const std::string& defaultText);
    // The name box, found anew; null without one.
    dorvo::gfx::EditBox* GetNameBox() const;
    // Why the name breaks the plain-name rule, as the text to show; null when it keeps it.
    static const char* NameRuleRefusal(const std::string& name);

    // The slide with the veil's fade.
    void OpenTransition(float duration) override;
    void CloseTransition(float duration) override;

private:
    MenuVeil m_veil;
};
} // namespace QUORB
