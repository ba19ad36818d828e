// The options panel in the booted game: each opening shows exactly the current quality and skin,
// a quality applies its post-processing at once, a skin runs "setgameskin", and nothing is
// written until the game saves its settings.
#include "MenuTestWorld.h"

#include "engine/gfx/postprocess/CPostProcessor.h"
#include "engine/gfx/postprocess/PostProcessIds.h"
#include "game/app/CQUORB.h"
#include "game/files/GameDataFiles.h"
#include "game/files/QUORBSettings.h"
#include "game/menus/BaseMenu.h"

#include <gtest/gtest.h>

#include <fstream>
#include <iterator>
#include <memory>

using Strings = std::vector<std::string>;

namespace
{
constexpr int kOpen = QUORB::BaseMenu::STATE_Open;
constexpr int kClosed = QUORB::BaseMenu::STATE_Closed;
const char* const kMenu = "OptionsMenu";
const char* const kButtons[] = {"Low", "Medium", "High", "DefaultSkin", "ColdSkin", "VegieSkin"};

Strings QueuedFiles()
{
    Strings files;
    for (const dorvo::gfx::CPPInstance& instance : dorvo::gfx::CPostProcessor::Instance().GetQueue())
        files.push_back(instance.GetEffectFile());
    return files;
}

Strings FilesOf(const std::vector<unsigned>& ids)
{
    Strings files;
    for (const unsigned id : ids)
        for (const std::string& file : dorvo::gfx::PostProcessFilesOfId(id))
            files.push_back(file);
    return files;
}

std::string ReadWhole(const std::string& path)
{
    std::ifstream in(path, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

class OptionsMenuTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        m_world = std::make_unique<gametest::MenuTestWorld>();
        ASSERT_TRUE(m_world->Booted());
        m_world->Step();
        // What the end of the splash chain does.
        m_world->Console("setgameskin DefaultSkin");
    }

    void Reopen()
    {
        m_world->Send(kMenu, MSG_CloseMenu);
        m_world->RunFor(0.6);
        ASSERT_EQ(m_world->MenuState(kMenu), kClosed);
        m_world->Send(kMenu, MSG_OpenMenu);
        m_world->RunFor(0.3);
        ASSERT_EQ(m_world->MenuState(kMenu), kOpen);
    }

    // The buttons shown checked, in the panel's order.
    Strings Checked() const
    {
        Strings checked;
        for (const char* button : kButtons)
            if (m_world->Unit(kMenu, button).checked)
                checked.push_back(button);
        return checked;
    }

    std::unique_ptr<gametest::MenuTestWorld> m_world;
};

TEST_F(OptionsMenuTest, ChoicesTakeEffectAtOnceAndEachOpeningShowsTheCurrentOnes)
{
    QUORB::CQUORB& game = m_world->Game();
    const std::string settingsPath = m_world->Folder() + "files/xmlfiles/QUORBSettings.xml";
    const std::string settingsBefore = ReadWhole(settingsPath);
    m_world->Send(kMenu, MSG_OpenMenu);
    m_world->Step();
    EXPECT_LT(m_world->Unit(kMenu, "Background").x, 40);
    EXPECT_GT(m_world->Unit(kMenu, "Background").x, -600);
    m_world->RunFor(0.3);
    ASSERT_EQ(m_world->MenuState(kMenu), kOpen);
    EXPECT_EQ(m_world->Unit(kMenu, "Background").x, 40);
    EXPECT_EQ(m_world->Unit(kMenu, "Background").y, 44);
    EXPECT_EQ(m_world->Unit(kMenu, "GraphicSettingsText").text, "Graphics Settings");
    EXPECT_EQ(m_world->Unit(kMenu, "VegieSkinText").text, "Vegie Skin");
    EXPECT_EQ(Checked(), Strings({"Medium", "DefaultSkin"}));

    ASSERT_TRUE(m_world->Click(kMenu, "High"));
    EXPECT_EQ(Checked(), Strings({"High", "DefaultSkin"}));
    EXPECT_EQ(game.GetSettings().GraphicsQuality, "High");
    EXPECT_EQ(QueuedFiles(), FilesOf({42, 45, 46, 19, 47, 0, 48, 49, 1, 39}));
    EXPECT_EQ(ReadWhole(settingsPath), settingsBefore);

    // A click on the checked button keeps each row showing its choice and changes nothing.
    for (const char* again : {"High", "DefaultSkin"})
    {
        ASSERT_TRUE(m_world->Click(kMenu, again));
        EXPECT_EQ(Checked(), Strings({"High", "DefaultSkin"})) << again;
    }
    EXPECT_EQ(game.GetSettings().GraphicsQuality, "High");
    EXPECT_EQ(game.GetGameSkinName(), "DefaultSkin");

    m_world->ClearConsoleLines();
    ASSERT_TRUE(m_world->Click(kMenu, "ColdSkin"));
    ASSERT_FALSE(m_world->ConsoleLines().empty());
    EXPECT_EQ(m_world->ConsoleLines().front().text, "setgameskin ColdSkin");
    EXPECT_TRUE(m_world->ConsoleLines().front().run);
    EXPECT_EQ(game.GetGameSkinName(), "ColdSkin");
    Reopen();
    EXPECT_EQ(Checked(), Strings({"High", "ColdSkin"}));

    // A skin typed at the console since: only it shows checked.
    m_world->Console("setgameskin VegieSkin");
    Reopen();
    EXPECT_EQ(Checked(), Strings({"High", "VegieSkin"}));

    ASSERT_TRUE(m_world->Click(kMenu, "Low"));
    EXPECT_EQ(QueuedFiles(), Strings());
    EXPECT_EQ(ReadWhole(settingsPath), settingsBefore);

    // A quality the game does not know checks no quality button.
    game.GetSettings().GraphicsQuality = "Ultra";
    Reopen();
    EXPECT_EQ(Checked(), Strings({"VegieSkin"}));
}

TEST_F(OptionsMenuTest, TheChosenQualityIsKeptWhenTheGameSavesItsSettings)
{
    // From the main menu's "Options", back with the back row, out with "Exit".
    m_world->Send("MainMenu", MSG_OpenMenu);
    m_world->RunFor(0.3);
    ASSERT_TRUE(m_world->Click("MainMenu", "Options"));
    m_world->RunFor(0.6);
    ASSERT_EQ(m_world->MenuState(kMenu), kOpen);
    ASSERT_TRUE(m_world->Click(kMenu, "High"));
    ASSERT_TRUE(m_world->Click("BackMenu", "BackButton"));
    m_world->RunFor(0.6);
    EXPECT_EQ(m_world->MenuState(kMenu), kClosed);
    ASSERT_EQ(m_world->MenuState("MainMenu"), kOpen);
    ASSERT_TRUE(m_world->Click("MainMenu", "Exit"));
    EXPECT_TRUE(m_world->QuitRequested());
    QUORB::QUORBSettings saved;
    ASSERT_TRUE(QUORB::LoadSettingsFile(saved, m_world->Folder() + "files/xmlfiles/QUORBSettings.xml"));
    EXPECT_EQ(saved.GraphicsQuality, "High");
}
} // namespace
