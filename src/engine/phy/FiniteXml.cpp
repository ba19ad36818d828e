#include "engine/phy/FiniteXml.h"

#include "common/XmlUtil.h"
#include "common/math/MathUtil.h"
#include "common/math/Vector3.h"

#include <iostream>
#include <sstream>

namespace dorvo
{
namespace phy
{
namespace
{
void Refuse(const std::string& where, const std::string& field, const std::string& shown)
{
    std::cerr << where << "::Deserialize - \"" << field << "\" is " << shown
              << ", not a usable number; the value is kept.\n";
}
} // namespace

bool XmlReadFiniteFloat(const TiXmlNode* node, float* value, const std::string& where,
                        const std::string& field)
{
    if (value == nullptr)
        return false;
    float read = *value;
    if (!XmlReadFloat(node, &read))
        return false;
    if (!math::IsValidFloat(read))
    {
        std::string shown;
        XmlReadString(node, &shown);
        Refuse(where, field, "\"" + shown + "\"");
        return false;
    }
    *value = read;
    return true;
}

bool XmlReadFiniteVector3(const TiXmlNode* node, math::Vector3* value, const std::string& where,
                          const std::string& field)
{
    if (value == nullptr)
        return false;
    // Parts whose child is missing keep their value, as XmlReadVector3 has it.
    math::Vector3 read = *value;
    const bool complete = XmlReadVector3(node, &read);
    if (!math::IsValidFloat(read.x) || !math::IsValidFloat(read.y) || !math::IsValidFloat(read.z))
    {
        std::ostringstream shown;
        shown << read;
        Refuse(where, field, shown.str());
        return false;
    }
    *value = read;
    return complete;
}
} // namespace phy
} // namespace dorvo
