// The scene light as the room files store it: an element "Light" with the light's name in its
// "name" attribute and the thirteen fields of the light record in their order: enum "Type",
// colours "Diffuse", "Specular", "Ambient", vectors "Position", "Direction", floats "Range",
// "Falloff", "Attenuation0", "Attenuation1", "Attenuation2", "Theta", "Phi". Read back by
// position.
#pragma once

#include "platform/d3d9types.h"

#include <string>

class TiXmlNode;

namespace dorvo
{
namespace gfx
{
// False, writing nothing, for a null parent or one that is not an element.
bool WriteLight(TiXmlNode* parent, const plat::D3DLIGHT9& light, const std::string& name);
// False, light unchanged, when the node is missing or not an element, a field is missing or not
// a number within the engine's float bound (+-1e6), or the type is not point (1), spot (2) or
// directional (3).
bool ReadLight(const TiXmlNode* node, plat::D3DLIGHT9& light);
} // namespace gfx
} // namespace dorvo
