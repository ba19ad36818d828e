// Game-object deserialisation: an object holding one component of every registered type reads
// the input's root element as its saved form and saves itself; a second object reading that save
// must save the same text.
// Bounded run: 200000 inputs
#include "FuzzSupport.h"

#include "common/XmlFile.h"
#include "engine/Gob.h"
#include "engine/GobManager.h"
#include "engine/TemplateGobController.h"

#include <tinyxml.h>

#include <memory>
#include <string>

namespace
{
std::unique_ptr<TemplateGobController> s_everything;

std::string Save(Gob& gob)
{
    TiXmlElement root("Saved");
    FUZZ_CHECK(gob.Serialize(&root), "an object does not save");
    TiXmlPrinter printer;
    root.Accept(&printer);
    return printer.CStr();
}
} // namespace

extern "C" int LLVMFuzzerInitialize(int*, char***)
{
    fuzzsupport::Init();
    fuzzsupport::InWorkFolder here;
    fuzzsupport::InitGameObjects();
    GobManager& manager = GobManager::Instance();
    s_everything = std::make_unique<TemplateGobController>();
    s_everything->SetTypeName("Everything");
    for (std::uint32_t type : manager.GetCreatorTypeIDs())
        s_everything->AddComponentType(type, manager.FindCreator(type));
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    fuzzsupport::InWorkFolder here;
    TiXmlDocument document;
    std::string error;
    if (!XmlParseText(std::string(reinterpret_cast<const char*>(data), size), "input", document, error))
        return 0;
    std::unique_ptr<Gob> first(s_everything->CreateGob(1));
    first->Deserialize(document.RootElement());
    const std::string saved = Save(*first);

    TiXmlDocument again;
    FUZZ_CHECK(XmlParseText(saved, "save", again, error), "a save does not parse: " + error);
    std::unique_ptr<Gob> second(s_everything->CreateGob(2));
    FUZZ_CHECK(second->Deserialize(again.RootElement()->FirstChildElement()), "a save does not read");
    const std::string resaved = Save(*second);
    FUZZ_CHECK(resaved == saved, "a saved object reads back differently:\n" + saved + "\n" + resaved);
    return 0;
}
