// The committed Tutorial room played on the real OpenGL device under a virtual X display (Xvfb,
// Mesa's software renderer), with the menus, the mouse and the keys as a player uses them, and
// looked at in the pictures the game's own screenshot command takes: the accelerator's chevrons
// point the way it pushes and turn with "Toggle direction"; the badge beside the cursor is there
// while a type is chosen and gone after "Start", "Back To Puzzle" and leaving the puzzle; and the
// back face's gravity switch rolls the view, and the dry room with it, a quarter round; the left
// face's drawbridge shows its charge and a magnet its field through the building grid. The
// pictures go under screenshots/ in the test build folder ("tutorial_*.png"). Skipped where Xvfb
// is not installed. Each test wants a process of its own, as ctest gives it: a second game on the
// device in one process draws its 2D layer but no scene.
#include "MenuTestWorld.h"
#include "ScriptedPlacement.h"
#include "TutorialSolutions.h"

#include "GLTestDevice.h"
#include "PngPicture.h"
#include "TestSupport.h"
#include "VirtualDisplay.h"
#include "engine/Gob.h"
#include "engine/GobManager.h"
#include "engine/POVComp.h"
#include "engine/phy/DynamicsEngine.h"
#include "game/app/CQUORB.h"
#include "game/menus/BaseMenu.h"
#include "game/room/CPuzzle.h"
#include "game/widgets/CAcceleratorData.h"
#include "game/widgets/WidgetDataComp.h"
#include "platform/headless.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <memory>
#include <string>
#include <vector>

namespace
{
constexpr int kOpen = QUORB::BaseMenu::STATE_Open;
constexpr std::uint32_t kSpace = 57;

struct Picture : testsupport::PngPicture
{
    int Sum(int x, int y) const { return At(x, y, 0) + At(x, y, 1) + At(x, y, 2); }
    // The mean colour of the 5 x 5 pixels around the screen point of a world point.
    void Mean(const math::Vector3& world, double rgb[3]) const
    {
        int cx = 0;
        int cy = 0;
        gametest::GameTestWorld::ScreenPixelOf(world, cx, cy);
        rgb[0] = rgb[1] = rgb[2] = 0.0;
        int count = 0;
        for (int y = cy - 2; y <= cy + 2; ++y)
            for (int x = cx - 2; x <= cx + 2; ++x)
                if (x >= 0 && y >= 0 && x < width && y < height)
                {
                    for (int c = 0; c < 3; ++c)
                        rgb[c] += At(x, y, c);
                    ++count;
                }
        for (int c = 0; c < 3 && count > 0; ++c)
            rgb[c] /= count;
    }
    // How much redder than blue (positive) or bluer than red (negative) the place looks.
    double RedOverBlue(const math::Vector3& world) const
    {
        double rgb[3];
        Mean(world, rgb);
        return rgb[0] - rgb[2];
    }
    // The belt's chevrons, lit: yellow to orange, far from the grey rails and the dark rubber.
    bool Yellow(int x, int y) const
    {
        const int r = At(x, y, 0);
        const int g = At(x, y, 1);
        const int b = At(x, y, 2);
        return r >= 35 && r > 2 * b && g > b + 10;
    }
    // Pixels of the rectangle that differ from the other picture's by more than a trace.
    int Changed(const Picture& other, int x0, int y0, int x1, int y1) const
    {
        int changed = 0;
        for (int y = std::max(0, y0); y < std::min(height, y1); ++y)
            for (int x = std::max(0, x0); x < std::min(width, x1); ++x)
                changed += std::abs(Sum(x, y) - other.Sum(x, y)) > 30 ? 1 : 0;
        return changed;
    }
    // The mean of the three channels over the rectangle.
    double Brightness(int x0, int y0, int x1, int y1) const
    {
        double sum = 0.0;
        int count = 0;
        for (int y = y0; y < y1; ++y)
            for (int x = x0; x < x1; ++x, ++count)
                sum += Sum(x, y) / 3.0;
        return count > 0 ? sum / count : 0.0;
    }
};

class TutorialPixelTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        if (!testsupport::XvfbInstalled())
            GTEST_SKIP() << "Xvfb is not installed (package xvfb): the game is not run on a display here";
        ASSERT_TRUE(m_display.Start("1024x768x24")) << "Xvfb did not start";
        plat::headless::Reset();
        testsupport::UseOpenGLOn(m_display, m_env);
        gametest::MenuTestSetup setup;
        setup.copyRooms = true;
        // The pointer moves by the mouse's motion: the virtual display has no pointer to follow.
        setup.fullScreen = true;
        m_world = std::make_unique<gametest::MenuTestWorld>(setup);
        ASSERT_TRUE(m_world->Booted());
        m_world->Step(2);
        m_world->Console(std::string("loadprofile ") + tutorial::kProfileFile);
        m_world->Console(std::string("loadroom ") + tutorial::kRoomFile + " true");
        m_world->Step(2);
    }

    void TearDown() override
    {
        m_world.reset();
        // Back to the headless backend the other tests of the program expect.
        m_env.Set("DORVO_HEADLESS", "1");
        plat::headless::Reset();
    }

    // Turned to the face with the arrow keys, then in through "Play Puzzle"; the camera settled.
    void EnterFace(unsigned face)
    {
        ASSERT_TRUE(gametest::TurnToFace(*m_world, face));
        ASSERT_TRUE(Wait("PuzzleLookAtMenu", kOpen, 3.0));
        ASSERT_TRUE(m_world->Click("PuzzleLookAtMenu", "StartPuzzleButton"));
        ASSERT_TRUE(Wait("StartPuzzleMenu", kOpen, 3.0));
        ASSERT_TRUE(Wait("WidgetChoiceBarMenu", kOpen, 1.0));
        ASSERT_TRUE(gametest::WaitForGlide(*m_world));
        m_world->RunFor(0.3);
    }

    bool Wait(const char* menu, int state, double seconds)
    {
        return m_world->RunUntil([&]() { return m_world->MenuState(menu) == state; }, seconds);
    }

    // The picture of the frame just drawn.
    Picture Shot(const std::string& name)
    {
        const std::string path = testsupport::ScreenshotPath("tutorial_" + name + ".png");
        m_world->Console("takescrshot " + path);
        m_world->Step();
        return testsupport::LoadPng<Picture>(path);
    }

    // A press, a drag in steps and a release on the focused face, as a player lays a widget.
    void Drag(const math::Vector3& from, const math::Vector3& to)
    {
        m_world->PressAt(from);
        for (int step = 1; step <= gametest::kDragSteps; ++step)
            m_world->PointAt(from + (to - from) * (static_cast<float>(step) / gametest::kDragSteps));
        m_world->ReleaseAt(to);
    }

    testsupport::VirtualDisplay m_display;
    testsupport::ScopedEnv m_env;
    std::unique_ptr<gametest::MenuTestWorld> m_world;
};

// Which way along the screen line from one world point to another the chevrons of the belt
// between them point: +1 towards `to`, -1 towards `from`, 0 when the picture shows no clear
// chevrons there. The belt is the side of the segment the camera sees, half a unit out of the
// face towards the room (`inward`, the face's normal). A chevron's tip (on the belt's middle
// line) lies ahead of its arms (a line above it), so the middle line's yellow is the upper
// line's moved forward.
int ChevronDirection(const Picture& picture, const math::Vector3& from, const math::Vector3& to,
                     const math::Vector3& inward)
{
    constexpr int kSamples = 160;
    constexpr int kMaxShift = 25; // below half the chevrons' period of about 58 samples
    auto row = [&](float lift)
    {
        std::vector<bool> yellow;
        for (int i = 0; i < kSamples; ++i)
        {
            // The ends are covered by the belt's nodes.
            const float t = 0.15f + 0.7f * static_cast<float>(i) / (kSamples - 1);
            const math::Vector3 at = from + (to - from) * t + inward * 0.5f + math::Vector3(0.0f, lift, 0.0f);
            int x = 0;
            int y = 0;
            gametest::GameTestWorld::ScreenPixelOf(at, x, y);
            yellow.push_back(x >= 0 && y >= 0 && x < picture.width && y < picture.height &&
                             picture.Yellow(x, y));
        }
        return yellow;
    };
    const std::vector<bool> middle = row(0.0f);
    const std::vector<bool> upper = row(0.15f);
    if (std::count(middle.begin(), middle.end(), true) < kSamples / 10)
        return 0;
    int best = 0;
    int bestMatches = -1;
    for (int shift = -kMaxShift; shift <= kMaxShift; ++shift)
    {
        int matches = 0;
        for (int i = kMaxShift; i < kSamples - kMaxShift; ++i)
            matches += upper[i] && middle[i + shift] ? 1 : 0;
        if (matches > bestMatches)
        {
            bestMatches = matches;
            best = shift;
        }
    }
    if (std::abs(best) < 3 || bestMatches < 5)
        return 0;
    return best > 0 ? 1 : -1;
}
} // namespace

// Two accelerators on the Tutorial's launch face, laid left to right and right to left (the box
// turned either way up): each belt's chevrons point the way it pushes, and a "Toggle direction"
// on the first turns its chevrons with its push.
TEST_F(TutorialPixelTest, TheAcceleratorsChevronsPointTheWayItPushesAndTurnWithToggleDirection)
{
    EnterFace(1);
    const tutorial::Placement launch = tutorial::Face1().placements[0];
    const math::Vector3 rightToLeftFrom = tutorial::FacePoint(1, 6.0f, -2.0f);
    const math::Vector3 rightToLeftTo = tutorial::FacePoint(1, 2.0f, -2.0f);
    ASSERT_TRUE(m_world->Click("WidgetChoiceBarMenu", "AccButton"));
    Drag(launch.from, launch.to);
    Drag(rightToLeftFrom, rightToLeftTo);
    m_world->Key(kSpace);
    QUORB::CPuzzle* puzzle = m_world->Game().GetFocusedPuzzle();
    ASSERT_NE(puzzle, nullptr);
    // The launching one (nearest the anchors' middle) and the other.
    const math::Vector3 launchMiddle = (launch.from + launch.to) * 0.5f;
    QUORB::CAcceleratorData* launching = nullptr;
    QUORB::CAcceleratorData* other = nullptr;
    int count = 0;
    for (const std::uint32_t id : puzzle->GetWidgetIDs())
    {
        Gob* gob = GobManager::Instance().GetGob(id);
        QUORB::WidgetDataComp* data = gob ? QUORB::WidgetDataComp::Of(gob) : nullptr;
        QUORB::CAcceleratorData* accelerator =
            data && data->GetData() ? data->GetData()->AsAcceleratorData() : nullptr;
        if (!accelerator)
            continue;
        ++count;
        ((GetPOVComp(gob)->GetPosition() - launchMiddle).Length() < 1.0f ? launching : other) = accelerator;
    }
    ASSERT_EQ(count, 2) << "one segment each";
    ASSERT_TRUE(launching && other);
    m_world->MoveCursor(700, 80);
    m_world->RunFor(0.3);

    math::Vector3 inward;
    ASSERT_TRUE(m_world->Game().GetFocusedFaceNormal(inward));
    // Seen from the room the first pushes to the right, towards its `to`; the second to the left,
    // towards its own `to`.
    const Picture before = Shot("accelerators_laid");
    EXPECT_EQ(ChevronDirection(before, launch.from, launch.to, inward), 1) << "laid left to right";
    EXPECT_EQ(ChevronDirection(before, rightToLeftFrom, rightToLeftTo, inward), 1) << "laid right to left";

    // The first selected by a click on its middle, then "Direction" and "Toggle direction".
    m_world->PressAt((launch.from + launch.to) * 0.5f);
    m_world->LeftUp();
    ASSERT_TRUE(Wait("WidgetPropertyBarMenu", kOpen, 1.0));
    m_world->RunFor(0.2);
    ASSERT_TRUE(m_world->Click("WidgetPropertyBarMenu", "DirectionButton"));
    ASSERT_TRUE(Wait("PropValueMenu", kOpen, 1.0));
    m_world->RunFor(0.2);
    ASSERT_TRUE(m_world->Click("PropValueMenu", "DirectionToggleButton"));
    EXPECT_FLOAT_EQ(launching->GetDirectionSign(), -1.0f);
    EXPECT_FLOAT_EQ(other->GetDirectionSign(), 1.0f);
    m_world->MoveCursor(700, 80);
    m_world->RunFor(0.3);
    const Picture after = Shot("accelerators_toggled");
    EXPECT_EQ(ChevronDirection(after, launch.from, launch.to, inward), -1) << "the toggled one points back";
    EXPECT_EQ(ChevronDirection(after, rightToLeftFrom, rightToLeftTo, inward), 1) << "the other as it was";
}

// On the front face: no badge before a type is chosen; the platform's badge beside the cursor
// once it is; none after "Start", after "Back To Puzzle" and after leaving the puzzle. The badge
// is seen as what moves with the cursor: the square beside it changes when the cursor goes away.
TEST_F(TutorialPixelTest, TheBadgeBesideTheCursorIsThereExactlyWhileATypeIsChosen)
{
    EnterFace(0);
    // The cursor over the face's quiet top-left corner, and far from it.
    const int cx = 150;
    const int cy = 140;
    auto badgeShown = [&](const std::string& name)
    {
        m_world->MoveCursor(cx, cy);
        m_world->Step(2);
        const Picture near = Shot("badge_" + name);
        m_world->MoveCursor(650, cy);
        m_world->Step(2);
        const Picture away = Shot("badge_" + name + "_away");
        // The badge: 51 pixels square, 25 right of and 10 below the cursor's point.
        return near.Changed(away, cx + 25, cy + 10, cx + 76, cy + 61) > 600;
    };

    EXPECT_FALSE(badgeShown("none"));
    ASSERT_TRUE(m_world->Click("WidgetChoiceBarMenu", "PlatformButton"));
    EXPECT_TRUE(badgeShown("platform"));

    // The front face's bridge, laid with the type chosen, then "Start".
    const tutorial::Placement bridge = tutorial::Face0().placements[0];
    Drag(bridge.from, bridge.to);
    EXPECT_TRUE(badgeShown("platform_after_laying"));
    ASSERT_TRUE(m_world->Click("StartPuzzleMenu", "StartButton"));
    EXPECT_FALSE(badgeShown("after_start"));

    // The run won, "Back To Puzzle".
    ASSERT_TRUE(Wait("ScoreMenu", kOpen, 15.0));
    ASSERT_TRUE(m_world->Click("ScoreMenu", "PuzzleButton"));
    ASSERT_TRUE(Wait("StartPuzzleMenu", kOpen, 3.0));
    EXPECT_FALSE(badgeShown("after_back_to_puzzle"));

    // Chosen once more, then out of the puzzle by the back button.
    ASSERT_TRUE(m_world->Click("WidgetChoiceBarMenu", "PlatformButton"));
    EXPECT_TRUE(badgeShown("platform_again"));
    ASSERT_TRUE(m_world->Click("BackMenu", "BackButton"));
    EXPECT_FALSE(m_world->Game().IsEditorMode());
    m_world->RunFor(1.5);
    EXPECT_FALSE(badgeShown("after_leaving"));
}

// The back face played as its solution says: the ball rolls over the switch, gravity turns
// towards the wall and the view rolls a quarter round with it, so the wall stands below on the
// screen. The room turns whole and dry: the middle of the picture is the one before "Start"
// turned a quarter round about the picture's centre (a roll of the view about its own axis), not
// the underwater look a water turned beside the eye would give, and not the picture unturned.
TEST_F(TutorialPixelTest, TheBackFacesSwitchRollsTheDryRoomAQuarterRound)
{
    EnterFace(2);
    const tutorial::Placement gravitySwitch = tutorial::Face2().placements[0];
    ASSERT_TRUE(m_world->Click("WidgetChoiceBarMenu", "GravSwitchButton"));
    Drag(gravitySwitch.from, gravitySwitch.to);
    m_world->Key(kSpace);
    m_world->MoveCursor(790, 590);
    m_world->RunFor(0.5);
    const Picture before = Shot("gravity_before_start");
    ASSERT_TRUE(m_world->Click("StartPuzzleMenu", "StartButton"));
    m_world->MoveCursor(790, 590);
    const math::Vector3 towardsWall = tutorial::FacePoint(2, 1.0f, 0.0f) - tutorial::FacePoint(2, 0.0f, 0.0f);
    ASSERT_TRUE(m_world->RunUntil(
        [&]() { return dorvo::phy::DynamicsEngine::Instance().gravity.Dot(towardsWall) > 9.0f; }, 5.0))
        << "the ball never turned gravity";
    m_world->RunFor(1.5); // past the view's one-second turn
    const Picture turned = Shot("gravity_turned");
    ASSERT_EQ(turned.width, before.width);
    ASSERT_EQ(turned.height, before.height);

    // Before, the wall is at the screen's right; after the roll the view's up points away from
    // it, so what stood at (dx, dy) from the centre stands at (-dy, dx).
    const int cx = before.width / 2;
    const int cy = before.height / 2;
    const int radius = std::min(cx, cy) * 2 / 3;
    int samples = 0;
    int rolled = 0;
    int unrolled = 0;
    for (int dy = -radius; dy <= radius; dy += 3)
        for (int dx = -radius; dx <= radius; dx += 3)
        {
            if (dx * dx + dy * dy > radius * radius)
                continue;
            ++samples;
            const int was = before.Sum(cx + dx, cy + dy);
            rolled += std::abs(turned.Sum(cx - dy, cy + dx) - was) <= 45 ? 1 : 0;
            unrolled += std::abs(turned.Sum(cx + dx, cy + dy) - was) <= 45 ? 1 : 0;
        }
    ASSERT_GT(samples, 0);
    EXPECT_GT(rolled, samples * 3 / 4) << "the room turned a quarter round, whole and dry";
    EXPECT_LT(unrolled, rolled - samples / 5) << "the view has turned";
    EXPECT_GT(turned.Brightness(cx - radius, cy - radius, cx + radius, cy + radius),
              0.9 * before.Brightness(cx - radius, cy - radius, cx + radius, cy + radius));
}

// The left face's drawbridge glows blue with its negative charge, and a magnet laid on the face
// shows its positive field, a red disc well wider than the horseshoe; both show through the face's
// building grid.
TEST_F(TutorialPixelTest, TheBridgesChargeAndTheMagnetsFieldShowThroughTheGrid)
{
    constexpr unsigned kMagnetFace = 3;
    ASSERT_TRUE(gametest::TurnToFace(*m_world, kMagnetFace));
    ASSERT_TRUE(Wait("PuzzleLookAtMenu", kOpen, 3.0));
    ASSERT_TRUE(m_world->Click("PuzzleLookAtMenu", "StartPuzzleButton"));
    ASSERT_TRUE(Wait("StartPuzzleMenu", kOpen, 3.0));
    ASSERT_TRUE(gametest::WaitForGlide(*m_world));
    m_world->MoveCursor(700, 60);
    m_world->RunFor(0.3);
    auto at = [](float u, float v) { return tutorial::FacePoint(kMagnetFace, u, v); };
    // The drawbridge runs from (-4.5, 4.5) up to its hinge at (1.5, 7.7). Its glow is a band
    // half a unit wide along each side; the mean over points of a line along the bridge, at a
    // distance from its middle line across it (+ above, - below).
    auto alongBridge = [&](const Picture& picture, float across)
    {
        const float du = 6.0f / 6.8f;
        const float dv = 3.2f / 6.8f;
        double sum = 0.0;
        for (int i = 0; i <= 8; ++i)
        {
            const float t = 1.5f + 0.5f * i; // along the bridge, clear of its ends
            sum += picture.RedOverBlue(at(-4.5f + du * t - dv * across, 4.5f + dv * t + du * across));
        }
        return sum / 9.0;
    };
    const math::Vector3 wall = at(-7.0f, 1.0f);
    // The magnet's place, clear of the bridge: the field disc (3 units round at the default
    // strength) covers points two units out, well past the horseshoe's half unit.
    const math::Vector3 magnet = at(6.0f, 6.0f);
    const math::Vector3 fieldLeft = at(4.0f, 6.0f);
    const math::Vector3 fieldBelow = at(6.0f, 4.0f);
    const Picture before = Shot("magnet_before");

    for (const float side : {0.75f, -0.75f})
        EXPECT_LT(alongBridge(before, side), alongBridge(before, side * 2.5f) - 20.0)
            << "blue beside the bridge, on the " << (side > 0.0f ? "upper" : "lower") << " side";

    ASSERT_TRUE(m_world->Click("WidgetChoiceBarMenu", "MagnetButton"));
    m_world->PressAt(magnet);
    m_world->ReleaseAt(magnet);
    m_world->Key(kSpace);
    m_world->MoveCursor(700, 60);
    m_world->RunFor(0.3);
    const Picture after = Shot("magnet_after");
    for (const math::Vector3& field : {fieldLeft, fieldBelow})
        EXPECT_GT(after.RedOverBlue(field), before.RedOverBlue(field) + 40.0) << "red where the field is";
    EXPECT_NEAR(after.RedOverBlue(wall), before.RedOverBlue(wall), 5.0) << "the wall away from it as it was";
}
