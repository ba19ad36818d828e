// Readers for the numbers of the physics files. A mass, a drag or a hull size that is not a
// finite number of sensible size (NaN, infinity, 1e300, anything the engine's float rules count
// as corrupt) would spread through every step that touches the body; such a value is refused
// with one line on standard error naming the component and the field, and the field keeps its
// value; so is a text that is no number. The line begins with "<file>:<line>: " when the element
// comes from a named document. Otherwise they read like XmlReadFloat and XmlReadVector3.
#pragma once

#include <string>

class TiXmlNode;

namespace math
{
class Vector3;
}

namespace dorvo
{
namespace phy
{
// `where` names the reader in the error line, e.g. "PhysicsComp" and "Mass".
bool XmlReadFiniteFloat(const TiXmlNode* node, float* value, const std::string& where,
                        const std::string& field);
bool XmlReadFiniteVector3(const TiXmlNode* node, math::Vector3* value, const std::string& where,
                          const std::string& field);
} // namespace phy
} // namespace dorvo
