#include "common/XmlUtil.h"

#include "common/math/AABB.h"
#include "common/math/Quad.h"
#include "common/math/Quaternion.h"
#include "common/math/Sphere.h"
#include "common/math/Vector3.h"

#include "common/FaultTally.h"
#include "common/XmlQuietNumbers.h"

#include "platform/log.h"

#include <tinyxml.h>

#include <cctype>
#include <charconv>
#include <cmath>
#include <cstdint>
#include <limits>
#include <locale>
#include <sstream>

namespace
{
const char* const kNameAttribute = "name";

// Formats a number as a default-configured stream would, but always in the "C" locale so a
// user locale with a decimal comma or digit grouping cannot leak into saved files.
template <typename T> std::string FormatNumber(T value)
{
    std::ostringstream out;
    out.imbue(std::locale::classic());
    out << value;
    return out.str();
}

bool IsBlank(char c)
{
    return c == ' ' || c == '\t' || c == '\n' || c == '\v' || c == '\f' || c == '\r';
}

// Whether only blanks remain: white space around a value is XML layout, anything else after
// the number ("1,5", "0x10", "2.5", "1e38" as a count) means the text is not that number.
bool OnlyBlanksFrom(const char* text)
{
    while (IsBlank(*text))
    {
        ++text;
    }
    return *text == '\0';
}

// strtol's grammar in the "C" locale: leading blanks, an optional sign, decimal digits, and then
// nothing but blanks. Saturates at the 64-bit ends. False when no digit was found or something
// follows the digits.
bool ParseInteger(const char* text, std::int64_t* value)
{
    while (IsBlank(*text))
    {
        ++text;
    }
    bool negative = false;
    if (*text == '+' || *text == '-')
    {
        negative = *text == '-';
        ++text;
    }
    if (*text < '0' || *text > '9')
    {
        return false;
    }
    // Accumulate the magnitude negatively so INT64_MIN fits.
    const std::int64_t lowest = std::numeric_limits<std::int64_t>::min();
    std::int64_t result = 0;
    bool saturated = false;
    for (; *text >= '0' && *text <= '9'; ++text)
    {
        const int digit = *text - '0';
        if (result < (lowest + digit) / 10)
        {
            saturated = true;
            continue;
        }
        result = result * 10 - digit;
    }
    if (!OnlyBlanksFrom(text))
    {
        return false;
    }
    if (saturated)
    {
        *value = negative ? lowest : std::numeric_limits<std::int64_t>::max();
    }
    else if (negative)
    {
        *value = result;
    }
    else
    {
        *value = result == lowest ? std::numeric_limits<std::int64_t>::max() : -result;
    }
    return true;
}

// atof's grammar in the "C" locale (leading blanks, sign, decimal or exponent form), followed by
// nothing but blanks. False when nothing could be converted or something follows the number,
// and for what is no float: "nan", "inf" and a value beyond the float range (1e39, 1e400), which
// no field can use.
bool ParseFloat(const char* text, float* value)
{
    while (IsBlank(*text))
    {
        ++text;
    }
    bool negative = false;
    if (*text == '+' || *text == '-')
    {
        negative = *text == '-';
        ++text;
    }
    if (*text == '+' || *text == '-')
    {
        return false;
    }
    const char* end = text;
    while (*end)
    {
        ++end;
    }
    double parsed = 0.0;
    const std::from_chars_result result = std::from_chars(text, end, parsed);
    if (result.ec != std::errc() || !OnlyBlanksFrom(result.ptr))
    {
        return false;
    }
    if (!std::isfinite(parsed) || std::fabs(parsed) > std::numeric_limits<float>::max())
    {
        return false;
    }
    const float converted = static_cast<float>(parsed);
    *value = negative ? -converted : converted;
    return true;
}

// The element's text: its first child when that child is a text node; null otherwise.
const char* ElementText(const TiXmlNode* node)
{
    if (!node || !node->ToElement())
    {
        return nullptr;
    }
    const TiXmlNode* child = node->FirstChild();
    if (!child || !child->ToText())
    {
        return nullptr;
    }
    return child->Value();
}

// Steps 1 to 3 of every writer: a new element named by the type, appended as the parent's last
// child, carrying the field name.
TiXmlElement* AppendElement(TiXmlNode* parent, const char* type, const std::string& name)
{
    if (!parent || !parent->ToElement())
    {
        return nullptr;
    }
    TiXmlElement* element = new TiXmlElement(type);
    element->SetAttribute(kNameAttribute, name);
    parent->LinkEndChild(element);
    return element;
}

bool IsXmlBlank(char c)
{
    return std::isspace(static_cast<unsigned char>(c)) != 0;
}

// Whether reading the text back, as TinyXML reads element text by default, would give
// something else: it drops leading and trailing blanks, turns a run of blanks into one and
// drops a text that is only white space. (The printer writes every other control character
// as a reference, which survives.)
bool ParseWouldChange(const std::string& text)
{
    if (text.empty())
    {
        return false; // written as no text at all, which reads as "keep the value"
    }
    if (text.front() == ' ' || text.back() == ' ' || text.find("  ") != std::string::npos)
    {
        return true;
    }
    for (char c : text)
    {
        if (!IsXmlBlank(c))
        {
            return false;
        }
    }
    return true;
}

bool WriteScalar(TiXmlNode* parent, const char* type, const std::string& text, const std::string& name)
{
    TiXmlElement* element = AppendElement(parent, type, name);
    if (!element)
    {
        return false;
    }
    element->LinkEndChild(new TiXmlText(text));
    return true;
}

// Reads the compound's children in order, one per part. A missing child leaves that part and
// the ones after it unchanged; a bad part does not stop the parts after it.
template <typename Part, typename Reader, std::size_t N>
bool ReadParts(const TiXmlNode* node, Part* const (&parts)[N], Reader reader)
{
    if (!node || !node->ToElement())
    {
        return false;
    }
    bool ok = true;
    const TiXmlNode* child = XmlFirstChildElement(node);
    for (Part* part : parts)
    {
        if (!child)
        {
            return false;
        }
        ok = reader(child, part) && ok;
        child = XmlNextSiblingElement(child);
    }
    return ok;
}

// The one line a number text that is refused gets, unless the caller writes its own.
void ReportRefusedNumber(const char* reader, const TiXmlNode* node, const char* text, const char* want)
{
    if (common::XmlQuietNumbers::Active())
    {
        return;
    }
    const std::string shown(text);
    std::string place = XmlPlace(node);
    std::string name;
    if (XmlReadNameAttribute(node, &name))
    {
        place += (place.empty() ? "\"" : ": \"") + name.substr(0, 64) + (name.size() > 64 ? "...\"" : "\"");
    }
    const std::string what = "\"" + shown.substr(0, 64) + (shown.size() > 64 ? "..." : "") + "\" is not " +
                             want + "; the value is kept";
    const std::string line = std::string(reader) + ": " + (place.empty() ? "" : place + ": ") + what;
    if (common::FaultTally* tally = common::FaultTally::Current())
    {
        tally->Report(common::FaultTally::KindOf(what), line,
                      node && node->Row() > 0 ? "line " + std::to_string(node->Row()) : std::string());
    }
    else
    {
        plat::WriteLogLine(line);
    }
}

bool ReadInteger(const char* reader, const TiXmlNode* node, std::int64_t* value)
{
    const char* text = ElementText(node);
    if (!text)
    {
        return false;
    }
    if (!ParseInteger(text, value))
    {
        ReportRefusedNumber(reader, node, text, "a whole number");
        return false;
    }
    return true;
}

// strtol's saturation at the ends of the signed 32-bit range.
int ClampToInt(std::int64_t number)
{
    const std::int64_t lowest = std::numeric_limits<std::int32_t>::min();
    const std::int64_t highest = std::numeric_limits<std::int32_t>::max();
    return static_cast<int>(number < lowest ? lowest : (number > highest ? highest : number));
}

// The whole unsigned 32-bit range. Negative texts come from "int" elements read as unsigned:
// they keep their bit pattern ("-1" gives 0xFFFFFFFF).
unsigned int ToUnsignedBits(std::int64_t number)
{
    const std::int64_t lowest = std::numeric_limits<std::int32_t>::min();
    const std::int64_t highest = std::numeric_limits<std::uint32_t>::max();
    number = number < lowest ? lowest : (number > highest ? highest : number);
    return static_cast<unsigned int>(static_cast<std::uint32_t>(number));
}
} // namespace

namespace
{
// The text as CDATA sections, inserted before `before` (appended when it is null). A section
// cannot hold "]]>", so the text is cut after each "]]" that a '>' follows; readers join the
// sections again.
void InsertCData(TiXmlNode* parent, TiXmlNode* before, const std::string& value)
{
    std::size_t start = 0;
    for (;;)
    {
        const std::size_t end = value.find("]]>", start);
        TiXmlText section(end == std::string::npos ? value.substr(start)
                                                   : value.substr(start, end + 2 - start));
        section.SetCDATA(true);
        if (before)
        {
            parent->InsertBeforeChild(before, section);
        }
        else
        {
            parent->InsertEndChild(section);
        }
        if (end == std::string::npos)
        {
            return;
        }
        start = end + 2;
    }
}
} // namespace

bool XmlWriteString(TiXmlNode* parent, const std::string& value, const std::string& name)
{
    if (!ParseWouldChange(value))
    {
        return WriteScalar(parent, "string", value, name);
    }
    // Kept verbatim as CDATA.
    TiXmlElement* element = AppendElement(parent, "string", name);
    if (!element)
    {
        return false;
    }
    InsertCData(element, nullptr, value);
    return true;
}

void XmlKeepTexts(TiXmlNode* node)
{
    if (!node)
    {
        return;
    }
    std::vector<TiXmlNode*> pending{node};
    while (!pending.empty())
    {
        TiXmlNode* current = pending.back();
        pending.pop_back();
        for (TiXmlNode* child = current->FirstChild(); child;)
        {
            TiXmlNode* next = child->NextSibling();
            TiXmlText* text = child->ToText();
            if (text && !text->CDATA() && ParseWouldChange(text->ValueStr()))
            {
                InsertCData(current, child, text->ValueStr());
                current->RemoveChild(child);
            }
            else if (child->ToElement())
            {
                pending.push_back(child);
            }
            child = next;
        }
    }
}

bool XmlWriteInt(TiXmlNode* parent, int value, const std::string& name)
{
    return WriteScalar(parent, "int", FormatNumber(value), name);
}

bool XmlWriteUint(TiXmlNode* parent, unsigned int value, const std::string& name)
{
    return WriteScalar(parent, "uint", FormatNumber(value), name);
}

bool XmlWriteFloat(TiXmlNode* parent, float value, const std::string& name)
{
    return WriteScalar(parent, "float", FormatNumber(value), name);
}

bool XmlWriteBool(TiXmlNode* parent, bool value, const std::string& name)
{
    return WriteScalar(parent, "bool", value ? "true" : "false", name);
}

bool XmlWriteEnum(TiXmlNode* parent, int value, const std::string& name)
{
    return WriteScalar(parent, "enum", FormatNumber(value), name);
}

bool XmlWriteVector3(TiXmlNode* parent, const math::Vector3& value, const std::string& name)
{
    TiXmlElement* element = AppendElement(parent, "Vector", name);
    if (!element)
    {
        return false;
    }
    XmlWriteFloat(element, value.x, "x");
    XmlWriteFloat(element, value.y, "y");
    XmlWriteFloat(element, value.z, "z");
    return true;
}

bool XmlWriteQuaternion(TiXmlNode* parent, const math::Quaternion& value, const std::string& name)
{
    TiXmlElement* element = AppendElement(parent, "Quat", name);
    if (!element)
    {
        return false;
    }
    // w goes last in files although it is first in memory.
    XmlWriteFloat(element, value.x, "x");
    XmlWriteFloat(element, value.y, "y");
    XmlWriteFloat(element, value.z, "z");
    XmlWriteFloat(element, value.w, "w");
    return true;
}

bool XmlWriteSphere(TiXmlNode* parent, const math::Sphere& value, const std::string& name)
{
    TiXmlElement* element = AppendElement(parent, "Sphere", name);
    if (!element)
    {
        return false;
    }
    XmlWriteVector3(element, value.center, "Center");
    XmlWriteFloat(element, value.radius, "Radius");
    return true;
}

bool XmlWriteAABB(TiXmlNode* parent, const math::AABB& value, const std::string& name)
{
    TiXmlElement* element = AppendElement(parent, "AABB", name);
    if (!element)
    {
        return false;
    }
    XmlWriteVector3(element, value.min, "Min");
    XmlWriteVector3(element, value.max, "Max");
    return true;
}

bool XmlWriteQuad(TiXmlNode* parent, const math::Quad& value, const std::string& name)
{
    TiXmlElement* element = AppendElement(parent, "Quad", name);
    if (!element)
    {
        return false;
    }
    XmlWriteVector3(element, value.p0, "P0");
    XmlWriteVector3(element, value.p1, "P1");
    XmlWriteVector3(element, value.p2, "P2");
    XmlWriteVector3(element, value.p3, "P3");
    return true;
}

bool XmlReadString(const TiXmlNode* node, std::string* value)
{
    if (!node || !node->ToElement() || !value)
    {
        return false;
    }
    // An empty string is saved as an element without text: keep the target as it is. A text cut
    // into several sections (CDATA around "]]>") is joined.
    const TiXmlNode* child = node->FirstChild();
    if (!child || !child->ToText())
    {
        return true;
    }
    std::string text;
    for (; child && child->ToText(); child = child->NextSibling())
    {
        text += child->ValueStr();
    }
    *value = text;
    return true;
}

bool XmlReadInt(const TiXmlNode* node, int* value)
{
    std::int64_t number = 0;
    if (!value || !ReadInteger("XmlReadInt", node, &number))
    {
        return false;
    }
    *value = ClampToInt(number);
    return true;
}

bool XmlReadUint(const TiXmlNode* node, unsigned int* value)
{
    std::int64_t number = 0;
    if (!value || !ReadInteger("XmlReadUint", node, &number))
    {
        return false;
    }
    *value = ToUnsignedBits(number);
    return true;
}

bool XmlReadFloat(const TiXmlNode* node, float* value)
{
    const char* text = ElementText(node);
    if (!value || !text)
    {
        return false;
    }
    if (!ParseFloat(text, value))
    {
        ReportRefusedNumber("XmlReadFloat", node, text, "a number within the float range");
        return false;
    }
    return true;
}

bool XmlReadBool(const TiXmlNode* node, bool* value)
{
    const char* text = ElementText(node);
    if (!value || !text)
    {
        return false;
    }
    std::string lower(text);
    for (char& c : lower)
    {
        if (c >= 'A' && c <= 'Z')
        {
            c = static_cast<char>(c - 'A' + 'a');
        }
    }
    // The integer as XmlReadUint reads it.
    std::int64_t number = 0;
    const bool isNumber = ParseInteger(lower.c_str(), &number);
    if (lower == "true" || (isNumber && ToUnsignedBits(number) == 1))
    {
        *value = true;
    }
    else if (lower == "false" || lower == "0")
    {
        *value = false;
    }
    return true;
}

bool XmlReadVector3(const TiXmlNode* node, math::Vector3* value)
{
    if (!value)
    {
        return false;
    }
    float* const parts[] = {&value->x, &value->y, &value->z};
    return ReadParts(node, parts, XmlReadFloat);
}

bool XmlReadQuaternion(const TiXmlNode* node, math::Quaternion* value)
{
    if (!value)
    {
        return false;
    }
    float* const parts[] = {&value->x, &value->y, &value->z, &value->w};
    return ReadParts(node, parts, XmlReadFloat);
}

bool XmlReadSphere(const TiXmlNode* node, math::Sphere* value)
{
    if (!value || !node || !node->ToElement())
    {
        return false;
    }
    const TiXmlNode* center = XmlFirstChildElement(node);
    if (!center)
    {
        return false;
    }
    bool ok = XmlReadVector3(center, &value->center);
    const TiXmlNode* radius = XmlNextSiblingElement(center);
    if (!radius)
    {
        return false;
    }
    return XmlReadFloat(radius, &value->radius) && ok;
}

bool XmlReadAABB(const TiXmlNode* node, math::AABB* value)
{
    if (!value)
    {
        return false;
    }
    math::Vector3* const parts[] = {&value->min, &value->max};
    return ReadParts(node, parts, XmlReadVector3);
}

bool XmlReadQuad(const TiXmlNode* node, math::Quad* value)
{
    if (!value)
    {
        return false;
    }
    math::Vector3* const parts[] = {&value->p0, &value->p1, &value->p2, &value->p3};
    const bool ok = ReadParts(node, parts, XmlReadVector3);
    // The normal is never taken from a file; it follows whatever corners the quad now has.
    value->ComputeNormal();
    return ok;
}

TiXmlNode* XmlWriteListElement(TiXmlNode* parent, const std::string& name, int size)
{
    TiXmlElement* element = AppendElement(parent, "list", name);
    if (element)
    {
        element->SetAttribute("size", size);
    }
    return element;
}

bool XmlReadListSize(const TiXmlNode* node, int* size)
{
    const TiXmlElement* element = node ? node->ToElement() : nullptr;
    const char* text = element ? element->Attribute("size") : nullptr;
    std::int64_t number = 0;
    if (!size || !text || !ParseInteger(text, &number))
    {
        return false;
    }
    *size = ClampToInt(number);
    return true;
}

TiXmlNode* XmlWritePairElement(TiXmlNode* parent, const std::string& name)
{
    return AppendElement(parent, "pair", name);
}

const TiXmlNode* XmlFirstChildElement(const TiXmlNode* node)
{
    return node && node->ToElement() ? node->FirstChildElement() : nullptr;
}

const TiXmlNode* XmlNextSiblingElement(const TiXmlNode* node)
{
    return node ? node->NextSiblingElement() : nullptr;
}

const TiXmlNode* XmlTakeElement(const TiXmlNode** child)
{
    const TiXmlNode* current = *child;
    *child = XmlNextSiblingElement(current);
    return current;
}

bool XmlReadNameAttribute(const TiXmlNode* node, std::string* name)
{
    const TiXmlElement* element = node ? node->ToElement() : nullptr;
    const char* text = element ? element->Attribute(kNameAttribute) : nullptr;
    if (!name || !text)
    {
        return false;
    }
    *name = text;
    return true;
}

std::string XmlPlace(const TiXmlNode* node)
{
    std::string place;
    const TiXmlDocument* document = node ? node->GetDocument() : nullptr;
    if (document && !document->ValueStr().empty())
    {
        place = document->ValueStr();
    }
    if (node && node->Row() > 0)
    {
        place += (place.empty() ? "line " : ":") + std::to_string(node->Row());
    }
    return place;
}

void XmlReportEnumOutOfRange(const TiXmlNode* node, int number, long long lowest, long long highest)
{
    // The element: its file and line where known, and its name.
    std::string place = XmlPlace(node);
    std::string name;
    if (XmlReadNameAttribute(node, &name))
    {
        place += (place.empty() ? "\"" : ": \"") + name.substr(0, 64) + "\"";
    }
    DORVO_LOG("XmlReadEnum: %s%s%d is not one of %lld to %lld; the value is kept", place.c_str(),
              place.empty() ? "" : ": ", number, lowest, highest);
}
