#include "engine/phy/FiniteXml.h"

#include "common/XmlQuietNumbers.h"
#include "common/XmlUtil.h"
#include "common/math/MathUtil.h"
#include "common/math/Vector3.h"
#include "platform/log.h"

#include <tinyxml.h>

#include <sstream>

namespace dorvo
{
namespace phy
{
namespace
{
// "<file>:<line>: " when the element comes from a named document (the game's loaders name theirs
// after the file), else nothing.
std::string Place(const TiXmlNode* node)
{
    const TiXmlDocument* document = node != nullptr ? node->GetDocument() : nullptr;
    if (document == nullptr || document->ValueStr().empty())
        return std::string();
    return document->ValueStr() + ":" + std::to_string(node->Row()) + ": ";
}

void Refuse(const TiXmlNode* node, const std::string& where, const std::string& field,
            const std::string& shown)
{
    DORVO_LOG("%s::Deserialize: %s\"%s\" is %s, not a usable number; the value is kept", where.c_str(),
              Place(node).c_str(), field.c_str(), shown.c_str());
}

// An element without text is how a file says "keep the value": it is not refused.
bool HasText(const TiXmlNode* node)
{
    const TiXmlNode* child = node != nullptr ? node->FirstChild() : nullptr;
    return child != nullptr && child->ToText() != nullptr;
}

// The element's own text, as the file has it.
std::string TextOf(const TiXmlNode* node)
{
    std::string text;
    XmlReadString(node, &text);
    return text;
}

std::string Format(float value)
{
    std::ostringstream text;
    text << value;
    return text.str();
}
} // namespace

bool XmlReadFiniteFloat(const TiXmlNode* node, float* value, const std::string& where,
                        const std::string& field)
{
    if (value == nullptr || node == nullptr || node->ToElement() == nullptr || !HasText(node))
        return false;
    const common::XmlQuietNumbers quiet; // the refusal below is the one line
    float read = *value;
    if (!XmlReadFloat(node, &read) || !math::IsValidFloat(read))
    {
        Refuse(node, where, field, "\"" + TextOf(node) + "\"");
        return false;
    }
    *value = read;
    return true;
}

bool XmlReadFiniteVector3(const TiXmlNode* node, math::Vector3* value, const std::string& where,
                          const std::string& field)
{
    if (value == nullptr || node == nullptr || node->ToElement() == nullptr)
        return false;
    // Parts whose child is missing keep their value, as XmlReadVector3 has it.
    const common::XmlQuietNumbers quiet; // the refusal below is the one line
    math::Vector3 read = *value;
    float* const parts[] = {&read.x, &read.y, &read.z};
    std::string shown[3];
    bool complete = true;
    bool usable = true;
    const TiXmlNode* child = XmlFirstChildElement(node);
    for (int i = 0; i < 3; ++i)
    {
        const float kept = *parts[i];
        if (child == nullptr || !HasText(child))
            complete = false; // this part keeps its value
        else if (!XmlReadFloat(child, parts[i]) || !math::IsValidFloat(*parts[i]))
        {
            usable = false;
            // A number too large shows as read, a text that is none as the file has it.
            float number = 0.0f;
            shown[i] = XmlReadFloat(child, &number) ? Format(number) : TextOf(child);
            *parts[i] = kept;
            child = XmlNextSiblingElement(child);
            continue;
        }
        shown[i] = Format(*parts[i]);
        child = XmlNextSiblingElement(child);
    }
    if (!usable)
    {
        Refuse(node, where, field, "(" + shown[0] + ", " + shown[1] + ", " + shown[2] + ")");
        return false;
    }
    *value = read;
    return complete;
}
} // namespace phy
} // namespace dorvo
