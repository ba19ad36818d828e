// A GUI skin as the settings file stores it: an element "GameSkin" with the skin's name in its
// "name" attribute and five colour elements in this order: "PressedColor", "UnpressedColor",
// "OverColor", "DisabledColor", "SpriteColor" (the order of g_GuiSkinColors). Read back by
// position.
#pragma once

#include "platform/d3dx9.h"

#include <string>

class TiXmlNode;

namespace dorvo
{
namespace gfx
{
// False, writing nothing, for a null node or one that is not an element.
bool WriteGameSkin(TiXmlNode* node, const plat::D3DXCOLOR colors[5], const std::string& name);
// The five colours from a "GameSkin" element's children. False, colours unchanged, when the node
// is missing or not an element or a colour is missing or broken.
bool ReadGameSkin(const TiXmlNode* element, plat::D3DXCOLOR colors[5]);
} // namespace gfx
} // namespace dorvo
