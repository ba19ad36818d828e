// The XML value vocabulary every saved field is written in: one element per field, named after
// the value's TYPE ("string", "int", "uint", "float", "bool", "enum", "list", "pair", "Vector",
// "Quat", "Sphere", "AABB", "Quad"), the field's name in the attribute "name". Readers take
// elements strictly by position and never look at element names or "name" attributes, so the
// order in which a serialiser writes its fields IS the file format; read them back in that order.
//
// Writers take the parent element and return false (writing nothing) when it is null or not an
// element. Readers take the value's own element and a target; facing a missing node, a missing
// child, an element without text or a malformed number they return false and leave what they
// could not read unchanged. Numbers are written and parsed in the "C" locale whatever the user's.
#pragma once

#include <map>
#include <string>
#include <type_traits>
#include <utility>
#include <vector>

class TiXmlNode;

namespace math
{
class Vector3;
class Quaternion;
class Sphere;
class AABB;
class Quad;
} // namespace math

// Scalar writers: the value as the element's only text.
bool XmlWriteString(TiXmlNode* parent, const std::string& value, const std::string& name);
bool XmlWriteInt(TiXmlNode* parent, int value, const std::string& name);
bool XmlWriteUint(TiXmlNode* parent, unsigned int value, const std::string& name);
// Six significant digits, general notation: 0.1 -> "0.1", 1/3 -> "0.333333", 1234567 -> "1.23457e+06".
bool XmlWriteFloat(TiXmlNode* parent, float value, const std::string& name);
bool XmlWriteBool(TiXmlNode* parent, bool value, const std::string& name); // "true" / "false"
// "enum": the enumerator's integer value, written like "int". Read it with XmlReadEnum.
bool XmlWriteEnum(TiXmlNode* parent, int value, const std::string& name);

// Compound writers: child elements of the same vocabulary with fixed names, in this order.
bool XmlWriteVector3(TiXmlNode* parent, const math::Vector3& value, const std::string& name); // x, y, z
bool XmlWriteQuaternion(TiXmlNode* parent, const math::Quaternion& value,
                        const std::string& name);                                           // x, y, z, w
bool XmlWriteSphere(TiXmlNode* parent, const math::Sphere& value, const std::string& name); // Center, Radius
bool XmlWriteAABB(TiXmlNode* parent, const math::AABB& value, const std::string& name);     // Min, Max
bool XmlWriteQuad(TiXmlNode* parent, const math::Quad& value, const std::string& name); // P0..P3, no normal

// Scalar readers.
// An element without text is an empty string: the target keeps its value and the result is true.
bool XmlReadString(const TiXmlNode* node, std::string* value);
// Numbers are read whole: blanks may surround one, but a text with anything else left over
// ("1,5", "0x10", "2.5" for an integer) is refused like a text that is no number. A refused text
// (not a missing one) gets one line naming the file, line and field, unless a
// common::XmlQuietNumbers is alive; the target keeps its value.
// Decimal as strtol reads it (leading blanks and a sign); clamps to the signed 32-bit range. Used
// for "int" and "enum".
bool XmlReadInt(const TiXmlNode* node, int* value);
// The whole unsigned 32-bit range; a negative "int" text keeps its bit pattern ("-1" -> 0xFFFFFFFF).
bool XmlReadUint(const TiXmlNode* node, unsigned int* value);
// As atof reads it, but "nan", "inf" and values beyond the float range are refused: no file holds
// them on purpose, and no field can use them.
bool XmlReadFloat(const TiXmlNode* node, float* value);
// "true" (any case) or an integer 1 gives true; "false" (any case) or exactly "0" gives false; any
// other text ("yes", "2", "00") leaves the target unchanged and still returns true.
bool XmlReadBool(const TiXmlNode* node, bool* value);

// Whether an enumeration has a fixed underlying type (every enum class, and a plain enum declared
// with ": type"): only then does every value of that type form a valid enumerator.
template <typename Enum, typename = void> struct XmlHasFixedUnderlyingType : std::false_type
{
};
template <typename Enum>
struct XmlHasFixedUnderlyingType<Enum, std::void_t<decltype(Enum{std::underlying_type_t<Enum>{}})>>
    : std::true_type
{
};

// Where an element stands, for a log line: "<file>:<line>" when its document is named after its
// file (the loaders name theirs), "line <n>" in an unnamed one, the file alone when the line is
// not known, "" for no element.
std::string XmlPlace(const TiXmlNode* node);

// Writes the one line that an "enum" value outside its range gets.
void XmlReportEnumOutOfRange(const TiXmlNode* node, int number, long long lowest, long long highest);

// An "enum" element read as XmlReadInt reads it. A number outside lowest..highest (the valid
// enumerators, inclusive) returns false, leaves the target unchanged and writes one line.
template <typename Enum> bool XmlReadEnum(const TiXmlNode* node, Enum* value, Enum lowest, Enum highest)
{
    static_assert(std::is_enum<Enum>::value && XmlHasFixedUnderlyingType<Enum>::value,
                  "XmlReadEnum needs an enumeration with a fixed underlying type");
    int number = 0;
    if (!value || !XmlReadInt(node, &number))
    {
        return false;
    }
    const long long low = static_cast<long long>(static_cast<std::underlying_type_t<Enum>>(lowest));
    const long long high = static_cast<long long>(static_cast<std::underlying_type_t<Enum>>(highest));
    if (number < low || number > high)
    {
        XmlReportEnumOutOfRange(node, number, low, high);
        return false;
    }
    *value = static_cast<Enum>(number);
    return true;
}

// Compound readers: the children in order; parts whose child is missing keep their value.
bool XmlReadVector3(const TiXmlNode* node, math::Vector3* value);
bool XmlReadQuaternion(const TiXmlNode* node, math::Quaternion* value);
bool XmlReadSphere(const TiXmlNode* node, math::Sphere* value);
bool XmlReadAABB(const TiXmlNode* node, math::AABB* value);
bool XmlReadQuad(const TiXmlNode* node, math::Quad* value); // the normal is always recomputed

// For serialisers that keep XML as they read it: every text below `node` that a default parse
// would change (leading, trailing or doubled blanks, white space only) becomes CDATA, so a
// saved copy reads back as it was.
void XmlKeepTexts(TiXmlNode* node);

// Building blocks for lists and pairs whose items a serialiser writes itself.
// Appends <list name=".." size="..">; returns it for the items, or null when parent is unusable.
TiXmlNode* XmlWriteListElement(TiXmlNode* parent, const std::string& name, int size);
// The "size" of a "list" element; false when the node is unusable or the attribute is missing or
// not a whole number (read as XmlReadInt reads, but without a line: the list's reader writes it).
bool XmlReadListSize(const TiXmlNode* node, int* size);
// Appends <pair name="..">; its two children are written with the names "First" and "Second".
TiXmlNode* XmlWritePairElement(TiXmlNode* parent, const std::string& name);
// Walking by position: the first child element, the next sibling element, or null.
const TiXmlNode* XmlFirstChildElement(const TiXmlNode* node);
const TiXmlNode* XmlNextSiblingElement(const TiXmlNode* node);
// For fields read back by position, one element each: the element `*child` stands on, with
// `*child` moved on to the next sibling element; null (and `*child` left null) once they run out.
const TiXmlNode* XmlTakeElement(const TiXmlNode** child);
// The "name" attribute of an element (an item's key in a keyed list); false when there is none.
bool XmlReadNameAttribute(const TiXmlNode* node, std::string* name);

// One name for every type, so containers can be written and read generically.
inline bool XmlWriteValue(TiXmlNode* parent, const std::string& value, const std::string& name)
{
    return XmlWriteString(parent, value, name);
}
inline bool XmlWriteValue(TiXmlNode* parent, const char* value, const std::string& name)
{
    return XmlWriteString(parent, value ? value : "", name);
}
inline bool XmlWriteValue(TiXmlNode* parent, int value, const std::string& name)
{
    return XmlWriteInt(parent, value, name);
}
inline bool XmlWriteValue(TiXmlNode* parent, unsigned int value, const std::string& name)
{
    return XmlWriteUint(parent, value, name);
}
inline bool XmlWriteValue(TiXmlNode* parent, float value, const std::string& name)
{
    return XmlWriteFloat(parent, value, name);
}
inline bool XmlWriteValue(TiXmlNode* parent, bool value, const std::string& name)
{
    return XmlWriteBool(parent, value, name);
}
inline bool XmlWriteValue(TiXmlNode* parent, const math::Vector3& value, const std::string& name)
{
    return XmlWriteVector3(parent, value, name);
}
inline bool XmlWriteValue(TiXmlNode* parent, const math::Quaternion& value, const std::string& name)
{
    return XmlWriteQuaternion(parent, value, name);
}
inline bool XmlWriteValue(TiXmlNode* parent, const math::Sphere& value, const std::string& name)
{
    return XmlWriteSphere(parent, value, name);
}
inline bool XmlWriteValue(TiXmlNode* parent, const math::AABB& value, const std::string& name)
{
    return XmlWriteAABB(parent, value, name);
}
inline bool XmlWriteValue(TiXmlNode* parent, const math::Quad& value, const std::string& name)
{
    return XmlWriteQuad(parent, value, name);
}

inline bool XmlReadValue(const TiXmlNode* node, std::string* value)
{
    return XmlReadString(node, value);
}
inline bool XmlReadValue(const TiXmlNode* node, int* value)
{
    return XmlReadInt(node, value);
}
inline bool XmlReadValue(const TiXmlNode* node, unsigned int* value)
{
    return XmlReadUint(node, value);
}
inline bool XmlReadValue(const TiXmlNode* node, float* value)
{
    return XmlReadFloat(node, value);
}
inline bool XmlReadValue(const TiXmlNode* node, bool* value)
{
    return XmlReadBool(node, value);
}
inline bool XmlReadValue(const TiXmlNode* node, math::Vector3* value)
{
    return XmlReadVector3(node, value);
}
inline bool XmlReadValue(const TiXmlNode* node, math::Quaternion* value)
{
    return XmlReadQuaternion(node, value);
}
inline bool XmlReadValue(const TiXmlNode* node, math::Sphere* value)
{
    return XmlReadSphere(node, value);
}
inline bool XmlReadValue(const TiXmlNode* node, math::AABB* value)
{
    return XmlReadAABB(node, value);
}
inline bool XmlReadValue(const TiXmlNode* node, math::Quad* value)
{
    return XmlReadQuad(node, value);
}

// Containers. A "list" holds one item element per entry in the container's order; items of a
// container keyed by string carry the key as their "name"; other items have an empty "name";
// pair items (and entries of maps with other keys) are "pair" elements. A list read in full
// replaces the container; one that is short or has a bad item leaves it unchanged. Size 0 reads
// as an empty container; a negative size is an error.
template <typename A, typename B>
bool XmlWriteValue(TiXmlNode* parent, const std::pair<A, B>& value, const std::string& name);
template <typename T>
bool XmlWriteValue(TiXmlNode* parent, const std::vector<T>& value, const std::string& name);
template <typename T>
bool XmlWriteValue(TiXmlNode* parent, const std::map<std::string, T>& value, const std::string& name);
template <typename K, typename T>
bool XmlWriteValue(TiXmlNode* parent, const std::map<K, T>& value, const std::string& name);
template <typename A, typename B> bool XmlReadValue(const TiXmlNode* node, std::pair<A, B>* value);
template <typename T> bool XmlReadValue(const TiXmlNode* node, std::vector<T>* value);
template <typename T> bool XmlReadValue(const TiXmlNode* node, std::map<std::string, T>* value);
template <typename K, typename T> bool XmlReadValue(const TiXmlNode* node, std::map<K, T>* value);

template <typename A, typename B>
bool XmlWritePair(TiXmlNode* parent, const std::pair<A, B>& value, const std::string& name)
{
    TiXmlNode* pair = XmlWritePairElement(parent, name);
    if (!pair)
    {
        return false;
    }
    XmlWriteValue(pair, value.first, "First");
    XmlWriteValue(pair, value.second, "Second");
    return true;
}

// Reads First, then Second; a part whose child is missing or bad keeps its value.
template <typename A, typename B> bool XmlReadPair(const TiXmlNode* node, std::pair<A, B>* value)
{
    if (!value)
    {
        return false;
    }
    const TiXmlNode* first = XmlFirstChildElement(node);
    if (!first)
    {
        return false;
    }
    bool ok = XmlReadValue(first, &value->first);
    const TiXmlNode* second = XmlNextSiblingElement(first);
    if (!second)
    {
        return false;
    }
    ok = XmlReadValue(second, &value->second) && ok;
    return ok;
}

template <typename Container>
bool XmlWriteList(TiXmlNode* parent, const Container& items, const std::string& name)
{
    TiXmlNode* list = XmlWriteListElement(parent, name, static_cast<int>(items.size()));
    if (!list)
    {
        return false;
    }
    for (const auto& item : items)
    {
        XmlWriteValue(list, item, std::string());
    }
    return true;
}

template <typename T>
bool XmlWriteList(TiXmlNode* parent, const std::map<std::string, T>& items, const std::string& name)
{
    TiXmlNode* list = XmlWriteListElement(parent, name, static_cast<int>(items.size()));
    if (!list)
    {
        return false;
    }
    for (const auto& item : items)
    {
        XmlWriteValue(list, item.second, item.first);
    }
    return true;
}

template <typename T> bool XmlReadList(const TiXmlNode* node, std::vector<T>* items)
{
    int size = 0;
    if (!items || !XmlReadListSize(node, &size) || size < 0)
    {
        return false;
    }
    std::vector<T> read;
    const TiXmlNode* child = XmlFirstChildElement(node);
    for (int i = 0; i < size; ++i, child = XmlNextSiblingElement(child))
    {
        T item{};
        if (!child || !XmlReadValue(child, &item))
        {
            return false;
        }
        read.push_back(item);
    }
    items->swap(read);
    return true;
}

template <typename K, typename T> bool XmlReadList(const TiXmlNode* node, std::map<K, T>* items)
{
    int size = 0;
    if (!items || !XmlReadListSize(node, &size) || size < 0)
    {
        return false;
    }
    std::map<K, T> read;
    const TiXmlNode* child = XmlFirstChildElement(node);
    for (int i = 0; i < size; ++i, child = XmlNextSiblingElement(child))
    {
        std::pair<K, T> item{};
        if (!child || !XmlReadValue(child, &item))
        {
            return false;
        }
        read[item.first] = item.second;
    }
    items->swap(read);
    return true;
}

template <typename T> bool XmlReadList(const TiXmlNode* node, std::map<std::string, T>* items)
{
    int size = 0;
    if (!items || !XmlReadListSize(node, &size) || size < 0)
    {
        return false;
    }
    std::map<std::string, T> read;
    const TiXmlNode* child = XmlFirstChildElement(node);
    for (int i = 0; i < size; ++i, child = XmlNextSiblingElement(child))
    {
        std::string key;
        T item{};
        if (!child || !XmlReadNameAttribute(child, &key) || !XmlReadValue(child, &item))
        {
            return false;
        }
        read[key] = item;
    }
    items->swap(read);
    return true;
}

template <typename A, typename B>
bool XmlWriteValue(TiXmlNode* parent, const std::pair<A, B>& value, const std::string& name)
{
    return XmlWritePair(parent, value, name);
}
template <typename T>
bool XmlWriteValue(TiXmlNode* parent, const std::vector<T>& value, const std::string& name)
{
    return XmlWriteList(parent, value, name);
}
template <typename T>
bool XmlWriteValue(TiXmlNode* parent, const std::map<std::string, T>& value, const std::string& name)
{
    return XmlWriteList(parent, value, name);
}
template <typename K, typename T>
bool XmlWriteValue(TiXmlNode* parent, const std::map<K, T>& value, const std::string& name)
{
    return XmlWriteList(parent, value, name);
}
template <typename A, typename B> bool XmlReadValue(const TiXmlNode* node, std::pair<A, B>* value)
{
    return XmlReadPair(node, value);
}
template <typename T> bool XmlReadValue(const TiXmlNode* node, std::vector<T>* value)
{
    return XmlReadList(node, value);
}
template <typename T> bool XmlReadValue(const TiXmlNode* node, std::map<std::string, T>* value)
{
    return XmlReadList(node, value);
}
template <typename K, typename T> bool XmlReadValue(const TiXmlNode* node, std::map<K, T>* value)
{
    return XmlReadList(node, value);
}
