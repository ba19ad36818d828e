#include "engine/gfx/gui/CButton.h"

#include "ControlTestKit.h"
#include "engine/gfx/gui/GuiSkinColors.h"
#include "platform/win32.h"

#include <gtest/gtest.h>

#include <memory>

using dorvo::gfx::CButton;
using dorvo::gfx::SpriteAnimation;
using namespace controltest;
namespace input = dorvo::input;

namespace
{
// Counts the releases that did not click, which a plain button ignores.
class OutsideCountingButton : public CButton
{
public:
    using CButton::CButton;
    void OnReleaseOutside() override { ++outside; }
    int outside = 0;
};

class ButtonTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        button.reset();
        pointer = Pointer();
        clicks = Counts();
        presses = Counts();
        const int position[2] = {150, 80};
        const int anchor[2] = {32, 16};
        button = std::make_unique<OutsideCountingButton>("", Record(64, 32), position, anchor, nullptr,
                                                         nullptr, nullptr, new CountingPress(clicks),
                                                         new SteeredHitTest(pointer));
        button->SetPressFunct(new CountingPress(presses));
    }

    // One frame with the pointer in or out.
    void Frame(bool inside)
    {
        pointer.inside = inside;
        button->Update(33);
    }

    // A left down or up; `sequence` tells one press from another, as the input system stamps
    // them (its repeat of a held press keeps the press's stamp).
    bool Left(int value, std::uint32_t sequence = 0)
    {
        input::InputEvent event = Event(input::MOUSE_BUTTON_0, value);
        event.sequence = sequence;
        return button->HandleInput(&event, 0.033f);
    }

    Pointer pointer;
    Counts clicks;
    Counts presses;
    std::unique_ptr<OutsideCountingButton> button;
};
} // namespace

TEST_F(ButtonTest, PressAndReleaseEdges)
{
    // i/o: a frame with the pointer in/out; I/O: the pointer moves in/out between two frames
    // (no update sees it); d/u: left down/up; D: a left down stamped as another press than d's;
    // the last input's result is checked.
    struct Case
    {
        const char* name;
        bool releaseInside;
        const char* steps;
        int clicks, presses, outside;
        bool lastTaken;
    };
    const Case cases[] = {
        {"press inside, release inside", true, "idiu", 1, 1, 0, true},
        {"press inside, release outside", true, "idiou", 0, 1, 1, false},
        {"press inside, release outside, release-inside clear", false, "idiou", 1, 1, 0, true},
        {"press outside, release inside", true, "odiu", 0, 0, 1, false},
        {"press and release between two frames", true, "idu", 1, 1, 0, true},
        {"a double click between two frames", true, "iduDu", 2, 2, 0, true},
        {"the repeat of the held press is taken and presses nothing", true, "idid", 0, 1, 0, true},
        {"another press while held is not taken", true, "idiD", 0, 1, 0, false},
        {"release without a press", true, "iu", 0, 0, 1, false},
        {"moved onto it, pressed and released between two frames", true, "oIdu", 1, 1, 0, true},
        {"moved off it between two frames, then released", true, "idiOu", 0, 1, 1, false},
        {"moved off it between two frames, then pressed", true, "iOd", 0, 0, 0, false},
    };
    for (const Case& c : cases)
    {
        SCOPED_TRACE(c.name);
        SetUp();
        button->SetReleaseInside(c.releaseInside);
        bool last = false;
        for (const char* step = c.steps; *step; ++step)
        {
            if (*step == 'i' || *step == 'o')
                Frame(*step == 'i');
            else if (*step == 'I' || *step == 'O')
                pointer.inside = *step == 'I';
            else
                last = *step == 'D' ? Left(1, 7) : Left(*step == 'd' ? 1 : 0);
        }
        EXPECT_EQ(clicks.calls, c.clicks);
        EXPECT_EQ(presses.calls, c.presses);
        EXPECT_EQ(button->outside, c.outside);
        EXPECT_EQ(last, c.lastTaken);
        // Whatever happened, the next frame leaves the press steady.
        Frame(false);
        EXPECT_TRUE(button->GetPressState() == CButton::PRESS_Up ||
                    button->GetPressState() == CButton::PRESS_Held);
    }
}

TEST_F(ButtonTest, HoverEdgesLastOneFrameAndTheHitTestGetsPositionPlusAnchor)
{
    Frame(true);
    EXPECT_EQ(button->GetHoverState(), CButton::HOVER_Over);
    EXPECT_EQ(pointer.asked.x, 182);
    EXPECT_EQ(pointer.asked.y, 96);
    Frame(false);
    EXPECT_EQ(button->GetHoverState(), CButton::HOVER_Away);
    // The anchor is not the pivot: the record's pivot (0, 0) stays, the drawn corner is the position.
    EXPECT_EQ(button->GetCenterX(), 0);
    EXPECT_EQ(button->GetCenterY(), 0);
}

TEST_F(ButtonTest, HotKeysClickAndUnusableButtonsTakeNothing)
{
    button->AddHotKey(input::KEY_RETURN);
    const input::InputEvent enter = Event(input::KEY_RETURN, 1);
    const input::InputEvent other = Event(input::KEY_SPACE, 1);
    const input::InputEvent enterUp = Event(input::KEY_RETURN, 0);
    EXPECT_TRUE(button->HandleInput(&enter, 0.0f));
    EXPECT_FALSE(button->HandleInput(&other, 0.0f));
    EXPECT_FALSE(button->HandleInput(&enterUp, 0.0f));
    EXPECT_EQ(clicks.calls, 1);

    struct Case
    {
        const char* name;
        bool visible, enabled;
        float alpha;
    };
    const Case cases[] = {
        {"invisible", false, true, 1.0f},
        {"disabled", true, false, 1.0f},
        {"nearly transparent", true, true, 0.009f},
    };
    for (const Case& c : cases)
    {
        SCOPED_TRACE(c.name);
        SetUp();
        button->AddHotKey(input::KEY_RETURN);
        Frame(true);
        button->SetVisible(c.visible, false);
        button->SetEnabled(c.enabled);
        button->SetAlpha(c.alpha, false);
        EXPECT_FALSE(Left(1));
        EXPECT_FALSE(button->HandleInput(&enter, 0.0f));
        EXPECT_FALSE(Left(0));
        EXPECT_EQ(clicks.calls + presses.calls + button->outside, 0);
    }
    // Alpha 0.01 is enough.
    SetUp();
    Frame(true);
    button->SetAlpha(0.01f, false);
    EXPECT_TRUE(Left(1));
}

TEST_F(ButtonTest, TheAnimationShownPerState)
{
    // Records told apart by their width.
    const SpriteAnimation pressed = Record(11, 32), over = Record(12, 32), disabled = Record(13, 32);
    const int position[2] = {0, 0};
    CButton full("", Record(10, 32), position, nullptr, &pressed, &over, &disabled, nullptr,
                 new SteeredHitTest(pointer));
    struct Case
    {
        const char* name;
        bool inside, held, enabled;
        int width;
        const char* shown;
    };
    const Case cases[] = {
        {"away", false, false, true, 10, "UnpressedAnimation"},
        {"over", true, false, true, 12, "CursorOverAnimation"},
        {"held over", true, true, true, 11, "PressedAnimation"},
        {"held, pointer gone", false, true, true, 10, "UnpressedAnimation"},
        {"disabled", true, false, false, 13, "DisabledAnimation"},
    };
    for (const Case& c : cases)
    {
        SCOPED_TRACE(c.name);
        full.SetEnabled(true);
        pointer.inside = true;
        full.Update(33);
        const input::InputEvent up = Event(input::MOUSE_BUTTON_0, 0), down = Event(input::MOUSE_BUTTON_0, 1);
        full.HandleInput(&up, 0.0f);
        full.Update(33);
        if (c.held)
            full.HandleInput(&down, 0.0f);
        pointer.inside = c.inside;
        full.Update(33);
        full.SetEnabled(c.enabled);
        full.UpdateAnimation();
        ASSERT_NE(full.GetCurrentAnimation(), nullptr);
        EXPECT_EQ(full.GetCurrentAnimation()->frameWidth, c.width);
        EXPECT_EQ(full.GetCurrentAnimation()->name, c.shown);
    }
}

TEST_F(ButtonTest, ColoursComeFromTheSkinByStateUnlessTheRecordHasItsOwn)
{
    const plat::D3DXCOLOR skin[5] = {
        {1.0f, 0.0f, 0.0f, 1.0f}, // pressed
        {0.0f, 1.0f, 0.0f, 1.0f}, // unpressed
        {0.0f, 0.0f, 1.0f, 1.0f}, // over
        {0.5f, 0.5f, 0.5f, 1.0f}, // disabled
        {1.0f, 1.0f, 0.0f, 1.0f}, // sprite
    };
    button->SetColor(0.2f, 0.3f, 0.4f);
    button->SetAlpha(0.5f, false);
    struct Case
    {
        const char* name;
        bool inside, held, enabled;
        plat::D3DXCOLOR want;
    };
    const Case cases[] = {
        {"away", false, false, true, skin[1]},
        {"over", true, false, true, skin[2]},
        {"held", true, true, true, skin[0]},
        {"disabled", false, false, false, skin[3]},
    };
    dorvo::gfx::g_GuiSkinColors = skin;
    for (const Case& c : cases)
    {
        SCOPED_TRACE(c.name);
        button->SetEnabled(true);
        Frame(true);
        Left(0);
        Frame(true);
        if (c.held)
            Left(1);
        Frame(c.inside);
        button->SetEnabled(c.enabled);
        button->UpdateAnimation();
        plat::D3DXCOLOR got;
        button->GetColor(got);
        EXPECT_FLOAT_EQ(got.r, c.want.r);
        EXPECT_FLOAT_EQ(got.g, c.want.g);
        EXPECT_FLOAT_EQ(got.b, c.want.b);
        EXPECT_FLOAT_EQ(got.a, 0.5f) << "the alpha is the sprite's";
    }

    // A record's own colour wins over the skin; another name falls back to the sprite colour.
    button->GetCurrentAnimation()->hasColor = true;
    button->GetCurrentAnimation()->red = 0.25f;
    button->GetCurrentAnimation()->alpha = 0.9f;
    plat::D3DXCOLOR own;
    button->GetColor(own);
    EXPECT_FLOAT_EQ(own.r, 0.25f);
    EXPECT_FLOAT_EQ(own.a, 0.5f);
    button->GetCurrentAnimation()->hasColor = false;
    button->SetAnimation("Checked");
    plat::D3DXCOLOR other;
    button->GetColor(other);
    EXPECT_FLOAT_EQ(other.r, skin[4].r);
    EXPECT_FLOAT_EQ(other.b, skin[4].b);

    // Without a skin: the sprite's own colour.
    dorvo::gfx::g_GuiSkinColors = nullptr;
    plat::D3DXCOLOR plain;
    button->GetColor(plain);
    EXPECT_FLOAT_EQ(plain.r, 0.2f);
    EXPECT_FLOAT_EQ(plain.b, 0.4f);
}

TEST_F(ButtonTest, HeldOverFiresOnceADelayAfterArrivingAndNotOverOnceAfterLeaving)
{
    Counts held, away;
    button->SetHeldOverFunct(new CountingHeldOver(held, 0.5f));
    button->SetNotOverFunct(new CountingHeldOver(away, 0.0f));
    const auto frames = [&](bool inside, int count)
    {
        for (int i = 0; i < count; ++i)
        {
            plat::testclock::Advance(0.1);
            Frame(inside);
        }
    };
    frames(false, 3);
    EXPECT_EQ(away.calls, 1) << "once while the pointer stays away";
    frames(true, 1); // arrives
    frames(true, 4); // 0.4 s over
    EXPECT_EQ(held.calls, 0);
    frames(true, 2); // 0.6 s over
    EXPECT_EQ(held.calls, 1);
    frames(true, 20);
    EXPECT_EQ(held.calls, 1) << "once a visit";
    EXPECT_EQ(away.calls, 1);
    frames(false, 3);
    EXPECT_EQ(away.calls, 2);
    frames(true, 7);
    EXPECT_EQ(held.calls, 2) << "again after leaving and coming back";
}

TEST_F(ButtonTest, ReplacingACallbackDeletesTheOldOneOnce)
{
    Counts first, second;
    auto* kept = new CountingPress(first);
    button->SetButtonPressedFunct(kept);
    EXPECT_EQ(clicks.deletions, 1);
    button->SetButtonPressedFunct(kept); // the same one again: kept, not deleted
    EXPECT_EQ(first.deletions, 0);
    button->SetButtonPressedFunct(new CountingPress(second));
    EXPECT_EQ(first.deletions, 1);
    button.reset();
    EXPECT_EQ(second.deletions, 1);
    EXPECT_EQ(presses.deletions, 1);
    EXPECT_EQ(first.deletions, 1);
}
