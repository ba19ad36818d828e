// The veil a menu lays over the whole screen while it is up: a black white-block button of the
// screen's size at (0, 0), filed at the top level of the menu's 2D component so that it stays where
// it is while the menu's own units slide or fade. It takes every press that misses the menu's
// buttons and clicks it to the menu under its press name, which does nothing with it. The menu
// owns the veil (no unit above it does); it leaves the 2D component with the menu.
#pragma once

#include <memory>
#include <string>

namespace dorvo
{
namespace gfx
{
class CButton;
}
} // namespace dorvo

namespace QUORB
{
class BaseMenu;

class MenuVeil
{
public:
    // How the veil keeps to black whatever the skin.
    enum class Look
    {
        // Its record carries no button-state name, so it is drawn like a plain sprite (in the
        // skin's sprite colour, else black) and never takes the skin's hover colours.
        PlainSprite,
        // Its record carries its own black, which no skin tints.
        OwnBlack,
    };

    explicit MenuVeil(const BaseMenu& menu);
    // Takes the veil out of the menu's 2D component when it is still filed there.
    ~MenuVeil();
    MenuVeil(const MenuVeil&) = delete;
    MenuVeil& operator=(const MenuVeil&) = delete;

    // Makes the veil, not filed yet: named name, its press clicked to the menu as pressName, at
    // that depth and alpha (0 to 1).
    void Make(const std::string& name, const std::string& pressName, Look look, int depth, float alpha);
    // Files the veil at the top level of the menu's 2D component under its name; without a
    // component, or with the name taken, the veil is dropped and false returned.
    bool File();
    // The veil's alpha from one value to the other over the seconds; nothing without a veil.
    void Fade(float from, float to, float seconds);
    // The veil; null before Make and once dropped.
    dorvo::gfx::CButton* Get() const { return m_pButton.get(); }

private:
    const BaseMenu& m_menu;
    std::string m_name;
    std::unique_ptr<dorvo::gfx::CButton> m_pButton;
};
} // namespace QUORB
