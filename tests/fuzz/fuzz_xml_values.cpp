// Any document through the XML file loader, then every element read as every value type, list,
// map and pair. What was read is written, saved, loaded and read again and must come back equal
// (floats: stable after the first write, since text of any precision is rounded once).
// Bounded run: 5500 inputs
#include "FuzzSupport.h"

#include "common/XmlFile.h"
#include "common/XmlUtil.h"
#include "common/math/AABB.h"
#include "common/math/Quad.h"
#include "common/math/Quaternion.h"
#include "common/math/Sphere.h"
#include "common/math/Vector3.h"

#include <tinyxml.h>

#include <algorithm>
#include <cmath>
#include <cstring>
#include <map>
#include <regex>
#include <string>
#include <type_traits>
#include <utility>
#include <vector>

namespace
{
enum class Kind : int
{
    First = -2,
    Last = 3
};

bool Same(float a, float b)
{
    return (std::isnan(a) && std::isnan(b)) || (a == b && std::signbit(a) == std::signbit(b));
}
bool Same(int a, int b)
{
    return a == b;
}
bool Same(unsigned a, unsigned b)
{
    return a == b;
}
bool Same(bool a, bool b)
{
    return a == b;
}
bool Same(Kind a, Kind b)
{
    return a == b;
}
bool Same(const std::string& a, const std::string& b)
{
    return a == b;
}
bool Same(const math::Vector3& a, const math::Vector3& b)
{
    return Same(a.x, b.x) && Same(a.y, b.y) && Same(a.z, b.z);
}
bool Same(const math::Quaternion& a, const math::Quaternion& b)
{
    return Same(a.w, b.w) && Same(a.x, b.x) && Same(a.y, b.y) && Same(a.z, b.z);
}
bool Same(const math::Sphere& a, const math::Sphere& b)
{
    return Same(a.center, b.center) && Same(a.radius, b.radius);
}
bool Same(const math::AABB& a, const math::AABB& b)
{
    return Same(a.min, b.min) && Same(a.max, b.max);
}
bool Same(const math::Quad& a, const math::Quad& b)
{
    return Same(a.p0, b.p0) && Same(a.p1, b.p1) && Same(a.p2, b.p2) && Same(a.p3, b.p3) &&
           Same(a.normal, b.normal);
}
template <typename A, typename B> bool Same(const std::pair<A, B>& a, const std::pair<A, B>& b);
template <typename T> bool Same(const std::vector<T>& a, const std::vector<T>& b);
template <typename K, typename T> bool Same(const std::map<K, T>& a, const std::map<K, T>& b);

template <typename A, typename B> bool Same(const std::pair<A, B>& a, const std::pair<A, B>& b)
{
    return Same(a.first, b.first) && Same(a.second, b.second);
}
template <typename T> bool Same(const std::vector<T>& a, const std::vector<T>& b)
{
    if (a.size() != b.size())
        return false;
    for (std::size_t i = 0; i < a.size(); ++i)
        if (!Same(a[i], b[i]))
            return false;
    return true;
}
template <typename K, typename T> bool Same(const std::map<K, T>& a, const std::map<K, T>& b)
{
    if (a.size() != b.size())
        return false;
    for (auto i = a.begin(), j = b.begin(); i != a.end(); ++i, ++j)
        if (!Same(i->first, j->first) || !Same(i->second, j->second))
            return false;
    return true;
}

template <typename T> bool Read(const TiXmlNode* node, T* value)
{
    return XmlReadValue(node, value);
}
bool Read(const TiXmlNode* node, Kind* value)
{
    return XmlReadEnum(node, value, Kind::First, Kind::Last);
}
template <typename T> void Write(TiXmlNode* parent, const T& value, const std::string& name)
{
    FUZZ_CHECK(XmlWriteValue(parent, value, name), "a writer refused a good parent");
}
void Write(TiXmlNode* parent, Kind value, const std::string& name)
{
    FUZZ_CHECK(XmlWriteEnum(parent, static_cast<int>(value), name), "a writer refused a good parent");
}

// Every element of the document, in document order, walked without recursion.
std::vector<const TiXmlElement*> Elements(const TiXmlDocument& document)
{
    std::vector<const TiXmlElement*> all;
    std::vector<const TiXmlElement*> stack;
    for (const TiXmlElement* e = document.FirstChildElement(); e; e = e->NextSiblingElement())
        stack.push_back(e);
    std::reverse(stack.begin(), stack.end());
    while (!stack.empty() && all.size() < 400)
    {
        const TiXmlElement* e = stack.back();
        stack.pop_back();
        all.push_back(e);
        std::vector<const TiXmlElement*> children;
        for (const TiXmlElement* c = e->FirstChildElement(); c; c = c->NextSiblingElement())
            children.push_back(c);
        stack.insert(stack.end(), children.rbegin(), children.rend());
    }
    return all;
}

// Writes the values (named as read) into a document, saves it, loads it with the file loader and
// reads every child back; all of them must read.
template <typename T>
std::vector<T> ThroughFile(const std::vector<T>& values, const std::vector<std::string>& names,
                           std::vector<std::string>* namesBack)
{
    TiXmlDocument out;
    TiXmlElement* root = new TiXmlElement("Root");
    out.LinkEndChild(root);
    for (std::size_t i = 0; i < values.size(); ++i)
        Write(root, values[i], names[i]);
    FUZZ_CHECK(out.SaveFile("values.xml"), "cannot save");
    TiXmlDocument in;
    std::string error;
    FUZZ_CHECK(XmlLoadFile("values.xml", in, error), "a saved file does not load: " + error);
    std::vector<T> back;
    const TiXmlNode* child = XmlFirstChildElement(in.RootElement());
    for (std::size_t i = 0; i < values.size(); ++i, child = XmlNextSiblingElement(child))
    {
        FUZZ_CHECK(child != nullptr, "a written value is missing");
        T value{};
        FUZZ_CHECK(Read(child, &value), "a written value does not read");
        back.push_back(value);
        std::string name;
        FUZZ_CHECK(XmlReadNameAttribute(child, &name), "a written name is missing");
        namesBack->push_back(name);
    }
    return back;
}

// An integer is read from nothing but a sign and digits, with blanks around them.
bool WholeInteger(const char* text)
{
    const std::regex whole("[ \\t\\n\\v\\f\\r]*[+-]?[0-9]+[ \\t\\n\\v\\f\\r]*");
    return text != nullptr && std::regex_match(text, whole);
}

template <typename T>
void Check(const std::vector<const TiXmlElement*>& elements, bool exact, const char* type)
{
    std::vector<T> first;
    std::vector<std::string> names;
    for (const TiXmlElement* e : elements)
    {
        T value{};
        if (!Read(e, &value))
            continue;
        if constexpr (std::is_same_v<T, int> || std::is_same_v<T, unsigned>)
            FUZZ_CHECK(WholeInteger(e->GetText()),
                       std::string(type) + ": a number was read from part of a text");
        first.push_back(value);
        std::string name;
        XmlReadNameAttribute(e, &name);
        names.push_back(name);
    }
    if (first.empty())
        return;
    std::vector<std::string> names2, names3;
    const std::vector<T> second = ThroughFile(first, names, &names2);
    const std::vector<T> third = ThroughFile(second, names2, &names3);
    FUZZ_CHECK(names2 == names && names3 == names, std::string(type) + ": a name changed through a file");
    if (exact)
        FUZZ_CHECK(Same(first, second), std::string(type) + ": a value changed through a file");
    FUZZ_CHECK(Same(second, third), std::string(type) + ": a value changed through a second file");
}
} // namespace

extern "C" int LLVMFuzzerInitialize(int*, char***)
{
    fuzzsupport::Init();
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    fuzzsupport::InWorkFolder here;
    fuzzsupport::WriteFile("input.xml", std::string(reinterpret_cast<const char*>(data), size));
    TiXmlDocument document;
    std::string error;
    if (!XmlLoadFile("input.xml", document, error))
    {
        FUZZ_CHECK(fuzzsupport::IsOneLine(error), "the refusal is not one line: " + error);
        FUZZ_CHECK(error.compare(0, 10, "input.xml:") == 0, "the refusal does not name the file: " + error);
        return 0;
    }
    const std::vector<const TiXmlElement*> elements = Elements(document);
    Check<std::string>(elements, true, "string");
    Check<int>(elements, true, "int");
    Check<unsigned>(elements, true, "uint");
    Check<float>(elements, false, "float");
    Check<bool>(elements, true, "bool");
    Check<Kind>(elements, true, "enum");
    Check<math::Vector3>(elements, false, "Vector");
    Check<math::Quaternion>(elements, false, "Quat");
    Check<math::Sphere>(elements, false, "Sphere");
    Check<math::AABB>(elements, false, "AABB");
    Check<math::Quad>(elements, false, "Quad");
    Check<std::vector<int>>(elements, true, "list of int");
    Check<std::vector<std::string>>(elements, true, "list of string");
    Check<std::vector<math::Vector3>>(elements, false, "list of Vector");
    Check<std::vector<std::vector<float>>>(elements, false, "list of lists");
    Check<std::map<std::string, float>>(elements, false, "map by name");
    Check<std::map<int, std::string>>(elements, true, "map by number");
    Check<std::pair<std::string, unsigned>>(elements, true, "pair");
    return 0;
}
