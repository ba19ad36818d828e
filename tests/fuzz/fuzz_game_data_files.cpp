// The game's room, room environment, puzzle and profile files and the object description inside
// them: the input is loaded as each kind of file, and as a description; whatever reads must save
// and read back to the same save, an environment or a puzzle never builds more objects than it
// describes, and a room loaded from the input (its puzzles read from the files it names, the
// input among them) never holds more than four puzzles.
// Bounded run: 4000 inputs
#include "FuzzSupport.h"

#include "common/XmlFile.h"
#include "common/XmlUtil.h"
#include "engine/GobManager.h"
#include "engine/ReadStringList.h"
#include "game/app/GameComponentTypes.h"
#include "game/files/GameDataFiles.h"
#include "game/files/Profile.h"
#include "game/room/CPuzzle.h"
#include "game/room/CRoom.h"
#include "game/room/GobDescription.h"
#include "game/room/RoomData.h"

#include <tinyxml.h>

#include <algorithm>
#include <memory>
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

// The text a save of the record would hold (the savers' frame and blank keeping, printed in
// memory: the savers' own file writing is tested elsewhere and flushes every file to disk).
template <class Record> std::string SaveText(const Record& record)
{
    TiXmlDocument document;
    document.InsertEndChild(TiXmlDeclaration("1.0", "", ""));
    TiXmlNode* root = document.InsertEndChild(TiXmlElement("File"));
    FUZZ_CHECK(Record::Write(root, record), "a record read does not save");
    XmlKeepTexts(root);
    TiXmlPrinter printer;
    document.Accept(&printer);
    return printer.Str();
}

template <class Record> void CheckReadsBack(const Record& record)
{
    const std::string saved = SaveText(record);
    TiXmlDocument document;
    std::string error;
    FUZZ_CHECK(XmlParseText(saved, "save", document, error), "a save does not parse: " + error);
    Record again;
    FUZZ_CHECK(Record::Read(document.RootElement()->FirstChildElement(), again), "a save does not read");
    const std::string resaved = SaveText(again);
    FUZZ_CHECK(resaved == saved, "a saved record reads back differently:\n" + saved + "\n" + resaved);
}

void CheckRoom()
{
    QUORB::RoomData room;
    if (QUORB::LoadRoomDataFile(room, "Input.xml"))
        CheckReadsBack(room);
}

void CheckProfile()
{
    QUORB::Profile profile;
    if (QUORB::LoadProfileFile(profile, "Input.xml"))
    {
        FUZZ_CHECK(profile.unlockedRooms.size() <= QUORB::Profile::kMaxUnlockedRooms,
                   "a profile holds more rooms than it may");
        CheckReadsBack(profile);
    }
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
    // What was built describes itself again, with the records it was given.
    for (std::uint32_t id : ids)
    {
        if (id == 0)
            continue;
        QUORB::GobDescription description;
        QUORB::GobDescription::FromGob(manager.GetGob(id), description);
        TiXmlElement saved("Saved");
        FUZZ_CHECK(QUORB::GobDescription::Write(&saved, "EnvDescription", description),
                   "a built object does not describe itself");
    }
    manager.DestroyAllGobs();
}

std::string PuzzleSaveText(const QUORB::CPuzzle& puzzle)
{
    TiXmlDocument document;
    document.InsertEndChild(TiXmlDeclaration("1.0", "", ""));
    TiXmlNode* root = document.InsertEndChild(TiXmlElement("File"));
    FUZZ_CHECK(puzzle.Write(root), "a puzzle read does not save");
    XmlKeepTexts(root);
    return Print(document);
}

void CheckPuzzle(const std::string& text)
{
    GobManager& manager = GobManager::Instance();
    {
        QUORB::CPuzzle puzzle;
        if (QUORB::LoadPuzzleFile(puzzle, "Input.xml"))
        {
            FUZZ_CHECK(manager.GetCount() <= CountDescriptions(text),
                       "a puzzle built objects it does not describe");
            const std::string saved = PuzzleSaveText(puzzle);
            TiXmlDocument document;
            std::string error;
            FUZZ_CHECK(XmlParseText(saved, "save", document, error),
                       "a puzzle save does not parse: " + error);
            QUORB::CPuzzle again;
            FUZZ_CHECK(again.Read(document.RootElement()->FirstChildElement()),
                       "a puzzle save does not read");
            const std::string resaved = PuzzleSaveText(again);
            FUZZ_CHECK(resaved == saved, "a saved puzzle reads back differently:\n" + saved + "\n" + resaved);
        }
    }
    manager.DestroyAllGobs();
}

// One room for the whole run: its construction needs no input.
QUORB::CRoom* s_room = nullptr;

void CheckRoomLoad()
{
    s_room->Load("Input.xml", false);
    FUZZ_CHECK(s_room->GetPuzzleCount() <= QUORB::CRoom::kFaceCount, "a room holds more puzzles than faces");
    s_room->ClearPuzzles();
    GobManager::Instance().DestroyAllGobs();
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
    QUORB::RegisterGameComponentTypes();
    // Environment objects take the widget data and objective their descriptions carry.
    fuzzsupport::WriteFile("EnvBox.xml",
                           "<File><Template><string>EnvBox</string><string>EnvBox</string>"
                           "<list size=\"4\"><string>POVComp</string><string>WidgetDataComp</string>"
                           "<string>GobIDComp</string><string>ObjectiveComp</string></list>"
                           "<list size=\"0\"/></Template></File>");
    GobManager::Instance().LoadTemplate("EnvBox.xml");
    s_room = new QUORB::CRoom(); // kept to the end of the run
    GobManager::Instance().DestroyAllGobs();
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
    CheckPuzzle(text);
    CheckRoomLoad();
    CheckDescription(text);
    return 0;
}
