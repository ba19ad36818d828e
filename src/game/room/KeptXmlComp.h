// The first form of the game components whose behaviour comes later (widget data, linked ids,
// connections, nodes, objectives): a component of its own type that keeps the XML it was read
// from and writes it back unchanged, so templates naming it load, objects build, and archetype
// values survive until the component reads them itself.
#pragma once

#include "common/XmlUtil.h"
#include "engine/ComponentBase.h"

#include <tinyxml.h>

#include <memory>

namespace QUORB
{
template <class T> class KeptXmlComp : public ComponentBase<T>
{
public:
    // <Component name="..."> holding a copy of the children last read (none when never read).
    bool Serialize(TiXmlNode* parent) override
    {
        if (parent == nullptr || parent->ToElement() == nullptr)
            return false;
        TiXmlElement element("Component");
        element.SetAttribute("name", this->GetTypeName());
        if (m_pSaved)
        {
            for (const TiXmlNode* child = m_pSaved->FirstChild(); child != nullptr;
                 child = child->NextSibling())
                element.InsertEndChild(*child);
            XmlKeepTexts(&element);
        }
        return parent->InsertEndChild(element) != nullptr;
    }
    bool Deserialize(const TiXmlNode* node) override
    {
        const TiXmlElement* element = node != nullptr ? node->ToElement() : nullptr;
        if (element == nullptr)
            return false;
        m_pSaved = std::make_unique<TiXmlElement>(*element);
        return true;
    }

    // The element last read, or null.
    const TiXmlElement* GetSavedElement() const { return m_pSaved.get(); }

private:
    std::unique_ptr<TiXmlElement> m_pSaved;
};
} // namespace QUORB
