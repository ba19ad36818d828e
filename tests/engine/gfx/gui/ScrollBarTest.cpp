#include "engine/gfx/gui/ScrollBar.h"

#include "ControlTestKit.h"
#include "engine/gfx/sprites/Gfx2DComp.h"

#include <gtest/gtest.h>

#include <memory>
#include <vector>

using dorvo::gfx::CButton;
using dorvo::gfx::CSprite;
using dorvo::gfx::Gfx2DComp;
using dorvo::gfx::ScrollBar;
using namespace controltest;
namespace input = dorvo::input;

namespace
{
plat::POINT Point(int x, int y)
{
    plat::POINT p;
    p.x = x;
    p.y = y;
    return p;
}

CButton* Part(int height)
{
    const int origin[2] = {0, 0};
    return new CButton("", Record(16, height), origin, nullptr);
}

// A bar from (200, 50) to (200, 250) with arrows 10 high and a thumb 20 high, paging the list
// "Rooms" in the band y 50..150; items 20 high, 5 apart.
class ScrollBarTest : public ::testing::Test
{
protected:
    void Make(int items, float position, int downY = 250)
    {
        bar.reset();
        units.clear();
        comp = std::make_unique<Gfx2DComp>();
        for (int i = 0; i < items; ++i)
        {
            units.push_back(std::make_unique<CSprite>());
            units.back()->AddAnimation("Row", Record(100, 20), true);
            units.back()->SetName("Room" + std::to_string(i));
            comp->EditScrollList(units.back().get(), "Rooms", "");
        }
        bar = std::make_unique<ScrollBar>("RoomBar", "", Part(10), Part(10), Part(20), Record(16, 50), 0.25f,
                                          position, 2.0f, Point(10, 50), Point(10, 150), Point(200, 50),
                                          Point(200, downY), "Rooms", 5.0f);
        ASSERT_TRUE(comp->AddUnit("RoomBar", bar.get(), ""));
    }

    bool Send(std::uint32_t code, int value)
    {
        const input::InputEvent event = Event(code, value);
        return bar->HandleInput(&event, 0.033f);
    }

    int Y(int item) const { return units[item]->GetPositionY(); }
    float Alpha(int item) const { return units[item]->GetAlpha(); }

    std::unique_ptr<Gfx2DComp> comp;
    std::vector<std::unique_ptr<CSprite>> units;
    std::unique_ptr<ScrollBar> bar; // after the component, so it goes first
};
} // namespace

TEST_F(ScrollBarTest, PartsStandWhereTheyAreToldAndTheTrackSpansTheBar)
{
    Make(3, 0.0f);
    EXPECT_EQ(bar->GetAbsoluteX(), 200);
    EXPECT_EQ(bar->GetAbsoluteY(), 50);
    EXPECT_FLOAT_EQ(bar->GetHeight(), 200.0f);
    EXPECT_EQ(bar->GetUpButton()->GetAbsoluteY(), 50);
    EXPECT_EQ(bar->GetDownButton()->GetAbsoluteY(), 250 - 15 - 10);
    EXPECT_EQ(bar->GetBarButton()->GetAbsoluteY(), 60);
    EXPECT_EQ(bar->FindChild("ScrollBarButton"), bar->GetBarButton());
}

TEST_F(ScrollBarTest, AShortListNeverMoves)
{
    for (float position : {0.0f, 0.5f, 1.0f})
    {
        SCOPED_TRACE(position);
        Make(4, position); // 4 x 25 = 100: fits the band exactly
        bar->Update(33);
        for (int i = 0; i < 4; ++i)
        {
            EXPECT_EQ(Y(i), 50 + 25 * i);
            EXPECT_EQ(units[i]->GetPositionX(), 10);
            EXPECT_FLOAT_EQ(Alpha(i), 1.0f);
        }
    }
}

TEST_F(ScrollBarTest, ALongListRunsFromFirstAtTheTopToLastAtTheBottomAndFadesAtTheEdges)
{
    // 8 x 25 = 200 in a band of 100.
    Make(8, 0.0f);
    bar->Update(33);
    EXPECT_EQ(Y(0), 50);
    EXPECT_FLOAT_EQ(Alpha(0), 1.0f);
    EXPECT_FLOAT_EQ(Alpha(4), 1.0f); // top at 150, the band's bottom
    EXPECT_FLOAT_EQ(Alpha(5), 0.0f); // 25 below: more than its height

    Make(8, 1.0f);
    bar->Update(33);
    EXPECT_EQ(Y(7), 125); // its bottom, less the spacing, on the band's bottom
    EXPECT_EQ(Y(7) + 20 + 5, 150);
    EXPECT_FLOAT_EQ(Alpha(7), 1.0f);
    EXPECT_EQ(bar->GetBarButton()->GetAbsoluteY(), 230);

    // 10 pixels up: the first item half faded, the sixth 15 below the bottom.
    Make(8, 0.1f);
    bar->Update(33);
    EXPECT_EQ(Y(0), 40);
    EXPECT_FLOAT_EQ(Alpha(0), 0.5f);
    EXPECT_EQ(Y(5), 165);
    EXPECT_FLOAT_EQ(Alpha(5), 0.25f);
    EXPECT_FLOAT_EQ(Alpha(6), 0.0f);
}

TEST_F(ScrollBarTest, WheelAndArrowsMoveTheTargetAndThePositionEasesToIt)
{
    Make(8, 0.0f);
    EXPECT_TRUE(Send(input::MOUSE_WHEEL, -120));
    EXPECT_FLOAT_EQ(bar->GetTarget(), 0.25f);
    bar->Update(100); // 2 positions a second
    EXPECT_FLOAT_EQ(bar->GetPosition(), 0.2f);
    bar->Update(100);
    EXPECT_FLOAT_EQ(bar->GetPosition(), 0.25f);
    EXPECT_EQ(Y(0), 50 - 25);

    EXPECT_TRUE(Send(input::MOUSE_WHEEL, 120));
    EXPECT_TRUE(Send(input::MOUSE_WHEEL, 120));
    EXPECT_FLOAT_EQ(bar->GetTarget(), 0.0f) << "kept in 0..1";
    bar->GetDownButton()->OnClick();
    bar->GetDownButton()->OnClick();
    EXPECT_FLOAT_EQ(bar->GetTarget(), 0.5f);
    bar->GetUpButton()->OnClick();
    EXPECT_FLOAT_EQ(bar->GetTarget(), 0.25f);

    bar->SetVisible(false, false);
    EXPECT_FALSE(Send(input::MOUSE_WHEEL, -120));
    EXPECT_FLOAT_EQ(bar->GetTarget(), 0.25f) << "a hidden bar does not scroll";
}

TEST_F(ScrollBarTest, DraggingTheThumbSetsThePosition)
{
    Make(8, 0.0f);
    bar->Update(33);
    EXPECT_FALSE(Send(input::MOUSE_Y, 30));
    EXPECT_FLOAT_EQ(bar->GetPosition(), 0.0f) << "no drag before the thumb is pressed";

    bar->GetBarButton()->OnPress();
    ASSERT_TRUE(bar->IsDragging());
    EXPECT_FALSE(Send(input::MOUSE_Y, 34)); // the cursor moves on with it
    // The track runs from 60 to 230.
    EXPECT_EQ(bar->GetBarButton()->GetAbsoluteY(), 94);
    EXPECT_FLOAT_EQ(bar->GetPosition(), 34.0f / 170.0f);
    EXPECT_FLOAT_EQ(bar->GetTarget(), bar->GetPosition());
    EXPECT_EQ(Y(0), 50 - static_cast<int>(100.0f * (34.0f / 170.0f)));
    Send(input::MOUSE_Y, 1000);
    EXPECT_EQ(bar->GetBarButton()->GetAbsoluteY(), 230);
    EXPECT_FLOAT_EQ(bar->GetPosition(), 1.0f);
    Send(input::MOUSE_BUTTON_0, 0);
    EXPECT_FALSE(bar->IsDragging());
    Send(input::MOUSE_Y, -100);
    EXPECT_FLOAT_EQ(bar->GetPosition(), 1.0f);
}

TEST_F(ScrollBarTest, AReleaseTheThumbTakesStillEndsTheDrag)
{
    Make(8, 0.0f);
    Pointer pointer;
    pointer.inside = true;
    bar->GetBarButton()->SetPointInsideFunct(new SteeredHitTest(pointer));
    bar->Update(33);
    EXPECT_TRUE(Send(input::MOUSE_BUTTON_0, 1));
    bar->Update(33);
    ASSERT_TRUE(bar->IsDragging());
    EXPECT_TRUE(Send(input::MOUSE_BUTTON_0, 0)) << "the thumb takes its release";
    EXPECT_FALSE(bar->IsDragging());
    Send(input::MOUSE_Y, 50);
    EXPECT_FLOAT_EQ(bar->GetPosition(), 0.0f);
}

TEST_F(ScrollBarTest, ATrackOfNoLengthLeavesThePositionAlone)
{
    // Up arrow 10 high at 50, thumb 20 high, down point at 80: both ends of the track at 60.
    Make(8, 0.5f, 80);
    ASSERT_EQ(bar->GetTrackTop().y, bar->GetTrackBottom().y);
    bar->Update(33);
    bar->GetBarButton()->OnPress();
    Send(input::MOUSE_Y, 12);
    EXPECT_FLOAT_EQ(bar->GetPosition(), 0.5f);
    EXPECT_FLOAT_EQ(bar->GetTarget(), 0.5f);
    EXPECT_EQ(bar->GetBarButton()->GetAbsoluteY(), 60);
}

TEST_F(ScrollBarTest, NoListOrAnEmptyOneDoesNothing)
{
    Make(0, 0.5f);
    bar->SetTarget(1.0f);
    bar->Update(1000);
    EXPECT_FLOAT_EQ(bar->GetPosition(), 0.5f);
    ScrollBar loose("Loose", "", Part(10), Part(10), Part(20), Record(16, 50), 0.25f, 0.0f, 2.0f, Point(0, 0),
                    Point(0, 100), Point(0, 0), Point(0, 100), "Nothing", 0.0f);
    loose.SetTarget(1.0f);
    loose.Update(1000);
    EXPECT_FLOAT_EQ(loose.GetPosition(), 0.0f);
}
