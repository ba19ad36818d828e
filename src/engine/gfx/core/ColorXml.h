// The colour element of lights, skins and water: "Color" with the field name in its "name"
// attribute and four "float" children "r", "g", "b", "a", each the channel (0 to 1) times 255,
// read back by position and divided by 255.
#pragma once

#include "platform/d3dx9.h"

#include <string>

class TiXmlNode;

namespace dorvo
{
namespace gfx
{
// False, writing nothing, for a null parent or one that is not an element.
bool WriteColor(TiXmlNode* parent, const plat::D3DCOLORVALUE& color, const std::string& name);
bool WriteColor(TiXmlNode* parent, const plat::D3DXCOLOR& color, const std::string& name);
// False, colour unchanged, when the node is missing or not an element or a channel is missing or
// not a number within the engine's float bound (+-1e6).
bool ReadColor(const TiXmlNode* node, plat::D3DCOLORVALUE& color);
bool ReadColor(const TiXmlNode* node, plat::D3DXCOLOR& color);
} // namespace gfx
} // namespace dorvo
