#include "engine/gfx/gui/CCursor.h"

#include "../PickerTestWorld.h"
#include "GfxTestWorld.h"
#include "common/InputEvent.h"
#include "engine/CPicker.h"
#include "engine/gfx/core/CGFXCore.h"

#include <gtest/gtest.h>

using dorvo::CPicker;
using dorvo::gfx::CCursor;
using dorvo::gfx::CGFXCore;
using dorvo::input::InputEvent;
using math::Vector3;

TEST(CCursor, ScreenPointIsPositionPlusParentOffset)
{
    CCursor cursor;
    EXPECT_EQ(cursor.GetScreenPoint(), Vector3(0, 0, 0));
    cursor.SetPosition(400, 300);
    cursor.SetOffset(-25, 10);
    EXPECT_EQ(cursor.GetPositionX(), 400);
    EXPECT_EQ(cursor.GetPositionY(), 300);
    EXPECT_EQ(cursor.GetOffsetX(), -25);
    EXPECT_EQ(cursor.GetOffsetY(), 10);
    EXPECT_EQ(cursor.GetCursorPoint(), Vector3(400, 300, 0));
    EXPECT_EQ(cursor.GetScreenPoint(), Vector3(375, 310, 0));
}

// A left click picks under the game's cursor, through the real device core.
class CursorPicking : public pickertest::PickerWorld
{
protected:
    void SetUp() override
    {
        PickerWorld::SetUp();
        app->Game()->cursor = &cursor;
        CGFXCore& core = CGFXCore::Instance();
        dorvo::gfx::SViewportRecord& record = core.GetViewportRecord(0);
        camera.ComputeViewMatrix(record.view);
        camera.ComputeProjectionMatrix(record.projection);
        record.viewport.Width = 800;
        record.viewport.Height = 600;
        record.viewport.MinZ = 0.0f;
        record.viewport.MaxZ = 1.0f;
        core.SetViewport(0);
        picker.SetEnabled(true);
    }

    static InputEvent Event(std::uint32_t code, std::int32_t value)
    {
        InputEvent event;
        event.code = code;
        event.value = value;
        return event;
    }

    CCursor cursor;
    CPicker picker;
};

TEST_F(CursorPicking, LeftPressPicksUnderTheCursorWithoutTakingTheEvent)
{
    const Gob* ball = AddSphere(Vector3(3, -2, 0), 0.5f);
    const Vector3 pixel = ScreenPointOf(Vector3(3, -2, 0));
    // The cursor sits inside a parent placed 100 pixels right and 20 down.
    cursor.SetOffset(100, 20);
    cursor.SetPosition(static_cast<int>(pixel.x) - 100, static_cast<int>(pixel.y) - 20);

    EXPECT_FALSE(picker.OnInputEvent(Event(dorvo::input::MOUSE_BUTTON_0, 1)));
    EXPECT_EQ(picker.GetPickedID(), ball->GetID());
    EXPECT_LT(picker.GetPickPoint().z, 0.0f);
}

TEST_F(CursorPicking, OtherEventsAndDisabledPickerDoNotPick)
{
    AddSphere(Vector3(0, 0, 0), 1.0f);
    cursor.SetPosition(400, 300);
    struct Case
    {
        const char* name;
        InputEvent event;
        bool enabled;
    };
    const Case cases[] = {
        {"right press", Event(dorvo::input::MOUSE_BUTTON_1, 1), true},
        {"left release", Event(dorvo::input::MOUSE_BUTTON_0, 0), true},
        {"mouse move", Event(dorvo::input::MOUSE_X, 1), true},
        {"left press while disabled", Event(dorvo::input::MOUSE_BUTTON_0, 1), false},
    };
    for (const Case& c : cases)
    {
        SCOPED_TRACE(c.name);
        picker.SetEnabled(c.enabled);
        EXPECT_FALSE(picker.OnInputEvent(c.event));
        EXPECT_EQ(picker.GetPickedID(), 0u);
        EXPECT_TRUE(picker.GetCandidateNodes().empty());
    }
}

namespace
{
// The cursor's device-core settings for one test, put back afterwards.
class FullScreenCore
{
public:
    FullScreenCore(unsigned width, unsigned height)
        : m_width(CGFXCore::Instance().GetScreenWidth()), m_height(CGFXCore::Instance().GetScreenHeight())
    {
        CGFXCore::Instance().SetFullScreen(true);
        CGFXCore::Instance().SetBackBufferSize(width, height);
    }
    ~FullScreenCore()
    {
        CGFXCore::Instance().SetFullScreen(false);
        CGFXCore::Instance().SetBackBufferSize(m_width, m_height);
    }

private:
    unsigned m_width, m_height;
};

InputEvent Input(std::uint32_t code, std::int32_t value)
{
    InputEvent event;
    event.code = code;
    event.value = value;
    return event;
}
} // namespace

TEST(CCursor, MadeWithItsPointerStripOnTop)
{
    CCursor cursor("", 5, 7, 64, 64, 1);
    ASSERT_NE(cursor.GetCurrentAnimation(), nullptr);
    EXPECT_EQ(cursor.GetCurrentAnimation()->name, "Pointer_Animation");
    EXPECT_EQ(cursor.GetCenterX(), 0);
    EXPECT_EQ(cursor.GetCenterY(), 0);
    EXPECT_EQ(cursor.GetDepth(), 12);
    EXPECT_FLOAT_EQ(cursor.GetWidth(), 64.0f);
}

TEST(CCursor, InFullScreenDeltasMoveItOnTheBackBufferWithAxisLock)
{
    FullScreenCore core(800, 600);
    CCursor cursor;
    cursor.SetPosition(400, 300);
    cursor.SetAxisLock(true);
    struct Case
    {
        const char* name;
        std::vector<InputEvent> events;
        int x, y;
    };
    const Case cases[] = {
        {"free", {Input(dorvo::input::MOUSE_X, 15), Input(dorvo::input::MOUSE_Y, -20)}, 415, 280},
        {"Shift: only across",
         {Input(dorvo::input::KEY_LSHIFT, 1), Input(dorvo::input::MOUSE_X, 15),
          Input(dorvo::input::MOUSE_Y, 20), Input(dorvo::input::KEY_LSHIFT, 0)},
         415,
         300},
        {"Alt: only up and down",
         {Input(184, 1), Input(dorvo::input::MOUSE_X, 15), Input(dorvo::input::MOUSE_Y, 20), Input(184, 0)},
         400,
         320},
        {"right Shift, then released",
         {Input(dorvo::input::KEY_RSHIFT, 1), Input(dorvo::input::MOUSE_Y, 20),
          Input(dorvo::input::KEY_RSHIFT, 0), Input(dorvo::input::MOUSE_Y, 20)},
         400,
         320},
        {"kept on the back buffer",
         {Input(dorvo::input::MOUSE_X, 5000), Input(dorvo::input::MOUSE_Y, -5000)},
         799,
         0},
    };
    for (const Case& c : cases)
    {
        SCOPED_TRACE(c.name);
        cursor.SetPosition(400, 300);
        for (const InputEvent& event : c.events)
            EXPECT_FALSE(cursor.HandleInput(&event, 0.033f));
        cursor.Update(33);
        EXPECT_EQ(cursor.GetPositionX(), c.x);
        EXPECT_EQ(cursor.GetPositionY(), c.y);
        EXPECT_EQ(cursor.GetCursorPoint(), Vector3(static_cast<float>(c.x), static_cast<float>(c.y), 0));
    }

    // Without axis lock Shift changes nothing; inactive, nothing moves it.
    cursor.SetAxisLock(false);
    cursor.SetPosition(400, 300);
    const InputEvent shift = Input(dorvo::input::KEY_LSHIFT, 1), down = Input(dorvo::input::MOUSE_Y, 20);
    cursor.HandleInput(&shift, 0.0f);
    cursor.HandleInput(&down, 0.0f);
    EXPECT_EQ(cursor.GetPositionY(), 320);
    cursor.SetActive(false);
    EXPECT_FALSE(cursor.IsVisible());
    cursor.HandleInput(&down, 0.0f);
    EXPECT_EQ(cursor.GetPositionY(), 320);
}

class WindowedCursor : public gfxtest::HeadlessGfx
{
};

TEST_F(WindowedCursor, FollowsTheSystemCursorInBackBufferPixels)
{
    CCursor cursor;
    plat::headless::SetCursorScreenPosition(130, 70);
    const InputEvent move = Input(dorvo::input::MOUSE_X, 300);
    cursor.HandleInput(&move, 0.0f);
    cursor.Update(33);
    EXPECT_EQ(cursor.GetPositionX(), 130);
    EXPECT_EQ(cursor.GetPositionY(), 70);

    // A window whose client area starts at (100, 50) and shows the 800 x 600 back buffer at half size.
    plat::headless::SetClientArea(100, 50, 400, 300);
    cursor.Update(33);
    EXPECT_EQ(cursor.GetPositionX(), 60);
    EXPECT_EQ(cursor.GetPositionY(), 40);

    // A full-screen window of 1280 x 720 shows it 960 x 720 between bars 160 pixels wide: the
    // middle of the screen is the middle of the back buffer, a bar lies beside it.
    plat::headless::SetClientArea(0, 0, 1280, 720);
    plat::headless::SetCursorScreenPosition(640, 360);
    cursor.Update(33);
    EXPECT_EQ(cursor.GetPositionX(), 400);
    EXPECT_EQ(cursor.GetPositionY(), 300);
    plat::headless::SetCursorScreenPosition(1200, 0);
    cursor.Update(33);
    EXPECT_EQ(cursor.GetPositionX(), 866);
    EXPECT_EQ(cursor.GetPositionY(), 0);
}
