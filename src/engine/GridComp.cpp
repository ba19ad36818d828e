#include "engine/GridComp.h"

#include "common/ConsoleInterface.h"
#include "common/HashName.h"
#include "common/XmlUtil.h"
#include "common/loki/Functor.h"
#include "engine/GobController.h"

#include <tinyxml.h>

#include <string>

const char* const GridComp::kTypeName = "GridComp";

GridComp::GridComp() = default;

GridComp::~GridComp() = default;

bool GridComp::Serialize(TiXmlNode* parent)
{
    if (parent == nullptr || parent->ToElement() == nullptr)
    {
        return false;
    }
    TiXmlElement element("Component");
    element.SetAttribute("name", GetTypeName().empty() ? std::string(kTypeName) : GetTypeName());
    XmlWriteUint(&element, m_SpanX, "SpanX");
    XmlWriteUint(&element, m_SpanY, "SpanY");
    XmlWriteFloat(&element, m_SpacingX, "SpacingX");
    XmlWriteFloat(&element, m_SpacingY, "SpacingY");
    return parent->InsertEndChild(element) != nullptr;
}

bool GridComp::Deserialize(const TiXmlNode* node)
{
    if (node == nullptr || node->ToElement() == nullptr)
    {
        return false;
    }
    const TiXmlNode* child = XmlFirstChildElement(node);
    if (child)
    {
        XmlReadUint(child, &m_SpanX);
        child = XmlNextSiblingElement(child);
    }
    if (child)
    {
        XmlReadUint(child, &m_SpanY);
        child = XmlNextSiblingElement(child);
    }
    if (child)
    {
        XmlReadFloat(child, &m_SpacingX);
        child = XmlNextSiblingElement(child);
    }
    if (child)
    {
        XmlReadFloat(child, &m_SpacingY);
    }
    return true;
}

bool GridComp::Initialize(Gob* owner)
{
    Component::Initialize(owner);
    BuildGrid();
    return true;
}

void GridComp::BuildGrid()
{
    // A single span past the cap is as damaged as a product past it: 0 by 4294967295 holds no
    // point but would still cost four billion turns of the loop below.
    const std::uint64_t count = static_cast<std::uint64_t>(m_SpanX) * m_SpanY;
    if (count > kMaxPoints || m_SpanX > kMaxPoints || m_SpanY > kMaxPoints)
    {
        // Spans like these come from a damaged file; the cloth sizes itself by the spans, so
        // they are cleared with the points.
        common::ConsoleInterface::Instance().WriteToConsole(
            "GridComp::BuildGrid - " + GetOwnerName() + ": a grid of " + std::to_string(m_SpanX) + " by " +
                std::to_string(m_SpanY) + " points is more than " + std::to_string(kMaxPoints) +
                "; the grid is left empty.",
            common::FF_Display, false);
        m_SpanX = 0;
        m_SpanY = 0;
        m_Points.Resize(0, 0);
        return;
    }
    m_Points.Resize(m_SpanX, m_SpanY);
    if (count == 0)
        return; // spans kept for the cloth, no points to place
    const float x0 = static_cast<float>(m_SpanX) * 0.5f;
    float z = static_cast<float>(m_SpanY) * 0.5f;
    for (std::uint32_t row = 0; row < m_SpanY; ++row, z += m_SpacingY)
    {
        float x = x0;
        for (std::uint32_t column = 0; column < m_SpanX; ++column, x += m_SpacingX)
        {
            m_Points(column, row).Set(x, 0.0f, z);
        }
    }
}

void GridComp::SetSpans(std::uint32_t spanX, std::uint32_t spanY)
{
    m_SpanX = spanX;
    m_SpanY = spanY;
}

void GridComp::SetSpacings(float spacingX, float spacingY)
{
    m_SpacingX = spacingX;
    m_SpacingY = spacingY;
}

void GridComp::RegisterFunctions(GobController* controller)
{
    if (controller == nullptr)
    {
        return;
    }
    const std::uint32_t typeID = StaticTypeID() != 0 ? StaticTypeID() : HashName(kTypeName);
    controller->RegisterComponentFunction("SpanX", Loki::NewObjFunctor(&GridComp::GetSpanX).release(),
                                          typeID);
    controller->RegisterComponentFunction("SpanY", Loki::NewObjFunctor(&GridComp::GetSpanY).release(),
                                          typeID);
    controller->RegisterComponentFunction("SpacingX", Loki::NewObjFunctor(&GridComp::GetSpacingX).release(),
                                          typeID);
    controller->RegisterComponentFunction("SpacingY", Loki::NewObjFunctor(&GridComp::GetSpacingY).release(),
                                          typeID);
}
