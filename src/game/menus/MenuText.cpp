#include "game/menus/MenuText.h"

#include "engine/gfx/sprites/CTextSprite.h"
#include "engine/gfx/sprites/STextStyle.h"

namespace QUORB
{
std::unique_ptr<dorvo::gfx::CTextSprite> MakeMenuText(const std::string& name, const std::string& text,
                                                      const dorvo::gfx::STextStyle& style, int x, int y,
                                                      int boxWidth)
{
    const int position[2] = {x, y};
    auto sprite = std::make_unique<dorvo::gfx::CTextSprite>(text, style, position, boxWidth);
    sprite->SetName(name);
    return sprite;
}

std::unique_ptr<dorvo::gfx::CTextSprite> MakeMenuText(const std::string& name, const std::string& text,
                                                      unsigned font, int x, int y, int boxWidth)
{
    const float black[4] = {0.0f, 0.0f, 0.0f, 1.0f};
    return MakeMenuText(name, text, dorvo::gfx::STextStyle(font, black), x, y, boxWidth);
}

std::unique_ptr<dorvo::gfx::CTextSprite> MakeMenuText(const std::string& name, const std::string& text,
                                                      unsigned font, int x, int y, int boxWidth, int depth)
{
    auto sprite = MakeMenuText(name, text, font, x, y, boxWidth);
    sprite->SetDepth(depth);
    return sprite;
}
} // namespace QUORB
