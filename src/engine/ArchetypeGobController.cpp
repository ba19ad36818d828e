#include "engine/ArchetypeGobController.h"

#include "common/XmlFile.h"
#include "common/XmlUtil.h"
#include "engine/GobComposite.h"
#include "engine/TemplateGobController.h"
#include "platform/files.h"
#include "platform/log.h"

#include <tinyxml.h>

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
    std::string error;
    const TiXmlElement* root = nullptr;
    // The name comes from a template file: one that leaves the run folder is never opened.
    if (!plat::IsConfinedName(m_FileName))
        error = m_FileName.substr(0, 64) + (m_FileName.size() > 64 ? "..." : "") +
                ": the name leaves the run folder";
    else if (XmlLoadFile(m_FileName, document, error))
    {
        root = document.FirstChildElement("File");
        if (root == nullptr)
            error = m_FileName + ": no \"File\" root element";
    }
    if (root != nullptr)
        gob->Deserialize(XmlFirstChildElement(root));
    else
        DORVO_LOG("ArchetypeGobController::LoadFile: %s; the objects of archetype \"%s\" start from the "
                  "template's defaults",
                  error.c_str(), m_Name.c_str());
    gob->Serialize(m_pSnapshot.get());
    m_Loaded = true;
}
