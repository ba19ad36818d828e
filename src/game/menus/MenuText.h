// The text sprites the menus label their units with: a named text in one of the GUI's fonts, its
// top left at a point in its parent's frame, wrapped at a box width. Each maker returns a new unit
// for the caller to file (BaseMenu::AddUnit), which then owns it.
#pragma once

#include <memory>
#include <string>

namespace dorvo
{
namespace gfx
{
class CTextSprite;
struct STextStyle;
} // namespace gfx
} // namespace dorvo

namespace QUORB
{
// Black, at the sprites' default depth. x, y and boxWidth: pixels.
std::unique_ptr<dorvo::gfx::CTextSprite> MakeMenuText(const std::string& name, const std::string& text,
                                                      unsigned font, int x, int y, int boxWidth);
// Black, at that depth.
std::unique_ptr<dorvo::gfx::CTextSprite> MakeMenuText(const std::string& name, const std::string& text,
                                                      unsigned font, int x, int y, int boxWidth, int depth);
// In the style's font, colour and shadow, at the sprites' default depth.
std::unique_ptr<dorvo::gfx::CTextSprite> MakeMenuText(const std::string& name, const std::string& text,
                                                      const dorvo::gfx::STextStyle& style, int x, int y,
                                                      int boxWidth);
} // namespace QUORB
