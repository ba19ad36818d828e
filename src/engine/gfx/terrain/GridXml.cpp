#include "engine/gfx/terrain/GridXml.h"

#include "common/XmlUtil.h"

#include <tinyxml.h>

namespace dorvo
{
namespace gfx
{
bool WriteGrid(TiXmlNode* parent, const SGrid& grid, const std::string& name)
{
    if (!parent || !parent->ToElement())
        return false;
    auto* element = new TiXmlElement("Grid");
    element->SetAttribute("name", name);
    parent->LinkEndChild(element);
    XmlWriteInt(element, grid.numVertsPerRow, "NumVertsPerRow");
    XmlWriteInt(element, grid.numVertsPerCol, "NumVertsPerCol");
    XmlWriteFloat(element, grid.cellSpacing, "CellSpacing");
    XmlWriteVector3(element, grid.center, "Center");
    return true;
}

bool ReadGrid(const TiXmlNode* node, SGrid& grid)
{
    if (!node || !node->ToElement())
        return false;
    const TiXmlNode* child = XmlFirstChildElement(node);
    if (child)
        XmlReadInt(child, &grid.numVertsPerRow);
    child = child ? XmlNextSiblingElement(child) : nullptr;
    if (child)
        XmlReadInt(child, &grid.numVertsPerCol);
    child = child ? XmlNextSiblingElement(child) : nullptr;
    if (child)
        XmlReadFloat(child, &grid.cellSpacing);
    child = child ? XmlNextSiblingElement(child) : nullptr;
    if (child)
        XmlReadVector3(child, &grid.center);
    return true;
}
} // namespace gfx
} // namespace dorvo
