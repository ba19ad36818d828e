// The tip box, on the test clock: a sprite's tip opens once the cursor has rested on it for more
// than half a second, beside the cursor and kept on the screen, and closes at the first move;
// sprites are hit from their top left up to, not including, their right and bottom edges; of two
// overlapping ones the menu of the lower game-object id wins. Two small menus filed in place of
// unused names carry the sprites.
#include "MenuTestWorld.h"

#include "engine/gfx/gui/CCursor.h"
#include "engine/gfx/sprites/CSprite.h"
#include "engine/gfx/sprites/CTextSprite.h"
#include "game/app/CQUORB.h"
#include "game/app/MenuTable.h"
#include "game/menus/RegisterMenuTypes.h"
#include "game/menus/StaticMenu.h"
#include "game/menus/ToolTipMenu.h"

#include <gtest/gtest.h>

#include <memory>
#include <string>

namespace
{
constexpr int kClosed = 1;
constexpr int kOpen = 3;
const char* const kTips = "ToolTipMenu";

// A static menu of plain sprites with tips, each 40 x 32 pixels (the white block scaled).
class TipSprites : public QUORB::StaticMenu
{
public:
    explicit TipSprites(StateMachineComponent* owner) : StaticMenu(owner) {}

    dorvo::gfx::CSprite* Add(const std::string& name, int x, int y, const std::string& tip)
    {
        auto sprite = std::make_unique<dorvo::gfx::CSprite>("hud/WhiteBlock.png");
        const int centre[2] = {0, 0};
        sprite->AddGridAnimation("Base", 32, 32, 1, 0, 0, 50, centre, false);
        sprite->SetName(name);
        sprite->SetScale(1.25f, 1.0f, 1.0f);
        sprite->SetPosition(x, y);
        sprite->SetTipText(tip);
        return AddUnit(std::move(sprite));
    }
};

// The first one made ("Radial") has the lower game-object id.
TipSprites* g_first = nullptr;
TipSprites* g_second = nullptr;

class ToolTipMenuTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        gametest::MenuTestSetup setup;
        setup.registerMenus = []()
        {
            QUORB::MenuTable::SetCreator("Radial",
                                         [](StateMachineComponent* c) -> StateMachine*
                                         { return g_first = new TipSprites(c); });
            QUORB::MenuTable::SetCreator("Submenu",
                                         [](StateMachineComponent* c) -> StateMachine*
                                         { return g_second = new TipSprites(c); });
        };
        world = std::make_unique<gametest::MenuTestWorld>(setup);
        ASSERT_TRUE(world->Booted());
        ASSERT_NE(g_first, nullptr);
        ASSERT_NE(g_second, nullptr);
        world->Step(2);
    }

    void TearDown() override
    {
        world.reset();
        g_first = g_second = nullptr;
    }

    void Open()
    {
        world->Send("Radial", MSG_OpenMenu);
        world->Send("Submenu", MSG_OpenMenu);
    }

    // The cursor to the point, then frames for that long.
    void RestAt(int x, int y, double seconds)
    {
        world->MoveCursor(x, y);
        world->RunFor(seconds);
    }

    std::string TipText() const { return world->Unit(kTips, "ToolTipText").text; }

    std::unique_ptr<gametest::MenuTestWorld> world;
};
} // namespace

TEST_F(ToolTipMenuTest, ASpriteIsHitFromItsTopLeftUpToButNotIncludingItsRightAndBottomEdges)
{
    g_first->Add("Button", 100, 200, "A tip");
    Open();
    struct Case
    {
        int x;
        int y;
        bool shown;
    };
    const Case cases[] = {
        {100, 200, true},  {139, 231, true}, {140, 210, false},
        {120, 232, false}, {99, 210, false}, {120, 199, false},
    };
    for (const Case& c : cases)
    {
        SCOPED_TRACE(std::to_string(c.x) + ", " + std::to_string(c.y));
        RestAt(c.x, c.y, 0.7);
        EXPECT_EQ(world->MenuState(kTips), c.shown ? kOpen : kClosed);
        if (c.shown)
        {
            EXPECT_EQ(TipText(), "A tip");
            EXPECT_TRUE(world->Unit(kTips, "Background").visible);
        }
        RestAt(500, 100, 0.1);
        EXPECT_EQ(world->MenuState(kTips), kClosed);
    }
}

TEST_F(ToolTipMenuTest, TheTipOpensAfterHalfASecondOfRestBesideTheCursorAndTheSlightestMoveClosesIt)
{
    g_first->Add("Button", 100, 200, "Rest here");
    Open();
    RestAt(110, 210, 0.4);
    EXPECT_EQ(world->MenuState(kTips), kClosed);
    world->RunFor(0.2);
    ASSERT_EQ(world->MenuState(kTips), kOpen);
    const gametest::UnitView box = world->Unit(kTips, "Background");
    EXPECT_EQ(box.x, 110 + 32);
    EXPECT_EQ(box.y, 210 - 30);
    const gametest::UnitView text = world->Unit(kTips, "ToolTipText");
    EXPECT_EQ(text.x, box.x + 20);
    EXPECT_EQ(text.y, box.y + 10);
    auto* sprite = dynamic_cast<dorvo::gfx::CTextSprite*>(world->FindUnit(kTips, "ToolTipText"));
    ASSERT_NE(sprite, nullptr);
    EXPECT_EQ(sprite->GetTextStyle().fontIndex, 0u);
    // The box frames the text with a 20-pixel margin over the 54 pixels the tip look fills.
    auto* back = dynamic_cast<dorvo::gfx::CSprite*>(world->FindUnit(kTips, "Background"));
    ASSERT_NE(back, nullptr);
    EXPECT_FLOAT_EQ(back->GetScaleX(), static_cast<float>(text.width + 20) / 54.0f);
    EXPECT_FLOAT_EQ(back->GetScaleY(), static_cast<float>(text.height + 20) / 54.0f);
    world->RunFor(1.0);
    EXPECT_EQ(world->MenuState(kTips), kOpen) << "a resting cursor keeps it";

    // The game cursor takes its new place after the menus' update of the frame it moves in, so
    // the tip sees the move one frame later.
    world->MoveCursor(111, 210);
    world->Step();
    EXPECT_EQ(world->MenuState(kTips), kClosed) << "one pixel";
    EXPECT_FALSE(world->Unit(kTips, "Background").visible);
    world->RunFor(0.4);
    EXPECT_EQ(world->MenuState(kTips), kClosed);
    world->RunFor(0.2);
    EXPECT_EQ(world->MenuState(kTips), kOpen) << "a new rest";
    EXPECT_EQ(world->Unit(kTips, "Background").x, 111 + 32);
}

TEST_F(ToolTipMenuTest, ATipNearAnEdgeIsShiftedToKeepTenPixelsFromIt)
{
    g_first->Add("Right", 740, 200, "A tip long enough to need some room");
    g_first->Add("Top", 300, 5, "Up high");
    Open();
    RestAt(770, 210, 0.7);
    ASSERT_EQ(world->MenuState(kTips), kOpen);
    auto* text = dynamic_cast<dorvo::gfx::CTextSprite*>(world->FindUnit(kTips, "ToolTipText"));
    ASSERT_NE(text, nullptr);
    text->UpdateLayout();
    EXPECT_EQ(text->GetTextRect().right, 800 - 10);
    EXPECT_EQ(text->GetTextRect().top, 210 - 30 + 10) << "only moved sideways";

    RestAt(310, 10, 0.7);
    ASSERT_EQ(world->MenuState(kTips), kOpen);
    EXPECT_EQ(TipText(), "Up high");
    text->UpdateLayout();
    EXPECT_EQ(text->GetTextRect().top, 10);
    EXPECT_EQ(text->GetTextRect().left, 310 + 32 + 20);
}

TEST_F(ToolTipMenuTest, OfTwoOverlappingSpritesTheMenuOfTheLowerIdWins)
{
    g_second->Add("Under", 100, 200, "Second menu");
    g_first->Add("Over", 100, 200, "First menu");
    g_first->Add("Wide", 100, 200, "First menu, later unit");
    Open();
    RestAt(110, 210, 0.7);
    ASSERT_EQ(world->MenuState(kTips), kOpen);
    EXPECT_EQ(TipText(), "First menu") << "\"Wide\" is walked after \"Over\" (name order)";
    // Hidden, the first one gives way; the open tip closes as its sprite goes.
    dynamic_cast<dorvo::gfx::CSprite*>(world->FindUnit("Radial", "Over"))->SetVisible(false, false);
    world->Step();
    EXPECT_EQ(world->MenuState(kTips), kClosed);
    world->RunFor(0.6);
    ASSERT_EQ(world->MenuState(kTips), kOpen);
    EXPECT_EQ(TipText(), "First menu, later unit");
    // The second menu's only when the first has none there.
    dynamic_cast<dorvo::gfx::CSprite*>(world->FindUnit("Radial", "Wide"))->SetVisible(false, false);
    world->RunFor(0.6);
    ASSERT_EQ(world->MenuState(kTips), kOpen);
    EXPECT_EQ(TipText(), "Second menu");
}

TEST_F(ToolTipMenuTest, AHiddenCursorOrAnEmptyTipShowsNothing)
{
    g_first->Add("Button", 100, 200, "A tip");
    g_first->Add("Quiet", 300, 200, "");
    Open();
    RestAt(310, 210, 1.0);
    EXPECT_EQ(world->MenuState(kTips), kClosed) << "empty tip";

    dorvo::gfx::CCursor* cursor = world->Game().GetCursor();
    ASSERT_NE(cursor, nullptr);
    world->MoveCursor(110, 210);
    cursor->SetActive(false);
    world->RunFor(1.0);
    EXPECT_EQ(world->MenuState(kTips), kClosed) << "hidden cursor";
    cursor->SetActive(true);
    world->RunFor(0.6);
    ASSERT_EQ(world->MenuState(kTips), kOpen);
    cursor->SetActive(false);
    world->Step();
    EXPECT_EQ(world->MenuState(kTips), kClosed) << "hiding the cursor closes an open tip";
}

// The console slides down over the menus, below the tip's depth: a tip showing when it comes
// goes at once, none opens while it is on the screen, and the next rest counts from when it has
// slid out again.
TEST_F(ToolTipMenuTest, NoTipShowsWhileTheConsoleIsOnTheScreen)
{
    constexpr std::uint32_t kGrave = 41;
    g_first->Add("Button", 100, 200, "A tip");
    Open();
    RestAt(110, 210, 0.7);
    ASSERT_EQ(world->MenuState(kTips), kOpen);

    world->Key(kGrave);
    ASSERT_TRUE(world->Game().IsConsoleShown());
    EXPECT_EQ(world->MenuState(kTips), kClosed) << "the console's first frame";
    EXPECT_FALSE(world->Unit(kTips, "Background").visible);
    world->RunFor(2.0);
    EXPECT_EQ(world->MenuState(kTips), kClosed) << "a rest under the open console";

    world->Key(kGrave);
    ASSERT_TRUE(world->RunUntil([this] { return !world->Game().IsConsoleShown(); }, 1.0));
    world->RunFor(0.4);
    EXPECT_EQ(world->MenuState(kTips), kClosed);
    world->RunFor(0.2);
    EXPECT_EQ(world->MenuState(kTips), kOpen) << "half a second after the console went";
    EXPECT_EQ(TipText(), "A tip");
}
