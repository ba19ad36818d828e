// The Tutorial's left face, which teaches the magnet, played headless under the real physics
// with the committed content: the charged drawbridge lies across the ramp and stops the ball, so
// neither leaving the face as it is nor a platform between any two of its anchors completes it,
// and a magnet under the bridge pulls it down harder; a magnet above the bridge lifts it, as the
// face's solution does (TutorialSolutions.h, replayed with the other faces by TutorialRoomTest).
#include "GameTestWorld.h"
#include "ScriptedPlacement.h"
#include "ShippedSetup.h"
#include "TutorialSolutions.h"

#include "TestSupport.h"
#include "engine/Gob.h"
#include "engine/GobManager.h"
#include "engine/POVComp.h"
#include "game/app/CQUORB.h"
#include "game/app/PlaceholderScoreMenu.h"
#include "game/room/CPuzzle.h"
#include "game/widgets/IWidgetData.h"
#include "game/widgets/WidgetDataComp.h"

#include <gtest/gtest.h>

#include <memory>
#include <string>

using gametest::GameTestSetup;
using gametest::GameTestWorld;

namespace
{
constexpr unsigned kFace = 3;
// Longer than the solved face takes to score (under four seconds).
constexpr double kWatchSeconds = 12.0;

// The face's anchors: the ramp's ends and the drawbridge's hinge.
const float kRampTop[2] = {-10.0f, 6.0f};
const float kRampFoot[2] = {4.0f, -0.5f};
const float kHinge[2] = {1.5f, 7.7f};

math::Vector3 At(const float point[2])
{
    return tutorial::FacePoint(kFace, point[0], point[1]);
}

// The game as shipped with the Tutorial loaded and turned to the magnet's face.
struct MagnetFace
{
    MagnetFace()
    {
        world = std::make_unique<GameTestWorld>(gametest::ShippedSetup());
        if (!world->Booted())
            return;
        world->Frames(3);
        world->Console(std::string("loadprofile ") + tutorial::kProfileFile);
        world->Console(std::string("loadroom ") + tutorial::kRoomFile + " true");
        world->Frames(3);
        ready = gametest::TurnToFace(*world, kFace);
    }

    // Plays the placements; true when the score menu opened on a completed run in time.
    bool Completes(const std::vector<tutorial::Placement>& placements)
    {
        tutorial::Solution attempt;
        attempt.face = kFace;
        attempt.placements = placements;
        gametest::PlaySolution(*world, attempt);
        auto* score = dynamic_cast<QUORB::PlaceholderScoreMenu*>(world->Menu("ScoreMenu"));
        for (int frame = 0; frame < static_cast<int>(kWatchSeconds * 30.0); ++frame)
        {
            world->Frame();
            if (score != nullptr && score->GetState() == QUORB::PlaceholderMenu::STATE_Open)
                return !world->Game().GetFocusedPuzzle()->IsFailed();
        }
        return false;
    }

    // The drawbridge: the puzzle's charged widget.
    Gob* Bridge() const
    {
        for (std::uint32_t id : world->Game().GetFocusedPuzzle()->GetWidgetIDs())
        {
            Gob* gob = GobManager::Instance().GetGob(id);
            const QUORB::WidgetDataComp* comp = QUORB::WidgetDataComp::Of(gob);
            if (comp != nullptr && comp->GetData() != nullptr &&
                comp->GetData()->GetMagnetism() != QUORB::IWidgetData::kMagnetismNone &&
                comp->GetData()->AsMagnetData() == nullptr)
                return gob;
        }
        return nullptr;
    }

    std::unique_ptr<GameTestWorld> world;
    bool ready = false;
};
} // namespace

TEST(TutorialMagnetFace, TheBridgeIsChargedUnlikeAMagnetAndTheSolutionCompletes)
{
    MagnetFace face;
    ASSERT_TRUE(face.ready);
    Gob* bridge = face.Bridge();
    ASSERT_NE(bridge, nullptr);
    EXPECT_EQ(QUORB::WidgetDataComp::Of(bridge)->GetData()->GetMagnetism(),
              QUORB::IWidgetData::kMagnetismNegative)
        << "unlike the magnet's positive charge";
    const float restingHeight = GetPOVComp(bridge)->GetPosition().y;
    EXPECT_TRUE(face.Completes(tutorial::Face3().placements));
    EXPECT_GT(GetPOVComp(bridge)->GetPosition().y, restingHeight + 0.5f) << "the bridge was lifted";
}

// Each attempt played in a world of its own, as a player tries the face afresh.
TEST(TutorialMagnetFace, NoWrongAttemptCompletesTheFace)
{
    auto platform = [](const float a[2], const float b[2]) {
        return tutorial::Placement{"Platform", At(a), At(b)};
    };
    const float underBridge[2] = {-2.0f, 1.0f};
    const struct
    {
        const char* what;
        std::vector<tutorial::Placement> placements;
    } attempts[] = {
        {"nothing", {}},
        {"a platform along the ramp", {platform(kRampTop, kRampFoot)}},
        {"a platform from the ramp's top to the hinge", {platform(kRampTop, kHinge)}},
        {"a platform from the hinge to the ramp's foot", {platform(kHinge, kRampFoot)}},
        {"a magnet under the bridge", {{"Magnet", At(underBridge), At(underBridge)}}},
    };
    for (const auto& attempt : attempts)
    {
        SCOPED_TRACE(attempt.what);
        MagnetFace face;
        ASSERT_TRUE(face.ready);
        EXPECT_FALSE(face.Completes(attempt.placements));
    }
}
