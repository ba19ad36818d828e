// The controller of one archetype: objects of a template that start from the values in an
// archetype file. The file is read once, into the first object; that object's state is kept as
// a snapshot and every later object starts from the snapshot, so all objects of an archetype
// start alike (and before any Component::Initialize).
#pragma once

#include "engine/GobController.h"

#include <memory>

class TemplateGobController;
class TiXmlElement;

class ArchetypeGobController : public GobController
{
public:
    // `base` is the template that lists the archetype; it outlives this controller.
    ArchetypeGobController(TemplateGobController* base, const std::string& fileName, const std::string& name);
    ~ArchetypeGobController() override;

    Gob* CreateGob(std::uint32_t id) override;
    const std::string& GetTypeName() const override;

    const std::string& GetName() const { return m_Name; }
    const std::string& GetFileName() const { return m_FileName; }
    bool IsLoaded() const { return m_Loaded; }
    TemplateGobController* GetBase() const { return m_pBase; }
    // The "Gob" element holding the first object's state, as one "Gob" child once loaded.
    const TiXmlElement& GetSnapshot() const { return *m_pSnapshot; }

private:
    // Reads the file into `gob` (a missing or broken file, or a name that leaves the run folder,
    // leaves it at its defaults with one line), then keeps the result as the snapshot.
    void LoadFile(Gob* gob);

    TemplateGobController* m_pBase;
    bool m_Loaded = false;
    std::string m_FileName;
    std::string m_Name;
    std::unique_ptr<TiXmlElement> m_pSnapshot;
};
