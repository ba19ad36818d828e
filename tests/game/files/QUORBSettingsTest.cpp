// The settings file: a round trip through a real file, and what a damaged or hostile file gives.
#include "game/files/QUORBSettings.h"

#include "LogCapture.h"
#include "TestSupport.h"

#include "game/files/IsSafeFileName.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

using QUORB::GameSkinColors;
using QUORB::LoadSettingsFile;
using QUORB::QUORBSettings;
using QUORB::SaveSettingsFile;

namespace
{
void WriteText(const std::string& path, const std::string& text)
{
    std::ofstream(path, std::ios::binary) << text;
}

std::string Color(const char* name, int r, int g, int b, int a)
{
    return std::string("<Color name=\"") + name + "\"><float name=\"r\">" + std::to_string(r) +
           "</float><float name=\"g\">" + std::to_string(g) + "</float><float name=\"b\">" +
           std::to_string(b) + "</float><float name=\"a\">" + std::to_string(a) + "</float></Color>";
}

std::string Skin(const std::string& name, int red)
{
    return "<GameSkin name=\"" + name + "\">" + Color("PressedColor", red, 0, 0, 255) +
           Color("UnpressedColor", 0, 255, 0, 255) + Color("OverColor", 0, 0, 255, 255) +
           Color("DisabledColor", 10, 10, 10, 255) + Color("SpriteColor", 255, 255, 255, 128) + "</GameSkin>";
}

std::string Names(const std::vector<std::string>& names)
{
    std::string text;
    for (const std::string& name : names)
        text += "<string name=\"RoomFileName\">" + name + "</string>";
    return text;
}

// A settings file with the given parts in the file's order.
std::string SettingsFile(const std::string& quality, const std::string& skins, int skinCount,
                         const std::vector<std::string>& ours, const std::vector<std::string>& theirs,
                         const std::string& lastUsed)
{
    return "<?xml version=\"1.0\" ?><File><QUORBSettings><string name=\"GraphicsQuality\">" + quality +
           "</string><list name=\"GameSkins\" size=\"" + std::to_string(skinCount) + "\">" + skins +
           "</list><uint name=\"NumRoomsMadeByUs\">" + std::to_string(ours.size()) + "</uint>" + Names(ours) +
           "<uint name=\"NumRoomsMadeByPlayer\">" + std::to_string(theirs.size()) + "</uint>" +
           Names(theirs) + "<string name=\"LastUsedProfile\">" + lastUsed +
           "</string></QUORBSettings></File>";
}

void ExpectDefaults(const QUORBSettings& settings)
{
    EXPECT_EQ(settings.GraphicsQuality, "Medium");
    EXPECT_TRUE(settings.m_gameSkins.empty());
    EXPECT_TRUE(settings.m_roomMap.empty());
    EXPECT_TRUE(settings.m_roomsMadeByUs.empty());
    EXPECT_TRUE(settings.m_roomsMadeByPlayer.empty());
    EXPECT_EQ(settings.LastUsedProfile, "");
}

// Something in the record, so a test sees whether a load put the defaults back.
void Dirty(QUORBSettings& settings)
{
    settings.GraphicsQuality = "Low";
    settings.m_roomsMadeByUs.push_back("Old.xml");
    settings.m_roomMap["Old.xml"] = QUORB::RoomEntry{"Old.xml", true};
    settings.LastUsedProfile = "Old.xml";
}
} // namespace

TEST(QUORBSettingsTest, SavedSettingsReadBackWithOurRoomsLockedAndPlayerRoomsOutOfTheMap)
{
    testsupport::TempWorkDir dir;
    QUORBSettings settings;
    settings.GraphicsQuality = "High";
    auto skin = std::make_unique<GameSkinColors>();
    (*skin)[0] = plat::D3DXCOLOR(1.0f, 0.0f, 0.0f, 1.0f);
    (*skin)[4] = plat::D3DXCOLOR(0.0f, 0.0f, 1.0f, 0.5f);
    settings.m_gameSkins["DefaultSkin"] = std::move(skin);
    settings.m_gameSkins["Dark"] = std::make_unique<GameSkinColors>();
    settings.m_roomsMadeByUs = {"Tutorial.xml", "Lab.xml"};
    settings.m_roomsMadeByPlayer = {"Mine.xml"};
    settings.LastUsedProfile = "Ann.xml";
    ASSERT_TRUE(SaveSettingsFile(settings, "QUORBSettings.xml"));

    QUORBSettings read;
    ASSERT_TRUE(LoadSettingsFile(read, "QUORBSettings.xml"));
    EXPECT_EQ(read.GraphicsQuality, "High");
    ASSERT_EQ(read.m_gameSkins.size(), 2u);
    const GameSkinColors& colors = *read.m_gameSkins.at("DefaultSkin");
    EXPECT_FLOAT_EQ(colors[0].r, 1.0f);
    EXPECT_FLOAT_EQ(colors[4].b, 1.0f);
    EXPECT_NEAR(colors[4].a, 0.5f, 1.0f / 255.0f);
    EXPECT_EQ(read.m_roomsMadeByUs, settings.m_roomsMadeByUs);
    EXPECT_EQ(read.m_roomsMadeByPlayer, settings.m_roomsMadeByPlayer);
    ASSERT_EQ(read.m_roomMap.size(), 2u);
    EXPECT_TRUE(read.m_roomMap.at("Tutorial.xml").locked);
    EXPECT_TRUE(read.m_roomMap.at("Lab.xml").locked);
    EXPECT_EQ(read.m_roomMap.count("Mine.xml"), 0u);
    EXPECT_EQ(read.LastUsedProfile, "Ann.xml");
}

TEST(QUORBSettingsTest, ABadSkinIsSkippedAndASecondSkinOfANameKeepsTheFirst)
{
    testsupport::TempWorkDir dir;
    std::string brokenColours = Skin("Broken", 1);
    brokenColours.replace(brokenColours.find("<float name=\"g\">"), 16, "<float name=\"g\">x");
    const std::string skins = Skin("First", 200) + Skin("", 3) + "<GameSkin>" + Skin("X", 4).substr(19) +
                              brokenColours + Skin("First", 7) + Skin("Second", 9);
    WriteText("S.xml", SettingsFile("Low", skins, 6, {"A.xml"}, {}, "P.xml"));
    QUORBSettings read;
    ASSERT_TRUE(LoadSettingsFile(read, "S.xml"));
    ASSERT_EQ(read.m_gameSkins.size(), 2u);
    EXPECT_NEAR(read.m_gameSkins.at("First")->at(0).r, 200.0f / 255.0f, 1e-6f);
    EXPECT_EQ(read.m_gameSkins.count("Second"), 1u);
    EXPECT_EQ(read.GraphicsQuality, "Low");
    EXPECT_EQ(read.m_roomsMadeByUs, std::vector<std::string>{"A.xml"});
    EXPECT_EQ(read.LastUsedProfile, "P.xml");
}

TEST(QUORBSettingsTest, AMissingUnparsableOrMalformedFileGivesTheDefaults)
{
    testsupport::TempWorkDir dir;
    const std::string whole = SettingsFile("High", Skin("S", 1), 1, {"A.xml"}, {"B.xml"}, "P.xml");
    struct Case
    {
        const char* what;
        std::string text; // empty: no file at all
    };
    std::string countTooHigh = whole;
    countTooHigh.replace(countTooHigh.find(">1</uint>"), 9, ">3</uint>");
    std::string hostileCount = whole;
    hostileCount.replace(hostileCount.find(">1</uint>"), 9, ">4294967295</uint>");
    std::string badCount = whole;
    badCount.replace(badCount.find(">1</uint>"), 9, ">many</uint>");
    std::string noLastUsed = whole;
    noLastUsed.erase(noLastUsed.find("<string name=\"LastUsedProfile\">"),
                     std::string("<string name=\"LastUsedProfile\">P.xml</string>").size());
    std::string noSkinList = whole;
    noSkinList.replace(noSkinList.find("<list name=\"GameSkins\" size=\"1\">"), 32,
                       "<list name=\"GameSkins\">");
    const Case cases[] = {
        {"no file", ""},
        {"not XML", "<File><QUORBSettings>"},
        {"no record", "<?xml version=\"1.0\" ?><File/>"},
        {"empty record", "<?xml version=\"1.0\" ?><File><QUORBSettings/></File>"},
        {"count above the names", countTooHigh},
        {"hostile count", hostileCount},
        {"count not a number", badCount},
        {"no last used profile", noLastUsed},
        {"skin list without size", noSkinList},
    };
    for (const Case& c : cases)
    {
        SCOPED_TRACE(c.what);
        std::remove("S.xml");
        if (!c.text.empty())
            WriteText("S.xml", c.text);
        QUORBSettings read;
        Dirty(read);
        EXPECT_FALSE(LoadSettingsFile(read, "S.xml"));
        ExpectDefaults(read);
    }
}

TEST(QUORBSettingsTest, RoomNamesThatAreNoUsableFileNamesAreLeftOut)
{
    testsupport::TempWorkDir dir;
    WriteText("S.xml", SettingsFile("Medium", "", 0, {"../Evil.xml", "A.xml", ""}, {"B.xml", "C:D.xml"}, ""));
    QUORBSettings read;
    ASSERT_TRUE(LoadSettingsFile(read, "S.xml"));
    EXPECT_EQ(read.m_roomsMadeByUs, std::vector<std::string>{"A.xml"});
    EXPECT_EQ(read.m_roomsMadeByPlayer, std::vector<std::string>{"B.xml"});
    EXPECT_EQ(read.m_roomMap.size(), 1u);
}

// Ten thousand copies of one fault are a few lines and a count; a last profile that is no
// usable file name is forgotten with one line, so no profile is loaded from outside its folder.
TEST(QUORBSettingsTest, AFaultRepeatedTenThousandTimesIsAFewLinesAndAnUnsafeLastProfileIsForgotten)
{
    testsupport::TempWorkDir dir;
    std::string skins = Skin("Only", 1);
    for (int i = 0; i < 10000; ++i)
        skins += Skin("Only", 2);
    WriteText("S.xml", SettingsFile("Low", skins, 10001, {}, {}, "/etc/passwd"));
    QUORBSettings read;
    testsupport::LogCapture logged;
    ASSERT_TRUE(LoadSettingsFile(read, "S.xml"));
    const std::string err = logged.Text();
    EXPECT_EQ(read.m_gameSkins.size(), 1u);
    EXPECT_EQ(read.LastUsedProfile, "");
    EXPECT_EQ(logged.Lines().size(), 5u) << err;
    EXPECT_EQ(logged.CountOf("QUORBSettings::Read: S.xml:1: a second game skin \"Only\"; the first is kept"),
              3u)
        << err;
    EXPECT_TRUE(
        logged.Contains("LoadSettingsFile: S.xml: and 9997 more like line 1 (a second game skin \"\"; the "
                        "first is kept); they are not shown"))
        << err;
    EXPECT_TRUE(
        logged.Contains("QUORBSettings::Read: S.xml:1: the last profile \"/etc/passwd\" is no usable file "
                        "name; no profile is loaded"))
        << err;
}

TEST(QUORBSettingsTest, AFailedSaveKeepsTheOldFile)
{
    testsupport::TempWorkDir dir;
    QUORBSettings settings;
    ASSERT_TRUE(SaveSettingsFile(settings, "S.xml"));
    std::ifstream before("S.xml");
    const std::string old((std::istreambuf_iterator<char>(before)), std::istreambuf_iterator<char>());
    settings.GraphicsQuality = "High";
    // A folder where the file's temporary copy would go makes the write fail.
    std::filesystem::create_directory("S.xml.tmp");
    std::filesystem::create_directory("S.xml.tmp/x");
    EXPECT_FALSE(SaveSettingsFile(settings, "S.xml"));
    std::ifstream after("S.xml");
    EXPECT_EQ(std::string((std::istreambuf_iterator<char>(after)), std::istreambuf_iterator<char>()), old);
    EXPECT_FALSE(SaveSettingsFile(settings, "missing/S.xml"));
}

TEST(IsSafeFileNameTest, NamesThatCouldLeaveTheirFolderOrManglesAreRefused)
{
    struct Case
    {
        std::string name;
        bool safe;
    };
    const Case cases[] = {
        {"Lab.xml", true},
        {"Lab", true},
        {"My Room 2.XML", true},
        {"Zimmer_\xC3\xA4.xml", true},
        {"a.b.xml", true},
        {std::string(60, 'a') + ".xml", true},
        {std::string(61, 'a') + ".xml", false},
        {"", false},
        {".xml", false},
        {".XML", false},
        {".hidden.xml", false},
        {"..", false},
        {"a..b.xml", false},
        {"../x.xml", false},
        {"dir/x.xml", false},
        {"dir\\x.xml", false},
        {"C:x.xml", false},
        {"*.xml", false},
        {"x?.xml", false},
        {"x\".xml", false},
        {"<x>.xml", false},
        {"x|y.xml", false},
        {std::string("x\ny.xml"), false},
        {std::string("x\ty.xml"), false},
        {std::string("x\x7Fy.xml"), false},
        {std::string("x\0y.xml", 7), false},
    };
    for (const Case& c : cases)
    {
        SCOPED_TRACE(c.name);
        EXPECT_EQ(QUORB::IsSafeFileName(c.name), c.safe);
    }
}

TEST(QUORBSettingsTest, TheCommittedSettingsFileLoadsWithItsSkinsAndTheCampaignRoom)
{
    QUORBSettings settings;
    ASSERT_TRUE(LoadSettingsFile(settings, testsupport::RepoPath("data/files/xmlfiles/QUORBSettings.xml")));
    EXPECT_EQ(settings.GraphicsQuality, "Medium");
    EXPECT_EQ(settings.m_gameSkins.size(), 3u);
    EXPECT_EQ(settings.m_gameSkins.count("DefaultSkin"), 1u);
    EXPECT_EQ(settings.m_roomsMadeByUs, std::vector<std::string>{"Tutorial.xml"});
    EXPECT_TRUE(settings.m_roomsMadeByPlayer.empty());
}
