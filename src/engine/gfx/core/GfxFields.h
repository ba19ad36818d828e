// One pass over the fields a model, cloth or terrain component saves, in the order the component
// lists them once (that order is the file format): writing them into a new <Component> element,
// or reading them back by position, where a field whose element is missing or unreadable keeps
// its value. Listing the fields once keeps the writer and the reader of a component in step.
//
//   void GfxModelComp::ListFields(GfxFields& fields)
//   {
//       fields(m_XFile, "XFile");
//       fields.Textures();
//       fields.Material(m_Material, "Material");
//   }
//   bool GfxModelComp::Serialize(TiXmlNode* parent)
//   {
//       return GfxFields::Write(parent, *this);
//   }
#pragma once

#include "common/XmlUtil.h"
#include "engine/gfx/core/XmlReadNext.h"

#include <string>

class TiXmlNode;

namespace dorvo
{
namespace gfx
{
class GfxUnitFields;
struct SMaterial;

class GfxFields
{
public:
    // Appends <Component name="..."> (the component's type name, else its class's kTypeName)
    // holding the fields the component's ListFields names to the parent; false for a null or
    // non-element parent, or when it cannot be appended.
    template <typename Component> static bool Write(TiXmlNode* parent, Component& component);
    // Reads the node's child elements by position into the fields the component's ListFields
    // names; false for a null or non-element node.
    template <typename Component> static bool Read(const TiXmlNode* node, Component& component);

    // A plain value (text, number, flag) under its element name.
    template <typename T> void operator()(T& field, const char* name)
    {
        if (m_element != nullptr)
            XmlWriteValue(m_element, field, name);
        else
            m_next = ReadNext(m_next, &field);
    }
    // The unit's "Textures" list.
    void Textures();
    // The unit's "ShadowCaster", "IsVisible" and "AlwaysVisible".
    void VisibilityFlags();
    void Material(SMaterial& material, const char* name);
    // A field with a writer and a reader of its own: write(element) or, when its element is
    // there, read(element).
    template <typename Writer, typename Reader> void Special(const Writer& write, const Reader& read)
    {
        if (m_element != nullptr)
            write(m_element);
        else if (m_next != nullptr)
        {
            read(m_next);
            m_next = XmlNextSiblingElement(m_next);
        }
    }

private:
    GfxFields(GfxUnitFields& unit, TiXmlNode* element, const TiXmlNode* first)
        : m_unit(unit), m_element(element), m_next(first)
    {
    }
    // The appended <Component name="typeName">, or null.
    static TiXmlNode* NewComponentElement(TiXmlNode* parent, const std::string& typeName);
    static bool IsElement(const TiXmlNode* node);

    GfxUnitFields& m_unit;
    TiXmlNode* m_element;    // writing: the new element; null while reading
    const TiXmlNode* m_next; // reading: the element the next field comes from
};

template <typename Component> bool GfxFields::Write(TiXmlNode* parent, Component& component)
{
    const std::string& typeName = component.GetTypeName();
    TiXmlNode* element =
        NewComponentElement(parent, typeName.empty() ? std::string(Component::kTypeName) : typeName);
    if (element == nullptr)
        return false;
    GfxFields fields(component, element, nullptr);
    component.ListFields(fields);
    return true;
}

template <typename Component> bool GfxFields::Read(const TiXmlNode* node, Component& component)
{
    if (!IsElement(node))
        return false;
    GfxFields fields(component, nullptr, XmlFirstChildElement(node));
    component.ListFields(fields);
    return true;
}
} // namespace gfx
} // namespace dorvo
