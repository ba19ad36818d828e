// A small menu screen built on a "2DArchetype" object from the game's own template, driven the
// way the game drives it: mouse and key events offered to the object's 2D component (the
// game's cursor sees what the component leaves), frames on the test clock.
#include "ControlTestKit.h"
#include "GfxTestWorld.h"
#include "engine/Gob.h"
#include "engine/GobManager.h"
#include "engine/RegisterCoreComponentTypes.h"
#include "engine/gfx/gui/CCursor.h"
#include "engine/gfx/gui/CheckButton.h"
#include "engine/gfx/gui/EditBox.h"
#include "engine/gfx/gui/ScrollBar.h"
#include "engine/gfx/sprites/CTextSprite.h"
#include "engine/gfx/sprites/Gfx2DComp.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <memory>
#include <string>
#include <vector>

using dorvo::gfx::CButton;
using dorvo::gfx::CCursor;
using dorvo::gfx::CGFXCore;
using dorvo::gfx::CheckButton;
using dorvo::gfx::CSprite;
using dorvo::gfx::CTextSprite;
using dorvo::gfx::EditBox;
using dorvo::gfx::Gfx2DComp;
using dorvo::gfx::ScrollBar;
using namespace controltest;
namespace input = dorvo::input;

namespace
{
constexpr float kFrame = 1.0f / 30.0f;

// Over the control when the game cursor lies within half the size of the reference point (the
// controls are anchored at their centres).
class CursorBoxHit : public dorvo::gfx::PointInsideFunct
{
public:
    CursorBoxHit(const CCursor& cursor, int width, int height)
        : m_cursor(cursor), m_halfW(width / 2), m_halfH(height / 2)
    {
    }
    bool operator()(const plat::POINT& point) override
    {
        const math::Vector3 at = m_cursor.GetScreenPoint();
        return std::abs(static_cast<int>(at.x) - point.x) <= m_halfW &&
               std::abs(static_cast<int>(at.y) - point.y) <= m_halfH;
    }

private:
    const CCursor& m_cursor;
    int m_halfW, m_halfH;
};

class RadioClick : public dorvo::gfx::ButtonPressedFunct
{
public:
    RadioClick(Gfx2DComp& comp, std::string name) : m_comp(comp), m_name(std::move(name)) {}
    void operator()() override { m_comp.UncheckOthersInGroup(m_name, true); }

private:
    Gfx2DComp& m_comp;
    std::string m_name;
};

class SubmitInto : public dorvo::gfx::TextSubmitFunct
{
public:
    SubmitInto(std::vector<std::string>& out, const EditBox*& box) : m_out(out), m_box(box) {}
    void operator()() override { m_out.push_back(m_box->GetText()); }

private:
    std::vector<std::string>& m_out;
    const EditBox*& m_box;
};

class ControlsScreen : public gfxtest::HeadlessGfx
{
protected:
    void SetUp() override
    {
        HeadlessGfx::SetUp();
        // Full screen: the mouse's deltas move the game cursor.
        CGFXCore::Instance().SetFullScreen(true);
        RegisterCoreComponentTypes();
        StateMachineComponent::RegisterType();
        gfx.RegisterComponentCreators();
        GobManager& manager = GobManager::Instance();
        manager.LoadTemplate(testsupport::RepoPath("data/files/xmlfiles/2DObjectTemplate.xml"));
        menu = manager.CreateGob("2DArchetype");
        ASSERT_NE(menu, nullptr);
        comp = dynamic_cast<Gfx2DComp*>(menu->GetComponent(Gfx2DComp::StaticTypeID()));
        ASSERT_NE(comp, nullptr);
        cursor.SetAxisLock(true);
        Build();
    }

    void TearDown() override
    {
        GobManager::Instance().KillGob(menu);
        GobManager::Instance().ProcessKillList();
        units.clear();
        CGFXCore::Instance().SetFullScreen(false);
        HeadlessGfx::TearDown();
    }

    template <class T> T* Keep(std::unique_ptr<T> unit)
    {
        T* raw = unit.get();
        units.push_back(std::move(unit));
        return raw;
    }

    void Build()
    {
        // A button anchored at its centre.
        const int playAt[2] = {100, 100}, playAnchor[2] = {40, 15};
        CButton* play =
            Keep(std::make_unique<CButton>("", Record(80, 30), playAt, playAnchor, nullptr, nullptr, nullptr,
                                           new CountingPress(playClicks), new CursorBoxHit(cursor, 80, 30)));
        play->AddHotKey(input::KEY_SPACE);
        ASSERT_TRUE(comp->AddUnit("Play", play, ""));

        // Two check buttons in one radio group.
        const char* const levels[2] = {"Easy", "Hard"};
        for (int i = 0; i < 2; ++i)
        {
            const int at[2] = {100 + 100 * i, 200}, anchor[2] = {10, 10};
            auto* box = Keep(std::make_unique<CheckButton>("", levels[i], Record(20, 20), at, anchor));
            box->SetButtonPressedFunct(new RadioClick(*comp, levels[i]));
            box->SetPointInsideFunct(new CursorBoxHit(cursor, 20, 20));
            box->SetMayUncheck(false);
            ASSERT_TRUE(comp->AddUnit(box, ""));
            comp->AddToGroup(box, "Level");
        }

        // An edit box with its text filed under it.
        const int textAt[2] = {4, 4};
        auto* text = new CTextSprite("", dorvo::gfx::STextStyle(), textAt, 0);
        auto* box =
            Keep(std::make_unique<EditBox>("", Record(150, 24), text, new SubmitInto(submitted, nameBox),
                                           nullptr, 100, 300, "Name", 8, "Me"));
        nameBox = box;
        box->SetAnchor(75, 12);
        box->SetPointInsideFunct(new CursorBoxHit(cursor, 150, 24));
        ASSERT_TRUE(comp->AddUnit(box, ""));
        ASSERT_TRUE(comp->AddUnit("NameText", text, "Name"));

        // Eight rooms, 20 high and 5 apart, paged in the band 50..150 by a bar from 50 to 250.
        for (int i = 0; i < 8; ++i)
        {
            auto* room = Keep(std::make_unique<CSprite>());
            room->AddAnimation("Row", Record(100, 20), true);
            ASSERT_TRUE(comp->AddUnit("Room" + std::to_string(i), room, ""));
            comp->EditScrollList(room, "Rooms", "");
        }
        const int origin[2] = {0, 0}, thumbAnchor[2] = {8, 10};
        auto* thumb = new CButton("", Record(16, 20), origin, thumbAnchor);
        thumb->SetPointInsideFunct(new CursorBoxHit(cursor, 16, 20));
        const auto point = [](int x, int y)
        {
            plat::POINT p;
            p.x = x;
            p.y = y;
            return p;
        };
        bar = Keep(std::make_unique<ScrollBar>(
            "RoomBar", "", new CButton("", Record(16, 10), origin, nullptr),
            new CButton("", Record(16, 10), origin, nullptr), thumb, Record(16, 50), 0.25f, 0.0f, 3.0f,
            point(450, 50), point(450, 150), point(400, 50), point(400, 250), "Rooms", 5.0f));
        ASSERT_TRUE(comp->AddUnit(bar, ""));
        Frame();
    }

    // One game frame: the object's update, then the game's cursor.
    void Frame()
    {
        plat::testclock::Advance(kFrame);
        GobManager::Instance().Update(kFrame);
        cursor.Update(33);
    }

    // Offered to the component first; the cursor sees what it leaves.
    bool Send(std::uint32_t code, int value)
    {
        const input::InputEvent event = Event(code, value);
        const bool taken = comp->HandleInput(&event, kFrame);
        if (!taken)
            cursor.HandleInput(&event, kFrame);
        return taken;
    }

    void MoveTo(int x, int y)
    {
        const math::Vector3 at = cursor.GetScreenPoint();
        Send(input::MOUSE_X, x - static_cast<int>(at.x));
        Send(input::MOUSE_Y, y - static_cast<int>(at.y));
        Frame();
    }

    void Click(int x, int y)
    {
        MoveTo(x, y);
        Send(input::MOUSE_BUTTON_0, 1);
        Frame();
        Send(input::MOUSE_BUTTON_0, 0);
        Frame();
    }

    void Type(std::uint32_t code)
    {
        Send(code, 1);
        Send(code, 0);
        Frame();
    }

    // A key as the platform gives it: its press, the character the layout types, its release.
    void TypeKey(std::uint32_t code, char typed)
    {
        Send(code, 1);
        Send(input::TEXT_INPUT, typed);
        Send(code, 0);
        Frame();
    }

    Gob* menu = nullptr;
    Gfx2DComp* comp = nullptr;
    CCursor cursor;
    std::vector<std::unique_ptr<dorvo::gfx::IScreenUnit>> units; // the menu's, as a menu keeps them
    Counts playClicks;
    std::vector<std::string> submitted;
    const EditBox* nameBox = nullptr;
    ScrollBar* bar = nullptr;
};
} // namespace

TEST_F(ControlsScreen, ClicksTypingAndScrollingHaveTheirEffects)
{
    // The button: a click on it, a click beside it, its hot key.
    Click(100 + 40, 100 + 15);
    EXPECT_EQ(playClicks.calls, 1);
    Click(300, 110);
    EXPECT_EQ(playClicks.calls, 1);
    Type(input::KEY_SPACE);
    EXPECT_EQ(playClicks.calls, 2);

    // The radio group keeps one level checked.
    auto* easy = dynamic_cast<CheckButton*>(comp->GetButton("Easy"));
    auto* hard = dynamic_cast<CheckButton*>(comp->GetButton("Hard"));
    ASSERT_TRUE(easy && hard);
    Click(110, 210);
    EXPECT_TRUE(easy->IsChecked());
    Click(210, 210);
    EXPECT_TRUE(hard->IsChecked());
    EXPECT_FALSE(easy->IsChecked());
    Click(210, 210);
    EXPECT_TRUE(hard->IsChecked());

    // The name: focus, erase the default, type with Shift, hand in with Enter.
    CTextSprite* shown = comp->GetTextSprite("NameText");
    ASSERT_NE(shown, nullptr);
    EXPECT_EQ(shown->GetText(), "Me");
    Click(175, 312);
    ASSERT_TRUE(nameBox->IsFocused());
    EXPECT_EQ(shown->GetText(), "Me|");
    Type(input::KEY_BACK);
    Type(input::KEY_BACK);
    Send(input::KEY_LSHIFT, 1);
    TypeKey(48, 'B');
    Send(input::KEY_LSHIFT, 0);
    TypeKey(24, 'o');
    TypeKey(48, 'b');
    EXPECT_EQ(shown->GetText(), "Bob|");
    // While the box is being edited the space bar is its, not the button's hot key.
    TypeKey(input::KEY_SPACE, ' ');
    EXPECT_EQ(shown->GetText(), "Bob |");
    EXPECT_EQ(playClicks.calls, 2);
    Type(input::KEY_BACK);
    Type(input::KEY_RETURN);
    EXPECT_EQ(submitted, std::vector<std::string>{"Bob"});
    EXPECT_EQ(shown->GetText(), "Bob");
    // A click elsewhere with nothing being edited hands nothing in.
    Click(600, 500);
    EXPECT_EQ(submitted.size(), 1u);

    // The list: the wheel over it, then the thumb dragged to the middle of its track.
    CSprite* first = comp->GetSprite("Room0");
    CSprite* last = comp->GetSprite("Room7");
    ASSERT_TRUE(first && last);
    EXPECT_EQ(first->GetPositionY(), 50);
    MoveTo(500, 100);
    EXPECT_TRUE(Send(input::MOUSE_WHEEL, -120));
    for (int i = 0; i < 5; ++i)
        Frame();
    EXPECT_EQ(first->GetPositionY(), 25);
    EXPECT_LT(first->GetAlpha(), 1.0f);

    // The thumb now stands a quarter down its track (60 to 230): its centre at 60 + 42 + 10.
    const int thumbY = bar->GetBarButton()->GetAbsoluteY();
    EXPECT_EQ(thumbY, 60 + 42);
    MoveTo(408, thumbY + 10);
    Send(input::MOUSE_BUTTON_0, 1);
    Frame();
    ASSERT_TRUE(bar->IsDragging());
    Send(input::MOUSE_Y, 230 - thumbY);
    Send(input::MOUSE_BUTTON_0, 0);
    Frame();
    EXPECT_FALSE(bar->IsDragging());
    EXPECT_FLOAT_EQ(bar->GetPosition(), 1.0f);
    EXPECT_EQ(last->GetPositionY(), 125);
    EXPECT_FLOAT_EQ(last->GetAlpha(), 1.0f);
    // The cursor went along with the drag.
    EXPECT_EQ(static_cast<int>(cursor.GetScreenPoint().y), 230 + 10);
}
