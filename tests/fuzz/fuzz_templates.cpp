// A template file and an archetype file (the input cut at its first NUL byte: the template
// before, the archetype "Archetype.xml" after) loaded as the game loads templates; then an object
// of every filed name is built, initialised, placed, updated, saved and killed.
// Bounded run: 2400 inputs
#include "FuzzSupport.h"

#include "common/math/Vector3.h"
#include "engine/Gob.h"
#include "engine/GobManager.h"

#include <tinyxml.h>

#include <cstring>
#include <string>

extern "C" int LLVMFuzzerInitialize(int*, char***)
{
    fuzzsupport::Init();
    fuzzsupport::InWorkFolder here;
    fuzzsupport::InitGameObjects();
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    fuzzsupport::InWorkFolder here;
    GobManager& manager = GobManager::Instance();
    manager.ResetTemplates(); // what the last input filed must not change what this one sees
    const std::string input(reinterpret_cast<const char*>(data), size);
    const std::size_t cut = input.find('\0');
    fuzzsupport::WriteFile("Template.xml", input.substr(0, cut));
    fuzzsupport::WriteFile("Archetype.xml", cut == std::string::npos ? std::string() : input.substr(cut + 1));

    manager.LoadTemplate("Template.xml");
    TiXmlElement saved("Saved");
    for (const std::string& name : manager.GetTemplateNames())
    {
        Gob* gob = manager.CreateGob(name);
        FUZZ_CHECK(gob != nullptr, "a filed name builds nothing: " + name);
        Gob* placed = manager.CreateGobAtPos(name, math::Vector3(1.0f, 2.0f, 3.0f), true);
        FUZZ_CHECK(placed != nullptr, "a filed name builds nothing at a position: " + name);
        manager.Update(1.0f / 30.0f);
        gob->Serialize(&saved);
        placed->Serialize(&saved);
        manager.KillGob(gob);
        manager.ProcessKillList();
        manager.Update(1.0f / 30.0f);
    }
    manager.DestroyAllGobs();
    return 0;
}
