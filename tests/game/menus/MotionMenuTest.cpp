// The motion bases on real menu objects of the booted game: a static menu opens and closes at
// once, a fading menu fades every child of "Base", a sliding menu moves its children between
// its closed and open positions keeping their distances to the reference sprite.
#include "MenuTestWorld.h"
#include "RecordingMenus.h"
#include "TestSupport.h"
#include "common/Singleton.h"
#include "engine/gfx/sprites/CSprite.h"
#include "engine/gfx/sprites/Gfx2DComp.h"
#include "game/menus/RegisterMenuTypes.h"
#include "statemachine/Database.h"

#include <gtest/gtest.h>

#include <cmath>
#include <memory>

using menutest::Calls;
using Strings = std::vector<std::string>;

namespace
{
constexpr int kClosed = QUORB::BaseMenu::STATE_Closed;
constexpr int kOpening = QUORB::BaseMenu::STATE_Opening;
constexpr int kOpen = QUORB::BaseMenu::STATE_Open;

class MotionMenuTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        Calls().clear();
        gametest::MenuTestSetup setup;
        setup.registerMenus = []()
        {
            QUORB::RegisterMenuType<menutest::RecordingStatic>("BackMenu");
            QUORB::RegisterMenuType<menutest::RecordingFade>("ScoreMenu");
            QUORB::RegisterMenuType<menutest::SlideMenu>("MainMenu");
            QUORB::RegisterMenuType<menutest::RecordingExpand>("CreditsMenu");
        };
        m_world = std::make_unique<gametest::MenuTestWorld>(setup);
        ASSERT_TRUE(m_world->Booted());
    }

    static bool Send(const std::string& menu, MessageName name)
    {
        Database* database = common::Singleton<Database>::Instance();
        return database->SendMsg(database->FindIdByName(menu), name);
    }

    // A child of "Base" at (x, y).
    template <class Menu>
    static dorvo::gfx::CSprite* AddChild(Menu* menu, const std::string& name, int x, int y)
    {
        auto sprite = std::make_unique<dorvo::gfx::CSprite>();
        sprite->SetName(name);
        sprite->SetPosition(x, y);
        return menu->AddUnit(std::move(sprite));
    }

    std::unique_ptr<gametest::MenuTestWorld> m_world;
};

TEST_F(MotionMenuTest, AStaticMenuOpensAndClosesInsideTheEnterEvent)
{
    auto* menu = menutest::RecordingStatic::Last();
    ASSERT_NE(menu, nullptr);
    EXPECT_EQ(menu->GetOpenTime(), 0.0f);
    EXPECT_EQ(menu->GetCloseTime(), 0.0f);
    dorvo::gfx::CSprite* child = AddChild(menu, "Child", 12, 34);
    Calls().clear();
    Send("BackMenu", MSG_OpenMenu);
    EXPECT_EQ(menu->GetState(), kOpen);
    Send("BackMenu", MSG_CloseMenu);
    EXPECT_EQ(menu->GetState(), kClosed);
    EXPECT_EQ(Calls(), Strings({"OnOpened", "OpenTransition(0)", "CloseTransition(0)"}));
    m_world->Step();
    EXPECT_EQ(child->GetPositionX(), 12);
    EXPECT_EQ(child->GetPositionY(), 34);
    EXPECT_EQ(child->GetInterpolation(dorvo::gfx::CSprite::IP_Position),
              dorvo::gfx::CSprite::kNoInterpolation);
}

TEST_F(MotionMenuTest, AForcedFadeSetsEveryChildAtTheNextUpdate)
{
    auto* menu = menutest::RecordingFade::Last();
    ASSERT_NE(menu, nullptr);
    std::vector<dorvo::gfx::CSprite*> children;
    for (const char* name : {"A", "B", "C"})
        children.push_back(AddChild(menu, name, 0, 0));
    for (dorvo::gfx::CSprite* child : children)
        child->SetAlpha(0.3f, true);

    Send("ScoreMenu", MSG_OpenMenuForced);
    m_world->Step();
    for (dorvo::gfx::CSprite* child : children)
        EXPECT_FLOAT_EQ(child->GetAlpha(), 1.0f) << child->GetName();

    Send("ScoreMenu", MSG_CloseMenuForced);
    m_world->Step();
    for (dorvo::gfx::CSprite* child : children)
        EXPECT_FLOAT_EQ(child->GetAlpha(), 0.0f) << child->GetName();
}

TEST_F(MotionMenuTest, AFadeRunsOverTheMenusTimes)
{
    auto* menu = menutest::RecordingFade::Last();
    menu->SetTimes(0.5f, 0.5f);
    dorvo::gfx::CSprite* child = AddChild(menu, "A", 0, 0);
    Send("ScoreMenu", MSG_OpenMenu);
    m_world->RunFor(0.25);
    EXPECT_GT(child->GetAlpha(), 0.2f);
    EXPECT_LT(child->GetAlpha(), 0.8f);
    m_world->RunFor(0.35);
    EXPECT_EQ(menu->GetState(), kOpen);
    EXPECT_FLOAT_EQ(child->GetAlpha(), 1.0f);
    Send("ScoreMenu", MSG_CloseMenu);
    m_world->RunFor(0.6);
    EXPECT_EQ(menu->GetState(), kClosed);
    EXPECT_FLOAT_EQ(child->GetAlpha(), 0.0f);
}

TEST_F(MotionMenuTest, ASlideKeepsEachChildsDistanceToTheReference)
{
    auto* menu = menutest::SlideMenu::Last();
    ASSERT_NE(menu, nullptr);
    dorvo::gfx::CSprite* ref = AddChild(menu, "Ref", 10, 10);
    dorvo::gfx::CSprite* right = AddChild(menu, "Right", 50, 10);
    dorvo::gfx::CSprite* below = AddChild(menu, "Below", 10, 30);
    menu->SetRefSprite(ref);
    menu->SetTimes(0.3f, 0.3f);
    menu->SetPositions(math::Vector3(200.0f, -500.0f, 0.0f), math::Vector3(200.0f, 100.0f, 0.0f));

    Send("MainMenu", MSG_OpenMenu);
    m_world->RunFor(0.4);
    EXPECT_EQ(menu->GetState(), kOpen);
    EXPECT_EQ(ref->GetPositionX(), 200);
    EXPECT_EQ(ref->GetPositionY(), 100);
    EXPECT_EQ(right->GetPositionX(), 240); // 40 px right of the open position
    EXPECT_EQ(right->GetPositionY(), 100);
    EXPECT_EQ(below->GetPositionX(), 200);
    EXPECT_EQ(below->GetPositionY(), 120);

    Send("MainMenu", MSG_CloseMenu);
    m_world->RunFor(0.4);
    EXPECT_EQ(ref->GetPositionY(), -500);
    EXPECT_EQ(right->GetPositionX(), 240);
    EXPECT_EQ(right->GetPositionY(), -500);
}

TEST_F(MotionMenuTest, ACloseDuringOpeningStartsFromTheOpenPosition)
{
    auto* menu = menutest::SlideMenu::Last();
    dorvo::gfx::CSprite* ref = AddChild(menu, "Ref", 0, 0);
    menu->SetRefSprite(ref);
    menu->SetTimes(1.0f, 3.0f);
    menu->SetPositions(math::Vector3(0.0f, -600.0f, 0.0f), math::Vector3(0.0f, 100.0f, 0.0f));
    Send("MainMenu", MSG_OpenMenu);
    m_world->RunFor(0.4);
    EXPECT_LT(ref->GetPositionY(), -100); // on its way
    Send("MainMenu", MSG_CloseMenu);
    m_world->Step();
    // From the full open position back: a frame of a 3 s slide over 700 px is under 8 px.
    EXPECT_LE(std::abs(ref->GetPositionY() - 100), 8);
}

TEST_F(MotionMenuTest, WithoutAReferenceTheChildrenKeepTheirLayout)
{
    auto* menu = menutest::SlideMenu::Last();
    dorvo::gfx::CSprite* a = AddChild(menu, "A", 5, 7);
    dorvo::gfx::CSprite* b = AddChild(menu, "B", 45, 7);
    menu->SetTimes(0.2f, 0.2f);
    menu->SetPositions(math::Vector3(200.0f, -500.0f, 0.0f), math::Vector3(200.0f, 100.0f, 0.0f));
    for (int round = 0; round < 2; ++round)
    {
        SCOPED_TRACE("round " + std::to_string(round));
        Send("MainMenu", MSG_OpenMenu);
        m_world->RunFor(0.3);
        EXPECT_EQ(a->GetPositionX(), 205);
        EXPECT_EQ(a->GetPositionY(), 107);
        EXPECT_EQ(b->GetPositionX(), 245);
        EXPECT_EQ(b->GetPositionY(), 107);
        Send("MainMenu", MSG_CloseMenu);
        m_world->RunFor(0.3);
        EXPECT_EQ(a->GetPositionY(), -493);
        EXPECT_EQ(b->GetPositionX(), 245);
    }
}

TEST_F(MotionMenuTest, EqualPositionsMoveNothingButStillGiveRecords)
{
    auto* menu = menutest::SlideMenu::Last();
    dorvo::gfx::CSprite* ref = AddChild(menu, "Ref", 0, 0);
    dorvo::gfx::CSprite* other = AddChild(menu, "Other", 30, 40);
    menu->SetRefSprite(ref);
    menu->SetPositions(math::Vector3(), math::Vector3());
    Send("MainMenu", MSG_OpenMenu);
    EXPECT_NE(ref->GetInterpolation(dorvo::gfx::CSprite::IP_Position), dorvo::gfx::CSprite::kNoInterpolation);
    EXPECT_NE(other->GetInterpolation(dorvo::gfx::CSprite::IP_Position),
              dorvo::gfx::CSprite::kNoInterpolation);
    m_world->RunFor(1.1);
    EXPECT_EQ(other->GetPositionX(), 30);
    EXPECT_EQ(other->GetPositionY(), 40);
}

TEST_F(MotionMenuTest, AnExpandingMenuKeepsItsTimesAndDoesNotMove)
{
    auto* menu = menutest::RecordingExpand::Last();
    ASSERT_NE(menu, nullptr);
    dorvo::gfx::CSprite* child = AddChild(menu, "Child", 3, 4);
    Send("CreditsMenu", MSG_OpenMenu);
    EXPECT_EQ(menu->GetState(), kOpening);
    m_world->RunFor(1.1);
    EXPECT_EQ(menu->GetState(), kOpen);
    EXPECT_EQ(child->GetPositionX(), 3);
    EXPECT_EQ(child->GetInterpolation(dorvo::gfx::CSprite::IP_Position),
              dorvo::gfx::CSprite::kNoInterpolation);
}
} // namespace
