// Room, environment and profile files and the object description they share: round trips
// through real files, and the bad input a damaged or hostile file brings.
#include "game/files/GameDataFiles.h"

#include "LogCapture.h"
#include "TestSupport.h"

#include "common/XmlFile.h"
#include "common/XmlUtil.h"
#include "engine/ComponentBase.h"
#include "engine/DefaultCompCreator.h"
#include "engine/Gob.h"
#include "engine/GobManager.h"
#include "engine/POVComp.h"
#include "engine/ReadStringList.h"
#include "game/files/Profile.h"
#include "game/objectives/CTimeLimit.h"
#include "game/room/GobDescription.h"
#include "game/room/RoomData.h"
#include "game/room/RoomEnvironment.h"
#include "game/widgets/CAcceleratorData.h"
#include "game/widgets/CBarData.h"
#include "game/widgets/CPlatformData.h"
#include "game/widgets/WidgetDataComp.h"

#include <gtest/gtest.h>
#include <tinyxml.h>

#include <algorithm>
#include <cstdio>
#include <cstring>
#include <fstream>
#include <memory>
#include <sstream>

using QUORB::GobDescription;
using QUORB::Profile;
using QUORB::RoomData;

namespace
{
std::string Print(const TiXmlNode& node)
{
    TiXmlPrinter printer;
    node.Accept(&printer);
    return printer.Str();
}

std::string ReadFile(const std::string& path)
{
    std::ifstream in(path, std::ios::binary);
    std::stringstream text;
    text << in.rdbuf();
    return text.str();
}

void WriteFile(const std::string& path, const std::string& text)
{
    std::ofstream(path, std::ios::binary) << text;
}

// A platform record with every field away from its default.
std::unique_ptr<QUORB::CPlatformData> Platform(float staticFriction)
{
    auto platform = std::make_unique<QUORB::CPlatformData>(nullptr);
    platform->SetModifiable(false);
    platform->SetMagnetism(2);
    platform->SetCollideWithQUORB(false);
    platform->SetDensity(0.5f);
    platform->SetStaticFriction(staticFriction);
    platform->SetKineticFriction(0.05f);
    return platform;
}

std::string Print(const QUORB::IWidgetData& data)
{
    TiXmlElement parent("Parent");
    data.Serialize(&parent);
    return Print(parent);
}

class GameDataFilesTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        RegisterComponentType<POVComp>("POVComp");
        RegisterComponentType<QUORB::WidgetDataComp>(QUORB::WidgetDataComp::kTypeName);
        GobManager::Instance().ResetTemplates();
        std::ofstream("EnvBox.xml")
            << "<File><Template><string>EnvBox</string><string>EnvBox</string>"
               "<list size=\"2\"><string>POVComp</string><string>WidgetDataComp</string>"
               "</list><list size=\"0\"/></Template></File>";
        GobManager::Instance().LoadTemplate("EnvBox.xml");
    }
    void TearDown() override { GobManager::Instance().ResetTemplates(); }

    testsupport::TempWorkDir dir;
};
} // namespace

TEST_F(GameDataFilesTest, RoomFileRoundTripKeepsPuzzlesLightAndFlags)
{
    RoomData room;
    room.puzzleNames = {"Lab_Puzzle_0.xml", "Lab_Puzzle_1.xml", "", "Lab_Puzzle_3.xml"};
    room.light.Type = plat::D3DLIGHT_SPOT;
    room.light.Diffuse = {0.9f, 0.8f, 0.7f, 1.0f};
    room.light.Specular = {0.5f, 0.5f, 0.5f, 1.0f};
    room.light.Ambient = {0.1f, 0.2f, 0.3f, 1.0f};
    room.light.Position = {1.0f, 20.0f, -3.0f};
    room.light.Direction = {0.0f, -1.0f, 0.0f};
    room.light.Range = 100.0f;
    room.light.Falloff = 1.0f;
    room.light.Attenuation0 = 1.0f;
    room.light.Attenuation1 = 0.01f;
    room.light.Attenuation2 = 0.001f;
    room.light.Theta = 0.5f;
    room.light.Phi = 1.0f;
    room.enableShadow = true;
    ASSERT_TRUE(QUORB::SaveRoomDataFile(room, "Lab.xml"));

    const std::string text = ReadFile("Lab.xml");
    EXPECT_EQ(
        text.rfind(
            "<?xml version=\"1.0\" ?>\n<File>\n    <RoomData>\n        <string name=\"Name\"></string>", 0),
        0u)
        << text;

    RoomData read;
    read.name = "kept";
    ASSERT_TRUE(QUORB::LoadRoomDataFile(read, "Lab.xml"));
    EXPECT_EQ(read.name, "kept"); // an empty name reads as no change
    EXPECT_EQ(read.puzzleNames, room.puzzleNames);
    EXPECT_EQ(std::memcmp(&read.light, &room.light, sizeof room.light), 0);
    EXPECT_FALSE(read.enableLightBloom);
    EXPECT_TRUE(read.enableShadow);
}

TEST_F(GameDataFilesTest, ProfileRoundTripKeepsTheRoomsInOrderButNotTheName)
{
    Profile profile;
    profile.name = "Ann.xml";
    profile.unlockedRooms = {"Room2.xml", "  My  room .xml", "Room10.xml"}; // blanks survive
    ASSERT_TRUE(QUORB::SaveProfileFile(profile, "Ann.xml"));
    EXPECT_EQ(ReadFile("Ann.xml").find("Ann.xml"), std::string::npos);

    Profile read;
    read.name = "Bob";
    read.unlockedRooms = {"stale.xml"};
    ASSERT_TRUE(QUORB::LoadProfileFile(read, "Ann.xml"));
    EXPECT_EQ(read.name, "Bob");
    EXPECT_EQ(read.unlockedRooms, profile.unlockedRooms);
}

// A damaged room count costs no room: the entries that are there are read, one line says what was
// wrong with the count, and a save of what was read writes every room back with a sound count.
TEST_F(GameDataFilesTest, AProfileWithADamagedRoomCountKeepsEveryRoomItLists)
{
    const std::string rooms =
        "<string name=\"RoomFileName\">A.xml</string><string "
        "name=\"RoomFileName\">B.xml</string><string name=\"RoomFileName\">C.xml</string>";
    struct Case
    {
        const char* count; // the count element, or "" for none
        const char* said;  // in the one line; null for none
    };
    const Case cases[] = {
        {"<uint name=\"NumUnlockedRooms\">3</uint>", nullptr},
        {"<uint name=\"NumUnlockedRooms\"> 3 </uint>", nullptr},
        {"<uint name=\"NumUnlockedRooms\">abc</uint>", "NumUnlockedRooms \"abc\" is not a count; the 3 room "
                                                       "entries present are read"},
        {"<uint name=\"NumUnlockedRooms\">-0</uint>", "NumUnlockedRooms 0 but 3 room entries follow"},
        {"<uint name=\"NumUnlockedRooms\">1,5</uint>", "\"1,5\" is not a count"},
        {"<uint name=\"NumUnlockedRooms\">2.5</uint>", "\"2.5\" is not a count"},
        {"<uint name=\"NumUnlockedRooms\">1</uint>", "NumUnlockedRooms 1 but 3 room entries follow"},
        {"<uint name=\"NumUnlockedRooms\">7</uint>", "NumUnlockedRooms 7 but 3 room entries follow"},
        {"<uint name=\"NumUnlockedRooms\"></uint>", "NumUnlockedRooms is empty"},
        {"", "NumUnlockedRooms is missing; the 3 room entries present are read"},
    };
    for (const Case& c : cases)
    {
        SCOPED_TRACE(c.count);
        WriteFile("P.xml", std::string("<File><Profile>") + c.count + rooms + "</Profile></File>");
        Profile profile;
        testsupport::LogCapture logged;
        ASSERT_TRUE(QUORB::LoadProfileFile(profile, "P.xml"));
        EXPECT_EQ(profile.unlockedRooms, (std::vector<std::string>{"A.xml", "B.xml", "C.xml"}));
        EXPECT_FALSE(profile.partlyRead);
        if (c.said == nullptr)
            EXPECT_TRUE(logged.Lines().empty()) << logged.Text();
        else
        {
            ASSERT_EQ(logged.Lines().size(), 1u) << logged.Text();
            EXPECT_NE(logged.Lines()[0].find("P.xml:1: "), std::string::npos) << logged.Text();
            EXPECT_NE(logged.Lines()[0].find(c.said), std::string::npos) << logged.Text();
        }
        ASSERT_TRUE(QUORB::SaveProfileFile(profile, "P.xml"));
        logged.Clear();
        Profile again;
        ASSERT_TRUE(QUORB::LoadProfileFile(again, "P.xml"));
        EXPECT_EQ(again.unlockedRooms, profile.unlockedRooms);
        EXPECT_TRUE(logged.Lines().empty()) << logged.Text();
    }
}

TEST_F(GameDataFilesTest, EnvironmentRoundTripRebuildsTheObjectsWithTheirData)
{
    GobManager& manager = GobManager::Instance();
    std::vector<std::uint32_t> ids;
    for (int i = 0; i < 2; ++i)
    {
        GobDescription description;
        description.archetypeName = "EnvBox";
        description.position = math::Vector3(1.0f + i, 2.0f, -3.5f);
        description.orientation = math::Quaternion(0.5f, 0.5f, 0.5f, 0.5f);
        description.scale = math::Vector3(2.0f, 1.0f, 0.25f);
        if (i == 1)
            description.widgetData = Platform(0.1f);
        Gob* gob = GobDescription::CreateGob(description);
        ASSERT_NE(gob, nullptr);
        ids.push_back(gob->GetID());
    }
    ids.push_back(999); // no such object: left out
    ASSERT_TRUE(QUORB::SaveEnvironmentFile(ids, "Env.xml"));

    manager.DestroyAllGobs();
    std::vector<std::uint32_t> read;
    ASSERT_TRUE(QUORB::LoadEnvironmentFile(read, "Env.xml"));
    ASSERT_EQ(read.size(), 2u);
    for (int i = 0; i < 2; ++i)
    {
        SCOPED_TRACE(i);
        Gob* gob = manager.GetGob(read[i]);
        ASSERT_NE(gob, nullptr);
        GobDescription again;
        GobDescription::FromGob(gob, again);
        EXPECT_EQ(again.archetypeName, "EnvBox");
        EXPECT_FLOAT_EQ(again.position.x, 1.0f + i);
        EXPECT_FLOAT_EQ(again.position.z, -3.5f);
        EXPECT_FLOAT_EQ(again.orientation.w, 0.5f);
        EXPECT_FLOAT_EQ(again.scale.z, 0.25f);
        EXPECT_EQ(static_cast<bool>(again.widgetData), i == 1);
        if (again.widgetData)
        {
            ASSERT_NE(again.widgetData->AsPlatformData(), nullptr);
            EXPECT_EQ(again.widgetData->GetOwner(), nullptr) << "a description's copy has no owner";
            EXPECT_EQ(Print(*again.widgetData), Print(*Platform(0.1f)));
            // The object's own record is a copy of the description's, owned by its component.
            auto* component = QUORB::WidgetDataComp::Of(gob);
            ASSERT_NE(component, nullptr);
            ASSERT_NE(component->GetData(), nullptr);
            EXPECT_EQ(component->GetData()->GetOwner(), component);
            EXPECT_NE(component->GetData(), again.widgetData.get());
        }
    }
    // Saving what was read gives the same file.
    const std::string first = ReadFile("Env.xml");
    ASSERT_TRUE(QUORB::SaveEnvironmentFile(read, "Env.xml"));
    EXPECT_EQ(ReadFile("Env.xml"), first);
}

TEST_F(GameDataFilesTest, DescriptionElementOrderIsTheFormatAndNamesDoNotMatter)
{
    GobDescription plain;
    plain.archetypeName = "EnvBox";
    plain.position = math::Vector3(1.0f, 2.0f, 3.0f);
    plain.scale = math::Vector3(4.0f, 5.0f, 6.0f);
    TiXmlElement parent("Parent");
    ASSERT_TRUE(GobDescription::Write(&parent, "EnvDescription", plain));
    const TiXmlElement* element = parent.FirstChildElement("GobDescription");
    ASSERT_NE(element, nullptr);
    EXPECT_STREQ(element->Attribute("name"), "EnvDescription");
    std::vector<std::string> names;
    for (const TiXmlElement* child = element->FirstChildElement(); child; child = child->NextSiblingElement())
        names.push_back(child->Attribute("name"));
    EXPECT_EQ(names, (std::vector<std::string>{"Archetype", "Position", "Orientation", "Scale",
                                               "HasWidgetData", "HasObjective"}));

    // Data and objective travel as kind and element and come back the same; copies are deep.
    GobDescription full = plain;
    auto accelerator = std::make_unique<QUORB::CAcceleratorData>(nullptr);
    accelerator->SetSpeedSetting(24.0f);
    accelerator->direction = math::Vector3(0.0f, 0.0f, -1.0f);
    full.widgetData = std::move(accelerator);
    auto limit = std::make_unique<QUORB::CTimeLimit>();
    limit->SetTimeInterval(30.0f);
    full.objective = std::move(limit);
    GobDescription copy = full;
    copy.objective->AsTimeLimit()->SetTimeInterval(5.0f);
    EXPECT_FLOAT_EQ(full.objective->AsTimeLimit()->GetTimeInterval(), 30.0f);
    copy.widgetData->AsAcceleratorData()->SetSpeedSetting(6.0f);
    EXPECT_FLOAT_EQ(full.widgetData->AsAcceleratorData()->GetSpeedSetting(), 24.0f);
    copy = plain;
    EXPECT_FALSE(copy.widgetData);
    EXPECT_TRUE(full.widgetData);
    TiXmlElement written("Parent");
    ASSERT_TRUE(GobDescription::Write(&written, "ObjectiveDescription", full));
    GobDescription read;
    ASSERT_TRUE(GobDescription::Read(written.FirstChildElement(), read));
    ASSERT_TRUE(read.widgetData && read.objective);
    ASSERT_NE(read.widgetData->AsAcceleratorData(), nullptr);
    EXPECT_FLOAT_EQ(read.widgetData->AsAcceleratorData()->GetSpeedSetting(), 24.0f);
    EXPECT_FLOAT_EQ(read.widgetData->AsAcceleratorData()->direction.z, -1.0f);
    ASSERT_NE(read.objective->AsTimeLimit(), nullptr);
    EXPECT_FLOAT_EQ(read.objective->AsTimeLimit()->GetTimeInterval(), 30.0f);
    TiXmlElement rewritten("Parent");
    GobDescription::Write(&rewritten, "ObjectiveDescription", read);
    EXPECT_EQ(Print(rewritten), Print(written));

    // Renamed elements read the same; swapped ones do not.
    TiXmlElement renamed(*element);
    for (TiXmlElement* child = renamed.FirstChildElement(); child; child = child->NextSiblingElement())
        child->SetAttribute("name", "Other");
    GobDescription fromRenamed;
    ASSERT_TRUE(GobDescription::Read(&renamed, fromRenamed));
    EXPECT_EQ(fromRenamed.archetypeName, "EnvBox");
    EXPECT_FLOAT_EQ(fromRenamed.position.y, 2.0f);
    EXPECT_FLOAT_EQ(fromRenamed.scale.y, 5.0f);

    TiXmlElement swapped("GobDescription");
    const TiXmlElement* children[6];
    int n = 0;
    for (const TiXmlElement* child = element->FirstChildElement(); child; child = child->NextSiblingElement())
        children[n++] = child;
    for (int i : {0, 3, 2, 1, 4, 5}) // Scale before Position
        swapped.InsertEndChild(*children[i]);
    GobDescription fromSwapped;
    ASSERT_TRUE(GobDescription::Read(&swapped, fromSwapped));
    EXPECT_FLOAT_EQ(fromSwapped.position.y, 5.0f);
    EXPECT_FLOAT_EQ(fromSwapped.scale.y, 2.0f);
}

TEST_F(GameDataFilesTest, ListSizeAboveItsChildrenGivesEmptySlots)
{
    WriteFile("Short.xml",
              "<?xml version=\"1.0\" ?><File><RoomData><string>R</string>"
              "<list name=\"Puzzles\" size=\"4\"><string>A.xml</string><string>B.xml</string></list>"
              "</RoomData></File>");
    RoomData room;
    room.enableShadow = true;
    ASSERT_TRUE(QUORB::LoadRoomDataFile(room, "Short.xml"));
    EXPECT_EQ(room.puzzleNames, (std::vector<std::string>{"A.xml", "B.xml", "", ""}));
    EXPECT_TRUE(room.enableShadow); // past the last child nothing changes
}

TEST_F(GameDataFilesTest, HostileCountsReadOnlyTheChildrenPresent)
{
    const std::string env = "<File><RoomEnvironment><uint>COUNT</uint>"
                            "<GobDescription><string>EnvBox</string></GobDescription>"
                            "<GobDescription><string>NoSuchArchetype</string></GobDescription>"
                            "<GobDescription><string>EnvBox</string></GobDescription>"
                            "</RoomEnvironment></File>";
    struct Case
    {
        const char* count;
        std::size_t slots;
    };
    const Case cases[] = {
        {"3", 3},                     // the unknown archetype is skipped
        {"5", 5},                     // below the bound the list is as long as the count
        {"2147483647", 3},            // above it only what is there
        {"4294967295", 3}, {"-1", 3}, // reads as 4294967295
    };
    for (const Case& c : cases)
    {
        SCOPED_TRACE(c.count);
        GobManager::Instance().DestroyAllGobs();
        std::string text = env;
        text.replace(text.find("COUNT"), 5, c.count);
        WriteFile("Env.xml", text);
        std::vector<std::uint32_t> ids;
        testsupport::LogCapture logged;
        ASSERT_TRUE(QUORB::LoadEnvironmentFile(ids, "Env.xml"));
        const std::string lines = logged.Text();
        EXPECT_EQ(ids.size(), c.slots);
        EXPECT_LE(ids.capacity(), std::max<std::size_t>(c.slots, 5));
        EXPECT_NE(lines.find("Env.xml:1: "), std::string::npos) << lines;
        EXPECT_NE(lines.find("NoSuchArchetype"), std::string::npos) << lines;
        EXPECT_EQ(GobManager::Instance().GetCount(), 2u);
        EXPECT_NE(ids[0], 0u);
        EXPECT_EQ(ids[1], 0u);
        EXPECT_NE(ids[2], 0u);
    }

    WriteFile("P.xml", "<File><Profile><uint>2147483647</uint><string>A.xml</string><string>B.xml</string>"
                       "</Profile></File>");
    Profile profile;
    testsupport::LogCapture logged;
    ASSERT_TRUE(QUORB::LoadProfileFile(profile, "P.xml"));
    const std::string line = logged.Text();
    EXPECT_EQ(profile.unlockedRooms, (std::vector<std::string>{"A.xml", "B.xml"}));
    EXPECT_LE(profile.unlockedRooms.capacity(), 4u);
    EXPECT_NE(line.find("P.xml:1: NumUnlockedRooms 2147483647"), std::string::npos) << line;
}

// A count past the largest list reads no more than the largest list and says so; unlocked
// rooms that could lead out of the room folder, and rooms past a profile's limit, are left out,
// in a few lines however many there are.
TEST_F(GameDataFilesTest, CountsPastTheLimitReadOnlyTheLimitAndUnsafeUnlockedRoomsAreLeftOut)
{
    TiXmlDocument document;
    TiXmlElement* root = document.InsertEndChild(TiXmlElement("File"))->ToElement();
    XmlWriteUint(root, 100000, "NumWidgets");
    for (int i = 0; i < 70000; ++i)
        XmlWriteString(root, "x", "Widget");
    testsupport::LogCapture logged;
    EXPECT_EQ(QUORB::CheckedRecordCount(root->FirstChildElement(), 100000, "NumWidgets"), 65536u);
    EXPECT_EQ(QUORB::CheckedRecordCount(root->FirstChildElement(), 40, "NumWidgets"), 40u);
    const std::string said = logged.Text();
    EXPECT_EQ(said,
              "CheckedRecordCount: <game data> (position unknown): NumWidgets 100000 is above the largest "
              "count (65536); only the first 65536 entries are read\n");

    std::vector<std::string> rooms(65533, "../../../../etc/passwd");
    rooms[1] = "Room1.xml";
    WriteFile(
        "Hostile.xml", "<File><Profile><uint>" + std::to_string(rooms.size()) + "</uint>" +
                           [&]
                           {
                               std::string text;
                               for (const std::string& room : rooms)
                                   text += "<string>" + room + "</string>";
                               return text;
                           }() +
                           "</Profile></File>");
    std::vector<std::string> many;
    for (std::size_t i = 0; i < Profile::kMaxUnlockedRooms + 500; ++i)
        many.push_back("Room" + std::to_string(i) + ".xml");
    Profile big;
    big.unlockedRooms = many;
    ASSERT_TRUE(QUORB::SaveProfileFile(big, "Many.xml"));

    Profile profile;
    logged.Clear();
    ASSERT_TRUE(QUORB::LoadProfileFile(profile, "Hostile.xml"));
    std::string lines = logged.Text();
    EXPECT_EQ(profile.unlockedRooms, std::vector<std::string>{"Room1.xml"});
    EXPECT_TRUE(profile.partlyRead);
    EXPECT_EQ(logged.Lines().size(), 4u) << lines;
    EXPECT_NE(
        lines.find("Profile::Read: Hostile.xml:1: the unlocked room \"../../../../etc/passwd\" is no usable "
                   "file name; it is left out\n"),
        std::string::npos)
        << lines;
    EXPECT_NE(lines.find("LoadProfileFile: Hostile.xml: and 65529 more like line 1"), std::string::npos)
        << lines;

    logged.Clear();
    ASSERT_TRUE(QUORB::LoadProfileFile(profile, "Many.xml"));
    lines = logged.Text();
    EXPECT_EQ(profile.unlockedRooms.size(), Profile::kMaxUnlockedRooms);
    EXPECT_EQ(profile.unlockedRooms.back(), many[Profile::kMaxUnlockedRooms - 1]);
    EXPECT_EQ(logged.Lines().size(), 1u) << lines;
    EXPECT_NE(lines.find("the profile unlocks more than 1024 rooms; the rest are left out"),
              std::string::npos)
        << lines;
}

TEST_F(GameDataFilesTest, BadFilesLeaveTheRecordAndSayWhy)
{
    struct Case
    {
        const char* what;
        const char* text; // null: no file at all
        const char* line; // expected in the report
    };
    const Case cases[] = {
        {"missing file", nullptr, "Bad.xml: cannot open the file"},
        {"not XML", "<File>\n<Profile></File>", "Bad.xml:2: "},
        {"no record element", "<File></File>", "no record element"},
        {"record without children", "<File><Profile/></File>", "is empty"},
    };
    for (const Case& c : cases)
    {
        SCOPED_TRACE(c.what);
        std::remove("Bad.xml");
        if (c.text)
            WriteFile("Bad.xml", c.text);
        Profile profile;
        profile.unlockedRooms = {"Room1.xml"};
        RoomData room;
        room.puzzleNames = {"P.xml"};
        testsupport::LogCapture logged;
        EXPECT_FALSE(QUORB::LoadProfileFile(profile, "Bad.xml"));
        EXPECT_FALSE(QUORB::LoadRoomDataFile(room, "Bad.xml"));
        const std::string lines = logged.Text();
        EXPECT_EQ(profile.unlockedRooms, std::vector<std::string>{"Room1.xml"});
        EXPECT_EQ(room.puzzleNames, std::vector<std::string>{"P.xml"});
        EXPECT_NE(lines.find(c.line), std::string::npos) << lines;
        EXPECT_EQ(std::count(lines.begin(), lines.end(), '\n'), 2) << lines;
    }
}

TEST_F(GameDataFilesTest, UnknownDataTypeOrObjectiveIdGivesNoRecordAndNamesTheValue)
{
    const char* text = "<GobDescription><string>EnvBox</string><Vector/><Quat/><Vector/>"
                       "<bool>true</bool><string>Teleporter</string>"
                       "<bool>true</bool><int>64</int><Mystery/></GobDescription>";
    TiXmlDocument document;
    std::string error;
    ASSERT_TRUE(XmlParseText(text, "Desc.xml", document, error)) << error;
    document.SetValue("Desc.xml");
    GobDescription description;
    description.widgetData = std::make_unique<QUORB::CBarData>(nullptr);
    testsupport::LogCapture logged;
    ASSERT_TRUE(GobDescription::Read(document.RootElement(), description));
    const std::string lines = logged.Text();
    EXPECT_FALSE(description.widgetData);
    EXPECT_FALSE(description.objective);
    EXPECT_NE(lines.find("Desc.xml:1: widget data type \"Teleporter\""), std::string::npos) << lines;
    EXPECT_NE(lines.find("objective id 64"), std::string::npos) << lines;
}

TEST_F(GameDataFilesTest, WritersRefuseANullParentAndReadersANullElement)
{
    std::vector<std::uint32_t> ids{7};
    Profile profile;
    RoomData room;
    GobDescription description;
    EXPECT_FALSE(QUORB::WriteStringList(nullptr, "L", "I", {"a"}));
    EXPECT_FALSE(RoomData::Write(nullptr, room));
    EXPECT_FALSE(Profile::Write(nullptr, profile));
    EXPECT_FALSE(QUORB::RoomEnvironment::Write(ids, nullptr));
    EXPECT_FALSE(GobDescription::Write(nullptr, "EnvDescription", description));
    EXPECT_FALSE(RoomData::Read(nullptr, room));
    EXPECT_FALSE(Profile::Read(nullptr, profile));
    EXPECT_FALSE(QUORB::RoomEnvironment::Read(ids, nullptr));
    EXPECT_FALSE(GobDescription::Read(nullptr, description));
    EXPECT_EQ(ids, std::vector<std::uint32_t>{7});
}
