// The objectives' rules on the test clock, in a booted game with a star object the test moves:
// the location's dwell, glow and sound, the target's pass-through, the time limit, the water
// change; their saved form, their clones and the component that holds them.
#include "GameTestWorld.h"

#include "LogCapture.h"
#include "TestSupport.h"

#include "common/XmlUtil.h"
#include "common/math/Vector3.h"
#include "engine/Gob.h"
#include "engine/GobManager.h"
#include "engine/POVComp.h"
#include "engine/gfx/core/CGfxUnit.h"
#include "engine/gfx/core/CTextureHandle.h"
#include "engine/gfx/mesh/GfxModelComp.h"
#include "game/app/CQUORB.h"
#include "game/nodes/GobIDComp.h"
#include "game/objectives/CCauseDestruction.h"
#include "game/objectives/CGetToLocation.h"
#include "game/objectives/CSquashQuorbi.h"
#include "game/objectives/CTarget.h"
#include "game/objectives/CTimeLimit.h"
#include "game/objectives/CWaterControl.h"
#include "game/objectives/LocationDwellTime.h"
#include "game/objectives/ObjectiveComp.h"
#include "game/room/CPuzzle.h"
#include "game/room/GobDescription.h"

#include <gtest/gtest.h>
#include <tinyxml.h>

#include <cmath>
#include <fstream>
#include <iterator>
#include <limits>
#include <memory>
#include <string>
#include <utility>
#include <vector>

using dorvo::gfx::GfxModelComp;
using QUORB::CGetToLocation;
using QUORB::CTarget;
using QUORB::CTimeLimit;
using QUORB::CWaterControl;
using QUORB::IObjective;
using QUORB::ObjectiveComp;

namespace
{
std::string ReadBinary(const std::string& path)
{
    std::ifstream in(path, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

// The empty room and a sound project of its own with the three objective sounds.
gametest::GameTestSetup SetupWithSounds()
{
    gametest::GameTestSetup setup;
    setup.copyRooms = true; // the empty room with its four puzzles
    setup.soundFolder = "sounds/";
    setup.files["sounds/Click.wav"] = ReadBinary(testsupport::RepoPath("tests/data/sound/Click.wav"));
    std::string project = "project QUORBSound\n";
    for (const char* group : {"GUI", "Editor", "Collision", "Music"})
        project += std::string("group ") + group + "\n    event Test\n        file Click.wav\n    end\nend\n";
    project += "group Objective\n";
    for (const char* event : {"InsideLocation", "TargetHit", "TimerDone"})
        project += std::string("    event ") + event + "\n        file Click.wav\n    end\n";
    project += "end\n";
    setup.files["sounds/QUORBSound.fev"] = project;
    return setup;
}

POVComp& Pov(Gob* gob)
{
    return *GetPOVComp(gob);
}

GfxModelComp* Model(Gob* gob)
{
    return static_cast<GfxModelComp*>(gob->GetComponent(GfxModelComp::StaticTypeID()));
}

// The booted game with the room loaded, one objective object at the origin holding a new
// objective of the kind, and star objects the test places and moves.
class ObjectivesTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        ASSERT_TRUE(world.Booted());
        world.Frames(2);
        if (world.Game().GetFocusedPuzzle() == nullptr)
            world.Game().FocusFace();
        ASSERT_NE(world.Game().GetFocusedPuzzle(), nullptr);
    }

    // An objective object of the archetype at (0, 0, 0), scale 4 (radius 2), holding a new
    // objective of the flag, installed as a description installs it.
    template <class T> T* MakeObjective(const std::string& archetype)
    {
        m_objectiveGob = GobManager::Instance().CreateGob(archetype);
        EXPECT_NE(m_objectiveGob, nullptr);
        if (m_objectiveGob == nullptr)
            return nullptr;
        Pov(m_objectiveGob).SetPosition(math::Vector3(0.0f, 0.0f, 0.0f), true);
        Pov(m_objectiveGob).SetScale(math::Vector3(4.0f, 4.0f, 4.0f), true);
        ObjectiveComp* component = ObjectiveComp::Of(m_objectiveGob);
        EXPECT_NE(component, nullptr);
        if (component == nullptr)
            return nullptr;
        component->SetObjective(std::make_unique<T>());
        component->ApplyObjectiveToGob();
        return static_cast<T*>(component->GetObjective());
    }

    // A star object of scale 1 (radius 0.5) in the focused puzzle.
    Gob* AddQuorb(const math::Vector3& at)
    {
        Gob* quorb = GobManager::Instance().CreateGob("QUORBBall");
        EXPECT_NE(quorb, nullptr);
        if (quorb == nullptr)
            return nullptr;
        Pov(quorb).SetScale(math::Vector3(1.0f, 1.0f, 1.0f), true);
        Move(quorb, at);
        world.Game().AddQuorbToFocusedPuzzle(quorb->GetID());
        return quorb;
    }
    static void Move(Gob* gob, const math::Vector3& to) { Pov(gob).SetPosition(to, true); }
    // Frames of play: one update each, each frame taking `wallSeconds` on the wall clock.
    void Play(IObjective* objective, int frames, double wallSeconds = 0.0)
    {
        for (int frame = 0; frame < frames; ++frame)
        {
            if (wallSeconds > 0.0)
                world.Wait(wallSeconds);
            objective->Update(0.0, 0.0f);
        }
    }

    std::size_t SoundCount(const std::string& action, const std::string& path) const
    {
        std::size_t count = 0;
        for (const plat::soundtest::Record& record : world.Sounds())
            if (record.action == action && record.path == path)
                ++count;
        return count;
    }

    gametest::GameTestWorld world{SetupWithSounds()};
    Gob* m_objectiveGob = nullptr;
    const math::Vector3 kInside{0.5f, 0.0f, 0.0f};
    const math::Vector3 kOutside{10.0f, 0.0f, 0.0f};
};
} // namespace

// Leaving before LocationDwellTime restarts the count: 2.9 s in, out, in again completes only
// after a further full 3.0 s. The glow comes 1.0 s after each entry and leaving gives the model
// its own names back; the inside sound starts on entry and stops on leaving. The seconds are the
// puzzle's: 90 frames of play after the entry, however long they took on the wall clock.
TEST_F(ObjectivesTest, LocationNeedsAFullDwellAfterEachEntryAndGlowsOneSecondIn)
{
    CGetToLocation* location = MakeObjective<CGetToLocation>("LocationObjective");
    ASSERT_NE(location, nullptr);
    GfxModelComp* model = Model(m_objectiveGob);
    ASSERT_NE(model, nullptr);
    const std::string ownEffect = model->GetFXFile();
    const std::string ownTechnique = model->GetTechnique();
    ASSERT_NE(ownEffect, CGetToLocation::kGlowEffect);
    Gob* quorb = AddQuorb(kOutside);
    location->Begin();
    world.ClearSounds();

    location->Update(0.0, 0.0f);
    EXPECT_FALSE(location->IsInside());
    EXPECT_EQ(SoundCount("start", CGetToLocation::kInsideSound), 0u);

    for (int entry = 0; entry < 2; ++entry)
    {
        SCOPED_TRACE(entry);
        Move(quorb, kInside);
        location->Update(0.0, 0.0f);
        EXPECT_TRUE(location->IsInside());
        EXPECT_EQ(SoundCount("start", CGetToLocation::kInsideSound), entry + 1u);
        // A slow machine: each frame takes a tenth of a second.
        Play(location, 29, 0.1);
        EXPECT_EQ(model->GetFXFile(), ownEffect) << "no glow before 30 frames of play";
        Play(location, 1, 0.1);
        EXPECT_EQ(model->GetFXFile(), CGetToLocation::kGlowEffect);
        EXPECT_EQ(model->GetTechnique(), CGetToLocation::kGlowTechnique);
        EXPECT_TRUE(model->IsTransparent());
        Play(location, 57, 0.1); // 2.9 s of play inside, 8.7 s on the wall clock
        EXPECT_EQ(location->GetState(), IObjective::Running);

        Move(quorb, kOutside);
        location->Update(0.0, 0.0f);
        EXPECT_FALSE(location->IsInside());
        EXPECT_EQ(location->GetState(), IObjective::Running);
        EXPECT_EQ(SoundCount("stop", CGetToLocation::kInsideSound), entry + 1u);
        EXPECT_EQ(model->GetFXFile(), ownEffect) << "leaving gives the model its names back";
        EXPECT_EQ(model->GetTechnique(), ownTechnique);
        EXPECT_FALSE(model->IsTransparent());
        world.Wait(5.0); // time outside counts for nothing
    }

    // A fast machine: the frames take no wall time at all.
    Move(quorb, kInside);
    location->Update(0.0, 0.0f);
    Play(location, 89);
    EXPECT_EQ(location->GetState(), IObjective::Running);
    Play(location, 1);
    EXPECT_EQ(location->GetState(), IObjective::Completed) << "a full 3.0 s of play without leaving";

    location->Reset();
    EXPECT_EQ(location->GetState(), IObjective::Running);
    EXPECT_FALSE(location->IsInside());
    EXPECT_EQ(model->GetFXFile(), ownEffect);
}

// The glow gives back what the model had when it came on: its own transparency, its own names
// rather than a pick highlight's saved ones from before, and empty names too.
TEST_F(ObjectivesTest, GlowOffRestoresWhatTheModelHadWhenTheGlowCameOn)
{
    CGetToLocation* location = MakeObjective<CGetToLocation>("LocationObjective");
    ASSERT_NE(location, nullptr);
    GfxModelComp* model = Model(m_objectiveGob);
    ASSERT_NE(model, nullptr);
    model->SetTransparent(true);
    model->SetSavedFXFile("Stale.fx");
    model->SetSavedTechnique("Stale");
    const std::string ownEffect = model->GetFXFile();
    Gob* quorb = AddQuorb(kInside);
    location->Update(0.0, 0.0f);
    Play(location, 30);
    ASSERT_EQ(model->GetFXFile(), CGetToLocation::kGlowEffect);
    Move(quorb, kOutside);
    location->Update(0.0, 0.0f);
    EXPECT_EQ(model->GetFXFile(), ownEffect);
    EXPECT_TRUE(model->IsTransparent());

    // A model drawn with no effect of its own gets no effect back, not the glow.
    model->SetFXFile("");
    model->SetTechnique("");
    Move(quorb, kInside);
    location->Update(0.0, 0.0f);
    Play(location, 30);
    ASSERT_EQ(model->GetFXFile(), CGetToLocation::kGlowEffect);
    Move(quorb, kOutside);
    location->Update(0.0, 0.0f);
    EXPECT_EQ(model->GetFXFile(), "");
    EXPECT_EQ(model->GetTechnique(), "");
}

// With QuorbCheckType 1 every star object must be inside, and no sound plays; a QuorbCheckType
// outside 0 and 1 does nothing.
TEST_F(ObjectivesTest, CheckTypeOneNeedsEveryStarObjectInsideAndIsSilent)
{
    CGetToLocation* location = MakeObjective<CGetToLocation>("LocationObjective");
    ASSERT_NE(location, nullptr);
    location->SetQuorbCheckType(CGetToLocation::EveryQuorb);
    location->Begin();
    Gob* first = AddQuorb(kInside);
    Gob* second = AddQuorb(kOutside);
    ASSERT_TRUE(first && second);
    world.ClearSounds();
    location->Update(0.0, 0.0f);
    EXPECT_FALSE(location->IsInside()) << "one of two inside is not inside";
    Move(second, math::Vector3(-0.5f, 0.0f, 0.0f));
    location->Update(0.0, 0.0f);
    EXPECT_TRUE(location->IsInside());
    Play(location, 90);
    EXPECT_EQ(location->GetState(), IObjective::Completed);
    EXPECT_EQ(SoundCount("start", CGetToLocation::kInsideSound), 0u);

    location->Reset();
    location->SetQuorbCheckType(7);
    location->Update(0.0, 0.0f);
    EXPECT_FALSE(location->IsInside());
    EXPECT_EQ(location->GetState(), IObjective::Running);
}

// A star object below the play area fails the location and the target on the next update;
// one exactly on the bound does not; no star object at all fails both.
TEST_F(ObjectivesTest, LeavingThePlayAreaOrHavingNoStarObjectFailsLocationAndTarget)
{
    struct Case
    {
        const char* name;
        bool withQuorb;
        float y;
        IObjective::State expected;
    };
    const Case cases[] = {
        {"below the play area", true, -25.5f, IObjective::Failed},
        {"on the bound", true, -25.0f, IObjective::Running},
        {"no star object", false, 0.0f, IObjective::Failed},
    };
    for (const Case& c : cases)
        for (int kind = 0; kind < 2; ++kind)
        {
            SCOPED_TRACE(std::string(c.name) + (kind == 0 ? " / location" : " / target"));
            GobManager::Instance().DestroyAllGobs();
            QUORB::CPuzzle* puzzle = world.Game().GetFocusedPuzzle();
            for (std::uint32_t id : std::vector<std::uint32_t>(puzzle->GetQuorbIDs()))
                puzzle->RemoveQuorb(id);
            IObjective* objective =
                kind == 0 ? static_cast<IObjective*>(MakeObjective<CGetToLocation>("LocationObjective"))
                          : MakeObjective<CTarget>("TargetObjective");
            ASSERT_NE(objective, nullptr);
            if (c.withQuorb)
                AddQuorb(math::Vector3(20.0f, c.y, 0.0f));
            EXPECT_EQ(objective->CheckQuorbs(), c.expected == IObjective::Failed);
            objective->Update(0.0, 0.0f);
            EXPECT_EQ(objective->GetState(), c.expected);
        }
    // The other kinds never ask.
    EXPECT_FALSE(CTimeLimit().CheckQuorbs());
    EXPECT_FALSE(CWaterControl().CheckQuorbs());
}

// A target stays running while overlapped, completes on the first update after, keeps the
// closest distance, plays its sound and shows its lit texture once; Reset gives back the idle
// texture and +infinity.
TEST_F(ObjectivesTest, TargetCompletesAfterTheStarObjectPassesThrough)
{
    CTarget* target = MakeObjective<CTarget>("TargetObjective");
    ASSERT_NE(target, nullptr);
    GfxModelComp* model = Model(m_objectiveGob);
    ASSERT_TRUE(model != nullptr && model->GetUnit() != nullptr);
    Gob* quorb = AddQuorb(kOutside);
    world.ClearSounds();
    target->Update(0.0, 0.0f);
    EXPECT_EQ(target->GetState(), IObjective::Running);
    EXPECT_FALSE(target->IsHit());

    for (float x : {2.4f, 1.0f, 0.25f, 1.5f})
    {
        Move(quorb, math::Vector3(x, 0.0f, 0.0f));
        target->Update(0.0, 0.0f);
        EXPECT_EQ(target->GetState(), IObjective::Running) << "still overlapped at x " << x;
    }
    EXPECT_TRUE(target->IsHit());
    EXPECT_FLOAT_EQ(target->GetClosestDistance(), 0.25f);
    EXPECT_EQ(SoundCount("start", CTarget::kHitSound), 1u);
    ASSERT_NE(model->GetUnit()->GetTexture(0), nullptr);
    EXPECT_EQ(model->GetUnit()->GetTexture(0)->GetFileName(), CTarget::kHitTexture);

    Move(quorb, math::Vector3(2.6f, 0.0f, 0.0f)); // just clear of 2 + 0.5
    target->Update(0.0, 0.0f);
    EXPECT_EQ(target->GetState(), IObjective::Completed);

    target->Reset();
    EXPECT_EQ(target->GetState(), IObjective::Running);
    EXPECT_FALSE(target->IsHit());
    EXPECT_EQ(target->GetClosestDistance(), std::numeric_limits<float>::infinity());
    EXPECT_EQ(model->GetUnit()->GetTexture(0)->GetFileName(), CTarget::kIdleTexture);
}

// An objective object without a model, or with a model that has no render unit, keeps its
// rules and only skips the looks.
TEST_F(ObjectivesTest, WithoutAModelOrRenderUnitTheRulesHoldAndTheLooksAreSkipped)
{
    // Two templates: position and objective only; and a model without a mesh, so no unit.
    const std::pair<const char*, const char*> templates[] = {
        {"Bare", "<string>POVComp</string><string>ObjectiveComp</string>"},
        {"Unitless", "<string>POVComp</string><string>GfxModelComp</string><string>ObjectiveComp</string>"},
    };
    for (const auto& entry : templates)
    {
        const std::string path = world.Folder() + entry.first + ".xml";
        const int count = entry.second == templates[0].second ? 2 : 3;
        std::ofstream(path) << "<File><Template><string>" << entry.first << "</string><string>" << entry.first
                            << "</string><list size=\"" << count << "\">" << entry.second
                            << "</list><list size=\"0\"/></Template></File>";
        GobManager::Instance().LoadTemplate(path);
    }
    for (const char* archetype : {"Bare", "Unitless"})
    {
        SCOPED_TRACE(archetype);
        GobManager::Instance().DestroyAllGobs();
        QUORB::CPuzzle* puzzle = world.Game().GetFocusedPuzzle();
        for (std::uint32_t id : std::vector<std::uint32_t>(puzzle->GetQuorbIDs()))
            puzzle->RemoveQuorb(id);
        CTarget* target = MakeObjective<CTarget>(archetype);
        ASSERT_NE(target, nullptr);
        Gob* targetGob = m_objectiveGob;
        CGetToLocation* location = MakeObjective<CGetToLocation>(archetype);
        ASSERT_NE(location, nullptr);
        Gob* quorb = AddQuorb(kInside);
        target->Update(0.0, 0.0f);
        location->Update(0.0, 0.0f);
        Play(location, 90); // the glow comes due on the way
        EXPECT_EQ(location->GetState(), IObjective::Completed);
        Move(quorb, kOutside);
        target->Update(0.0, 0.0f);
        location->Update(0.0, 0.0f);
        EXPECT_EQ(target->GetState(), IObjective::Completed);
        target->Reset();
        location->Reset();
        EXPECT_EQ(target->GetState(), IObjective::Running);
        if (GfxModelComp* model = Model(targetGob))
        {
            EXPECT_EQ(model->GetUnit(), nullptr);
        }
    }
}

// A time limit of 0 runs out on the first update after Begin: the sound plays once and the
// state is failed; a longer one fails only once its time of play has passed. Each update is one
// frame of play (1/30 s), however long the frame took on the wall clock.
TEST_F(ObjectivesTest, TimeLimitFailsOnceItsTimeOfPlayRunsOutWithOneSound)
{
    CTimeLimit* limit = MakeObjective<CTimeLimit>("TimerObjective");
    ASSERT_NE(limit, nullptr);
    world.ClearSounds();
    limit->Begin();
    limit->Update(0.0, 0.0f);
    EXPECT_EQ(limit->GetState(), IObjective::Failed);
    limit->Update(0.0, 0.0f);
    EXPECT_EQ(SoundCount("start", CTimeLimit::kTimerDoneSound), 1u);

    limit->SetTimeInterval(2.0f);
    limit->Reset();
    EXPECT_EQ(limit->GetState(), IObjective::Running);
    EXPECT_FALSE(limit->GetCountdown().IsRunning()) << "armed, not running";
    limit->Update(0.0, 0.0f);
    EXPECT_EQ(limit->GetState(), IObjective::Running) << "nothing counts before Begin";
    EXPECT_NEAR(limit->GetRemainingSeconds(), 2.0f, 1e-6);
    limit->Begin();
    // 57 frames of a slow machine, a tenth of a second each on the wall clock.
    for (int frame = 0; frame < 57; ++frame)
    {
        world.Wait(0.1);
        limit->Update(0.0, 0.0f);
    }
    EXPECT_EQ(limit->GetState(), IObjective::Running);
    EXPECT_NEAR(limit->GetRemainingSeconds(), 0.1f, 1e-5);
    for (int frame = 0; frame < 2; ++frame)
        limit->Update(0.0, 0.0f);
    EXPECT_EQ(limit->GetState(), IObjective::Running) << "one frame of play is left";
    limit->Update(0.0, 0.0f);
    EXPECT_EQ(limit->GetState(), IObjective::Failed) << "60 frames are 2 s of play";
    EXPECT_EQ(SoundCount("start", CTimeLimit::kTimerDoneSound), 2u);
}

// Begin glides the room's water to EndWaterLevel over TimeInterval.
TEST_F(ObjectivesTest, WaterControlBeginGlidesTheWaterToItsEndLevel)
{
    ASSERT_NE(GobManager::Instance().CreateGob("PlanarWater"), nullptr);
    CWaterControl* water = MakeObjective<CWaterControl>("WaterObjective");
    ASSERT_NE(water, nullptr);
    water->SetEndWaterLevel(4.0f);
    water->SetTimeInterval(1.0f);
    QUORB::CQUORB& game = world.Game();
    const float start = game.GetWaterLevel();
    water->Begin();
    world.Frames(15);
    EXPECT_GT(game.GetWaterLevel(), start + 0.5f);
    EXPECT_LT(game.GetWaterLevel(), 3.5f) << "half way through";
    world.Frames(20);
    EXPECT_NEAR(game.GetWaterLevel(), 4.0f, 1e-4);
    water->Update(0.0, 0.0f);
    EXPECT_EQ(water->GetState(), IObjective::Running) << "the water change never completes or fails";
}

// Clone copies every field as it stands, timers and flags included.
TEST_F(ObjectivesTest, CloneCopiesARunningLocationAsItStands)
{
    CGetToLocation* location = MakeObjective<CGetToLocation>("LocationObjective");
    ASSERT_NE(location, nullptr);
    location->SetQuorbCheckType(CGetToLocation::FirstQuorb);
    location->Begin();
    AddQuorb(kInside);
    location->Update(0.0, 0.0f);
    Play(location, 60);
    std::unique_ptr<IObjective> copy(location->Clone());
    CGetToLocation* clone = copy->AsGetToLocation();
    ASSERT_NE(clone, nullptr);
    EXPECT_EQ(clone->GetOwner(), location->GetOwner());
    EXPECT_EQ(clone->GetState(), location->GetState());
    EXPECT_TRUE(clone->IsInside());
    EXPECT_EQ(clone->GetSoundEvent(), location->GetSoundEvent());
    EXPECT_TRUE(clone->GetDwellCountdown().IsRunning());
    EXPECT_NEAR(clone->GetDwellCountdown().GetTime(), location->GetDwellCountdown().GetTime(), 1e-4);
    EXPECT_NEAR(clone->GetDwellCountdown().GetTime(), 1.0f, 1e-3);
    Play(clone, 29);
    EXPECT_EQ(clone->GetState(), IObjective::Running);
    Play(clone, 1);
    EXPECT_EQ(clone->GetState(), IObjective::Completed) << "the clone goes on counting where it was";
    EXPECT_EQ(location->GetState(), IObjective::Running) << "and the original where it was";

    CTarget target;
    target.SetState(IObjective::Completed);
    std::unique_ptr<IObjective> targetCopy(target.Clone());
    EXPECT_EQ(targetCopy->GetState(), IObjective::Completed);
    CTimeLimit limit;
    limit.SetTimeInterval(12.5f);
    std::unique_ptr<IObjective> limitCopy(limit.Clone());
    EXPECT_FLOAT_EQ(limitCopy->AsTimeLimit()->GetTimeInterval(), 12.5f);
}

// ApplyToGob moves the linked marker to the level the water will reach, straight above the
// objective; a water objective without a live marker is left as it is.
TEST_F(ObjectivesTest, WaterControlPutsItsLinkedMarkerAtTheEndLevel)
{
    CWaterControl* water = MakeObjective<CWaterControl>("WaterObjective");
    ASSERT_NE(water, nullptr);
    Gob* waterGob = m_objectiveGob;
    Pov(waterGob).SetPosition(math::Vector3(3.0f, 1.0f, -2.0f), true);
    water->SetEndWaterLevel(6.5f);
    water->ApplyToGob(); // no marker linked yet: nothing happens

    Gob* marker = GobManager::Instance().CreateGob("WaterEndObjective");
    ASSERT_NE(marker, nullptr);
    QUORB::GobIDComp* link = QUORB::GobIDComp::Of(waterGob);
    ASSERT_NE(link, nullptr);
    link->SetLinkedID(marker->GetID());
    water->ApplyToGob();
    const math::Vector3 at = Pov(marker).GetPosition();
    EXPECT_FLOAT_EQ(at.x, 3.0f);
    EXPECT_FLOAT_EQ(at.y, 6.5f);
    EXPECT_FLOAT_EQ(at.z, -2.0f);

    link->SetLinkedID(marker->GetID() + 1000); // a marker that no longer exists
    water->SetEndWaterLevel(-1.0f);
    water->ApplyToGob();
    EXPECT_FLOAT_EQ(Pov(marker).GetPosition().y, 6.5f);
}

// A description with an objective builds an object holding a copy of it, owned by the object's
// component and set up on the object; the description taken back from the object has a copy of
// its own, with no owner.
TEST_F(ObjectivesTest, DescriptionsInstallCopiesOfTheirObjective)
{
    QUORB::GobDescription description;
    description.archetypeName = "TimerObjective";
    auto limit = std::make_unique<CTimeLimit>();
    limit->SetTimeInterval(42.0f);
    description.objective = std::move(limit);
    Gob* gob = QUORB::GobDescription::CreateGob(description);
    ASSERT_NE(gob, nullptr);
    ObjectiveComp* component = ObjectiveComp::Of(gob);
    ASSERT_NE(component, nullptr);
    CTimeLimit* installed = component->AsTimeLimit();
    ASSERT_NE(installed, nullptr);
    EXPECT_NE(static_cast<IObjective*>(installed), description.objective.get());
    EXPECT_EQ(installed->GetOwner(), component);
    EXPECT_EQ(installed->GetOwnerGob(), gob);
    EXPECT_FALSE(installed->GetCountdown().IsRunning()) << "armed by its set-up, not running";
    EXPECT_NEAR(installed->GetRemainingSeconds(), 42.0f, 1e-3);

    QUORB::GobDescription back;
    QUORB::GobDescription::FromGob(gob, back);
    ASSERT_TRUE(back.objective);
    EXPECT_NE(back.objective.get(), static_cast<IObjective*>(installed));
    EXPECT_EQ(back.objective->GetOwner(), nullptr);
    EXPECT_FLOAT_EQ(back.objective->AsTimeLimit()->GetTimeInterval(), 42.0f);

    // A description without an objective leaves the object's own.
    QUORB::GobDescription none;
    QUORB::GobDescription::ApplyToGob(gob, none);
    EXPECT_EQ(component->AsTimeLimit(), installed);
}

namespace
{
std::string Print(const TiXmlNode& node)
{
    TiXmlPrinter printer;
    printer.SetStreamPrinting();
    node.Accept(&printer);
    return printer.Str();
}

std::string Saved(IObjective& objective)
{
    TiXmlElement parent("Parent");
    EXPECT_TRUE(objective.Serialize(&parent));
    return parent.FirstChild() != nullptr ? Print(*parent.FirstChild()) : std::string();
}
} // namespace

// Each class writes its own element with its values in order, and reads them back by position
// whatever the children are named; state, timers and flags are not saved.
TEST(ObjectiveSavedForm, EachClassWritesItsElementAndReadsItBackByPosition)
{
    CGetToLocation location;
    location.SetQuorbCheckType(1);
    location.SetState(IObjective::Completed);
    CTimeLimit limit;
    limit.SetTimeInterval(90.5f);
    CWaterControl water;
    water.SetBeginWaterLevel(-2.0f);
    water.SetEndWaterLevel(7.25f);
    water.SetTimeInterval(3.0f);
    CTarget target;
    QUORB::CSquashQuorbi squash;
    QUORB::CCauseDestruction destruction;
    struct Case
    {
        IObjective* objective;
        std::uint32_t type;
        bool required;
        bool endsPuzzle;
        const char* saved;
    };
    const Case cases[] = {
        {&location, 1, true, false, "<GetToLocation><enum name=\"QuorbCheckType\">1</enum></GetToLocation>"},
        {&destruction, 2, true, false, "<CauseDestruction />"},
        {&squash, 4, true, false, "<Squash />"},
        {&limit, 8, false, true, "<TimeLimit><float name=\"TimeInterval\">90.5</float></TimeLimit>"},
        {&water, 16, false, false,
         "<WaterControl><float name=\"BeginWaterLevel\">-2</float><float name=\"EndWaterLevel\">7.25</float>"
         "<float name=\"TimeInterval\">3</float></WaterControl>"},
        {&target, 32, true, false, "<Target />"},
    };
    for (const Case& c : cases)
    {
        SCOPED_TRACE(c.saved);
        EXPECT_EQ(c.objective->GetType(), c.type);
        EXPECT_EQ(c.objective->IsRequired(), c.required);
        EXPECT_EQ(c.objective->EndsPuzzle(), c.endsPuzzle);
        const std::string saved = Saved(*c.objective);
        EXPECT_EQ(saved, c.saved);

        // Read into a new objective of the flag's class, with the children renamed.
        std::unique_ptr<IObjective> read(IObjective::Create(c.type));
        ASSERT_NE(read, nullptr);
        TiXmlDocument document;
        document.Parse(saved.c_str());
        ASSERT_NE(document.RootElement(), nullptr);
        for (TiXmlElement* child = document.RootElement()->FirstChildElement(); child;
             child = child->NextSiblingElement())
            child->SetAttribute("name", "Renamed");
        EXPECT_TRUE(read->Deserialize(document.RootElement()));
        EXPECT_EQ(Saved(*read), saved);
        EXPECT_EQ(read->GetState(), IObjective::Running) << "the state is not saved";
    }
    for (std::uint32_t flag : {0u, 3u, 64u, 0xFFFFFFFFu})
        EXPECT_EQ(IObjective::Create(flag), nullptr) << flag;
}

// A null or non-element node is refused and changes nothing; missing children keep their values.
TEST(ObjectiveSavedForm, MalformedElementsKeepTheValues)
{
    CWaterControl water;
    water.SetEndWaterLevel(4.0f);
    EXPECT_FALSE(water.Deserialize(nullptr));
    TiXmlText text("7");
    EXPECT_FALSE(water.Deserialize(&text));
    EXPECT_FALSE(water.Serialize(nullptr));
    TiXmlElement shortElement("WaterControl");
    XmlWriteFloat(&shortElement, 1.5f, "BeginWaterLevel");
    EXPECT_TRUE(water.Deserialize(&shortElement));
    EXPECT_FLOAT_EQ(water.GetBeginWaterLevel(), 1.5f);
    EXPECT_FLOAT_EQ(water.GetEndWaterLevel(), 4.0f);
    EXPECT_FLOAT_EQ(water.GetTimeInterval(), 5.0f);

    CGetToLocation location;
    location.SetQuorbCheckType(1);
    TiXmlElement empty("GetToLocation");
    EXPECT_TRUE(location.Deserialize(&empty));
    EXPECT_EQ(location.GetQuorbCheckType(), 1);
}

// A time or a water level that is no finite number of sensible size would run the clock or the
// water off to infinity: each is refused with one line naming the objective and the field, and
// the value stays.
TEST(ObjectiveSavedForm, UnusableNumbersAreRefusedWithALineAndTheValueKept)
{
    for (const char* bad : {"nan", "inf", "-inf", "1e38", "1e400", "abc"})
    {
        SCOPED_TRACE(bad);
        CTimeLimit limit;
        limit.SetTimeInterval(30.0f);
        CWaterControl water;
        water.SetBeginWaterLevel(1.0f);
        water.SetEndWaterLevel(4.0f);
        water.SetTimeInterval(2.0f);
        const std::string text = bad;
        TiXmlDocument limitXml;
        limitXml.Parse(("<TimeLimit><float>" + text + "</float></TimeLimit>").c_str());
        TiXmlDocument waterXml;
        waterXml.Parse(("<WaterControl><float>3</float><float>" + text + "</float><float>" + text +
                        "</float></WaterControl>")
                           .c_str());
        testsupport::LogCapture logged;
        EXPECT_TRUE(limit.Deserialize(limitXml.RootElement()));
        EXPECT_TRUE(water.Deserialize(waterXml.RootElement()));
        EXPECT_EQ(logged.Text(), "TimeLimit::Deserialize: \"TimeInterval\" is \"" + text +
                                     "\", not a usable number; the value is kept\n"
                                     "WaterControl::Deserialize: \"EndWaterLevel\" is \"" +
                                     text +
                                     "\", not a usable number; the value is kept\n"
                                     "WaterControl::Deserialize: \"TimeInterval\" is \"" +
                                     text + "\", not a usable number; the value is kept\n");
        EXPECT_FLOAT_EQ(limit.GetTimeInterval(), 30.0f);
        EXPECT_FLOAT_EQ(water.GetBeginWaterLevel(), 3.0f);
        EXPECT_FLOAT_EQ(water.GetEndWaterLevel(), 4.0f);
        EXPECT_FLOAT_EQ(water.GetTimeInterval(), 2.0f);
    }
}

// The component saves an empty element (its objective travels in the description), reads
// nothing, and forwards the down-casts to the objective it holds.
TEST(ObjectiveComponent, SavesAnEmptyElementAndForwardsTheDownCasts)
{
    ObjectiveComp component;
    TiXmlElement parent("Gob");
    EXPECT_FALSE(component.Serialize(nullptr));
    ASSERT_TRUE(component.Serialize(&parent));
    ASSERT_NE(parent.FirstChildElement(), nullptr);
    EXPECT_EQ(parent.FirstChildElement()->ValueStr(), "Component");
    EXPECT_EQ(parent.FirstChildElement()->FirstChild(), nullptr);
    TiXmlElement full("Component");
    XmlWriteInt(&full, 8, "ObjectiveID");
    EXPECT_TRUE(component.Deserialize(&full));
    EXPECT_EQ(component.GetObjective(), nullptr) << "reads nothing";
    EXPECT_FALSE(component.Deserialize(nullptr));

    EXPECT_EQ(component.AsTimeLimit(), nullptr);
    EXPECT_EQ(component.AsTarget(), nullptr);
    component.SetObjective(std::make_unique<CTarget>());
    EXPECT_EQ(component.GetObjective()->GetOwner(), &component);
    const ObjectiveComp& constant = component;
    EXPECT_NE(constant.AsTarget(), nullptr);
    EXPECT_EQ(constant.AsTimeLimit(), nullptr);
    EXPECT_EQ(component.AsGetToLocation(), nullptr);
    EXPECT_EQ(component.AsWaterControl(), nullptr);
    EXPECT_EQ(component.AsSquashQuorbi(), nullptr);
    EXPECT_EQ(component.AsCauseDestruction(), nullptr);
    component.SetObjective(std::make_unique<QUORB::CSquashQuorbi>());
    EXPECT_NE(component.AsSquashQuorbi(), nullptr);
    EXPECT_EQ(component.AsTarget(), nullptr);
}
