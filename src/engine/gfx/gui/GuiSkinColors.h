// The colours of the chosen GUI skin: five colours (pressed, unpressed, over, disabled,
// sprite), or null while no skin is chosen. The game points it at the skin it selects; plain
// sprites take the sprite colour (with their own alpha), buttons the colour of their state.
#pragma once

#include "platform/d3dx9.h"

namespace dorvo
{
namespace gfx
{
enum ESkinColor : unsigned
{
    SKIN_Pressed,
    SKIN_Unpressed,
    SKIN_Over,
    SKIN_Disabled,
    SKIN_Sprite,
    SKIN_ColorCount
};

// Five colours in ESkinColor order, owned by whoever set it; null: no skin.
extern const plat::D3DXCOLOR* g_GuiSkinColors;
} // namespace gfx
} // namespace dorvo
