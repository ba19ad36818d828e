// The game's room, room environment and profile files and the object description inside them:
// the input is loaded as each kind of file, and as a description; whatever reads must save and
// read back to the same save, and an environment never builds more objects than it describes.
// Bounded run: 100000 inputs
#include "FuzzSupport.h"

#include "common/XmlFile.h"
#include "engine/GobManager.h"
#include "engine/ReadStringList.h"
#include "game/GameDataFiles.h"
#include "game/GobDescription.h"
#include "game/Profile.h"
#include "game/RoomData.h"

#include <tinyxml.h>

#include <algorithm>
#include <string>
#include <vector>

namespace
{
std::string Print(const TiXmlNode& node)
{
    TiXmlPrinter printer;
    node.Accept(&printer);
    return printer.Str();
}

std::size_t CountDescriptions(const std::string& text)
{
    std::size_t count = 0;
    for (std::size_t at = text.find("<GobDescription"); at != std::string::npos;
         at = text.find("<GobDescription", at + 1))
        ++count;
    return count;
}

void CheckRoom()
{
    QUORB::RoomData room;
    if (!QUORB::LoadRoomDataFile(room, "Input.xml"))
        return;
    FUZZ_CHECK(QUORB::SaveRoomDataFile(room, "Room.xml"), "a room read does not save");
    QUORB::RoomData again;
    FUZZ_CHECK(QUORB::LoadRoomDataFile(again, "Room.xml"), "a saved room does not load");
    FUZZ_CHECK(QUORB::SaveRoomDataFile(again, "Room2.xml"), "a room read again does not save");
    FUZZ_CHECK(fuzzsupport::ReadFile("Room.xml") == fuzzsupport::ReadFile("Room2.xml"),
               "a saved room reads back differently");
}

void CheckProfile()
{
    QUORB::Profile profile;
    if (!QUORB::LoadProfileFile(profile, "Input.xml"))
        return;
    FUZZ_CHECK(QUORB::SaveProfileFile(profile, "Profile.xml"), "a profile read does not save");
    QUORB::Profile again;
    FUZZ_CHECK(QUORB::LoadProfileFile(again, "Profile.xml"), "a saved profile does not load");
    FUZZ_CHECK(again.unlockedRooms == profile.unlockedRooms, "a saved profile reads back differently");
}

void CheckEnvironment(const std::string& text)
{
    GobManager& manager = GobManager::Instance();
    std::vector<std::uint32_t> ids;
    QUORB::LoadEnvironmentFile(ids, "Input.xml");
    FUZZ_CHECK(manager.GetCount() <= CountDescriptions(text),
               "an environment built objects it does not describe");
    // Up to the bound the list is as long as the count says; past it, as the descriptions present.
    FUZZ_CHECK(ids.size() <= std::max<std::size_t>(kMaxStringListSize, CountDescriptions(text)),
               "an environment list sized from its count");
    manager.DestroyAllGobs();
}

void CheckDescription(const std::string& text)
{
    TiXmlDocument document;
    std::string error;
    if (!XmlParseText(text, "input", document, error))
        return;
    QUORB::GobDescription description;
    if (!QUORB::GobDescription::Read(document.RootElement(), description))
        return;
    TiXmlElement saved("Saved");
    FUZZ_CHECK(QUORB::GobDescription::Write(&saved, "EnvDescription", description),
               "a description does not save");
    QUORB::GobDescription again;
    FUZZ_CHECK(QUORB::GobDescription::Read(saved.FirstChildElement(), again),
               "a saved description does not read");
    TiXmlElement resaved("Saved");
    QUORB::GobDescription::Write(&resaved, "EnvDescription", again);
    FUZZ_CHECK(Print(saved) == Print(resaved),
               "a saved description reads back differently:\n" + Print(saved) + "\n" + Print(resaved));
}
} // namespace

extern "C" int LLVMFuzzerInitialize(int*, char***)
{
    fuzzsupport::Init();
    fuzzsupport::InWorkFolder here;
    fuzzsupport::InitGameObjects();
    fuzzsupport::WriteFile("EnvBox.xml", "<File><Template><string>EnvBox</string><string>EnvBox</string>"
                                         "<list size=\"1\"><string>POVComp</string></list><list size=\"0\"/>"
                                         "</Template></File>");
    GobManager::Instance().LoadTemplate("EnvBox.xml");
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    fuzzsupport::InWorkFolder here;
    const std::string text(reinterpret_cast<const char*>(data), size);
    fuzzsupport::WriteFile("Input.xml", text);
    CheckRoom();
    CheckProfile();
    CheckEnvironment(text);
    CheckDescription(text);
    return 0;
}
