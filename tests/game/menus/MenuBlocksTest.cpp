// The menus' building blocks: the hit tests against the game's cursor, the callbacks' messages
// and names, the standard looks and their builders.
#include "LogCapture.h"
#include "MenuTestWorld.h"
#include "RecordingMenus.h"
#include "TestSupport.h"
#include "engine/gfx/gui/CButton.h"
#include "engine/gfx/gui/CCursor.h"
#include "engine/gfx/sprites/CSprite.h"
#include "game/app/CQUORB.h"
#include "game/menus/MenuCallbacks.h"
#include "game/menus/MenuHitTests.h"
#include "game/menus/MenuHud.h"
#include "game/menus/RegisterMenuTypes.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <memory>

namespace
{
dorvo::gfx::SpriteAnimation Frame(int width, int height)
{
    dorvo::gfx::SpriteAnimation still;
    still.frameWidth = width;
    still.frameHeight = height;
    still.frameCount = 1;
    return still;
}

class MenuBlocksTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        menutest::Calls().clear();
        gametest::MenuTestSetup setup;
        setup.registerMenus = []() { QUORB::RegisterMenuType<menutest::RecordingMenu>("HelpMenu"); };
        m_world = std::make_unique<gametest::MenuTestWorld>(setup);
        ASSERT_TRUE(m_world->Booted());
    }

    // The game's cursor put straight at (x, y); no frame runs, so nothing moves it back.
    void CursorAt(int x, int y) { m_world->Game().GetCursor()->SetPosition(x, y); }

    std::unique_ptr<gametest::MenuTestWorld> m_world;
};

TEST_F(MenuBlocksTest, HitTestsFindTheCursorInsideTheirShapes)
{
    dorvo::gfx::CSprite sprite;
    sprite.AddAnimation("still", Frame(40, 40), true);
    sprite.SetPosition(100, 200);
    QUORB::RectPointInsideFunct rect(&sprite, 40, 20);
    QUORB::CirclePointInsideFunct circle(&sprite, 10.0f); // about (120, 220)
    const plat::POINT unused{0, 0};

    // Before the first frame the game has no cursor: nothing is inside.
    ASSERT_EQ(m_world->Game().GetCursor(), nullptr);
    EXPECT_FALSE(rect(unused));
    EXPECT_FALSE(circle(unused));
    m_world->Step();
    ASSERT_NE(m_world->Game().GetCursor(), nullptr);

    struct Case
    {
        int x, y;
        bool inRect, inCircle;
        const char* what;
    };
    const Case cases[] = {
        {100, 210, false, false, "left edge"},
        {101, 210, true, false, "just inside the left edge"},
        {140, 210, false, false, "right edge"},
        {139, 210, true, false, "just inside the right edge"},
        {120, 200, false, false, "top edge"},
        {120, 201, true, false, "just below the top edge"},
        {120, 220, false, true, "bottom edge"},
        {120, 219, true, true, "just above the bottom edge"},
        {130, 220, false, true, "on the circle"},
        {131, 220, false, false, "just outside the circle"},
        {126, 228, false, true, "on the circle, slanted"},
        {127, 228, false, false, "outside, slanted"},
    };
    for (const Case& c : cases)
    {
        SCOPED_TRACE(c.what);
        CursorAt(c.x, c.y);
        EXPECT_EQ(rect(unused), c.inRect);
        EXPECT_EQ(circle(unused), c.inCircle);
    }

    // The rectangle runs from the screen position: position plus the parent's offset.
    sprite.SetOffset(10, 0);
    CursorAt(145, 210);
    EXPECT_TRUE(rect(unused));
}

TEST_F(MenuBlocksTest, HeldOverReportsTheNameAtTheCallPressedKeepsTheFirst)
{
    auto* menu = menutest::RecordingMenu::Last();
    StateMachineComponent* owner = menu->GetComponent();
    const int position[2] = {0, 0};
    dorvo::gfx::CButton* button =
        menu->AddUnit(std::make_unique<dorvo::gfx::CButton>("", Frame(8, 8), position, position));
    ASSERT_NE(button, nullptr);
    button->SetName("Old");
    QUORB::SMHeldOverFunct heldOver(owner, button, true, 0.33f);
    QUORB::SMHeldOverFunct movedOff(owner, button, false, 0.33f);
    QUORB::SMButtonPressedFunct pressed(owner, "Old");
    QUORB::SMUnCheckFunct unchecked(owner, "Old");
    QUORB::SMTextSubmitFunct submitted(owner, "Old");
    EXPECT_FLOAT_EQ(heldOver.delay, 0.33f);
    EXPECT_FLOAT_EQ(heldOver.secondDelay, 0.33f);
    EXPECT_TRUE(heldOver.over);
    EXPECT_FALSE(movedOff.over);

    button->SetName("New");
    m_world->ClearMessages();
    m_world->ClearSounds();
    heldOver();
    movedOff();
    pressed();
    unchecked();
    submitted();
    const std::vector<gametest::MenuMessage> heard = m_world->MessagesTo("HelpMenu");
    ASSERT_EQ(heard.size(), 5u);
    const std::pair<MessageName, const char*> expected[] = {{MSG_MouseHeldOver, "New"},
                                                            {MSG_MouseMovedOff, "New"},
                                                            {MSG_ButtonPressed, "Old"},
                                                            {MSG_ButtonUnPressed, "Old"},
                                                            {MSG_TextSubmitted, "Old"}};
    for (std::size_t i = 0; i < heard.size(); ++i)
    {
        EXPECT_EQ(heard[i].name, expected[i].first) << i;
        EXPECT_EQ(heard[i].data.GetString(), expected[i].second) << i;
    }
    // Only the press is heard: one sound.
    EXPECT_EQ(m_world->SoundsStarted(), std::vector<std::string>({"QUORBSound/GUI/ButtonPress"}));
}

TEST_F(MenuBlocksTest, ACallbackWithoutAMenuObjectSendsNothing)
{
    QUORB::SMButtonPressedFunct pressed(nullptr, "Lost");
    QUORB::SMHeldOverFunct heldOver(nullptr, nullptr, true, 0.05f);
    m_world->ClearMessages();
    pressed();
    heldOver();
    EXPECT_TRUE(m_world->Messages().empty());
}

TEST_F(MenuBlocksTest, ABarButtonKeepsItsHitRectangleWhateverItsScale)
{
    m_world->Step();
    std::unique_ptr<dorvo::gfx::CButton> button = QUORB::g_menuHud.CreateBarButton("Bar");
    EXPECT_EQ(button->GetName(), "Bar");
    EXPECT_EQ(button->GetAnchorX(), 32);
    EXPECT_EQ(button->GetAnchorY(), 32);
    EXPECT_FLOAT_EQ(button->GetWidth(), 256.0f);
    EXPECT_FLOAT_EQ(button->GetHeight(), 75.0f);
    button->SetPosition(100, 100);
    button->SetScale(0.5f, 0.5f, 1.0f);
    auto* rect = dynamic_cast<QUORB::RectPointInsideFunct*>(button->GetPointInsideFunct());
    ASSERT_NE(rect, nullptr);
    EXPECT_EQ(rect->GetWidth(), 200);
    EXPECT_EQ(rect->GetHeight(), 55);
    const plat::POINT unused{0, 0};
    CursorAt(100 + 199, 100 + 54); // far beyond the scaled 128 x 37 image
    EXPECT_TRUE((*rect)(unused));
    CursorAt(100 + 200, 100 + 10);
    EXPECT_FALSE((*rect)(unused));
}

TEST_F(MenuBlocksTest, TheStandardLooksLoadTheirTexturesOnlyWhenBuilt)
{
    m_world->Step();
    const QUORB::MenuHud& hud = QUORB::g_menuHud;
    const QUORB::MenuHudDescriptor* looks[] = {
        &hud.m_barMenuButtons, &hud.m_menuBackground, &hud.m_slider, &hud.m_whiteBlock,
        &hud.m_toolTipBack,    &hud.m_coloredRadial,  &hud.m_message};
    for (const QUORB::MenuHudDescriptor* look : looks)
    {
        SCOPED_TRACE(look->textureFile);
        EXPECT_EQ(look->unpressed.frameCount, 1);
        EXPECT_TRUE(look->unpressed.paused);
        dorvo::gfx::CSprite sprite(look->textureFile);
        EXPECT_GE(sprite.GetTextureWidth(), look->unpressed.frameWidth);
        EXPECT_GE(sprite.GetTextureHeight(), look->unpressed.frameHeight);
    }
    std::unique_ptr<dorvo::gfx::CSprite> background = hud.CreateBackground("Back");
    ASSERT_EQ(background->GetAnimations().count("base"), 1u);
    EXPECT_EQ(background->GetCurrentAnimation(), &background->GetAnimations().at("base"));
    EXPECT_FLOAT_EQ(background->GetWidth(), 512.0f);
    std::unique_ptr<dorvo::gfx::CSprite> message = hud.CreateMessageSprite("Note");
    ASSERT_EQ(message->GetAnimations().count("base"), 1u);
    EXPECT_EQ(message->GetCurrentAnimation(), &message->GetAnimations().at("base"));
    EXPECT_FLOAT_EQ(message->GetHeight(), 64.0f);
    std::unique_ptr<dorvo::gfx::CButton> block = hud.CreateWhiteBlockButton("Block");
    EXPECT_EQ(block->GetPointInsideFunct(), nullptr);
    EXPECT_EQ(block->GetAnchorX(), 0);
    EXPECT_FLOAT_EQ(block->GetWidth(), 32.0f);
}

TEST_F(MenuBlocksTest, AMissingTextureGivesAnUntexturedUnitAndOneLine)
{
    m_world->Step();
    QUORB::MenuHud hud;
    hud.m_whiteBlock.textureFile = "hud/NoSuchBlock.png";
    testsupport::LogCapture logged;
    std::unique_ptr<dorvo::gfx::CButton> block = hud.CreateWhiteBlockButton("Block");
    const std::string said = logged.Text();
    EXPECT_EQ(block->GetTextureWidth(), 0);
    EXPECT_EQ(block->GetTextureHeight(), 0);
    EXPECT_NE(said.find("hud/NoSuchBlock.png"), std::string::npos) << said;
    EXPECT_EQ(std::count(said.begin(), said.end(), '\n'), 1) << said;
}
} // namespace
