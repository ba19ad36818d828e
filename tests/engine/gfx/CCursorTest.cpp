#include "engine/gfx/CCursor.h"

#include "../PickerTestWorld.h"
#include "common/InputEvent.h"
#include "engine/CPicker.h"
#include "engine/gfx/CGFXCore.h"

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
