// The material element of the model, terrain and cloth components: "Material" with the field
// name in its "name" attribute, holding the colours "Ambient", "Diffuse" and "Specular" (colour
// elements) and the float "SpecularPower", read back by position.
#pragma once

#include <string>

class TiXmlNode;

namespace dorvo
{
namespace gfx
{
struct SMaterial;

// False, writing nothing, for a null parent or one that is not an element.
bool WriteMaterial(TiXmlNode* parent, const SMaterial& material, const std::string& name);
// Reads the four children by position; a child that is missing or unreadable leaves its field
// as it was. False for a node that is not an element or any child that could not be read.
bool ReadMaterial(const TiXmlNode* node, SMaterial& material);
} // namespace gfx
} // namespace dorvo
