#include "engine/ArchetypeGobController.h"

#include "common/XmlUtil.h"
#include "engine/GobComposite.h"
#include "engine/TemplateGobController.h"
#include "platform/files.h"

#include <tinyxml.h>

#include <cstdio>
#include <iostream>

ArchetypeGobController::ArchetypeGobController(TemplateGobController* base, const std::string& fileName,
                                               const std::string& name)
    : m_pBase(base), m_FileName(fileName), m_Name(name), m_pSnapshot(new TiXmlElement("Gob"))
{
}

ArchetypeGobController::~ArchetypeGobController() = default;

const std::string& ArchetypeGobController::GetTypeName() const
{
    return m_pBase->GetTypeName();
}

Gob* ArchetypeGobController::CreateGob(std::uint32_t id)
{
    Gob* gob = m_pBase->CreateGob(id);
    if (!m_Loaded)
        LoadFile(gob);
    else
        gob->Deserialize(XmlFirstChildElement(m_pSnapshot.get()));
    static_cast<GobComposite*>(gob)->SetArchetype(this);
    return gob;
}

void ArchetypeGobController::LoadFile(Gob* gob)
{
    TiXmlDocument document;
    bool parsed = false;
    if (std::FILE* file = plat::OpenFile(m_FileName, "rb"))
    {
        parsed = document.LoadFile(file);
        std::fclose(file);
    }
    const TiXmlElement* root = parsed ? document.FirstChildElement("File") : nullptr;
    if (root != nullptr)
        gob->Deserialize(XmlFirstChildElement(root));
    else
        std::cerr << "ArchetypeGobController - cannot read archetype file \"" << m_FileName << "\" of \""
                  << m_Name << "\"; its objects start from the template's defaults.\n";
    gob->Serialize(m_pSnapshot.get());
    m_Loaded = true;
}
