#include "engine/SoundSystem.h"
#include "engine/POVComp.h"

#include "common/math/Quaternion.h"
#include "platform/sound_events.h"

#include "TestSupport.h"

#include <gtest/gtest.h>

#include <cmath>
#include <string>
#include <vector>

using dorvo::Sound3DAttributes;
using dorvo::SoundParameter;
using dorvo::SoundSystem;

namespace
{
const std::string kProject = testsupport::RepoPath("tests/data/sound/QUORBSound.fev");

class SoundSystemTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        plat::soundtest::ClearFailures();
        plat::soundtest::ClearRecords();
        ASSERT_TRUE(m_sound.Init(256));
        ASSERT_TRUE(m_sound.LoadProject(kProject));
        ASSERT_TRUE(m_sound.LoadGroup("QUORBSound/GUI"));
    }
    void TearDown() override
    {
        m_sound.SetListener(nullptr);
        m_sound.Shutdown();
        EXPECT_EQ(0, plat::soundtest::LiveEventSystems());
        plat::soundtest::ClearFailures();
        plat::soundtest::ClearRecords();
    }
    static bool Playing(plat::FMOD::Event* event)
    {
        plat::FMOD_EVENT_STATE state = 0;
        event->getState(&state);
        return (state & plat::FMOD_EVENT_STATE_PLAYING) != 0;
    }

    SoundSystem& m_sound = SoundSystem::Instance();
};
} // namespace

TEST_F(SoundSystemTest, ParameterValuesAreClampedToTheirRange)
{
    struct Case
    {
        float value;
        float expected;
    };
    // speed runs from -5 to 5.
    const Case cases[] = {{9.0f, 5.0f}, {-7.0f, -5.0f}, {2.5f, 2.5f}, {5.0f, 5.0f}};
    for (const Case& c : cases)
    {
        SCOPED_TRACE(c.value);
        plat::soundtest::ClearRecords();
        plat::FMOD::Event* event = nullptr;
        ASSERT_TRUE(m_sound.PlayEvent("QUORBSound/GUI/ButtonPress", nullptr, &event,
                                      {SoundParameter("speed", c.value, 1.5f)}));
        plat::FMOD::EventParameter* speed = nullptr;
        ASSERT_EQ(plat::FMOD_OK, event->getParameter("speed", &speed));
        float value = 0.0f, velocity = 0.0f;
        speed->getValue(&value);
        speed->getVelocity(&velocity);
        EXPECT_FLOAT_EQ(c.expected, value);
        EXPECT_FLOAT_EQ(1.5f, velocity);
        ASSERT_EQ(1u, plat::soundtest::Records().size());
        EXPECT_FLOAT_EQ(c.expected, plat::soundtest::Records()[0].parameters[1].second);
        event->stop();
    }
}

TEST_F(SoundSystemTest, UnknownParametersAreSkippedAndTheEventStillStarts)
{
    plat::FMOD::Event* event = nullptr;
    ASSERT_TRUE(m_sound.PlayEvent("QUORBSound/GUI/ButtonPress", nullptr, &event,
                                  {SoundParameter("nosuch", 3.0f), SoundParameter("pitch", 5.0f)}));
    EXPECT_TRUE(Playing(event));
    const auto& records = plat::soundtest::Records();
    ASSERT_EQ(1u, records.size());
    const std::vector<std::pair<std::string, float>> parameters = {{"pitch", 1.0f}, {"speed", -5.0f}};
    EXPECT_EQ(parameters, records[0].parameters);
}

TEST_F(SoundSystemTest, AnUnknownEventPlaysNothingAndLeavesTheOutEventAlone)
{
    auto* sentinel = reinterpret_cast<plat::FMOD::Event*>(0x1);
    plat::FMOD::Event* event = sentinel;
    EXPECT_FALSE(m_sound.PlayEvent("QUORBSound/GUI/NoSuchEvent", nullptr, &event));
    EXPECT_EQ(sentinel, event);
    EXPECT_FALSE(m_sound.GetEvent("QUORBSound/GUI/NoSuchEvent", nullptr, &event));
    EXPECT_EQ(sentinel, event);
    EXPECT_FALSE(m_sound.LoadGroup("QUORBSound/Editor"));
    EXPECT_FALSE(m_sound.LoadGroup("QUORBSound/Music")); // its file is missing
    EXPECT_FALSE(m_sound.LoadProject("NoSuch.fev"));
    EXPECT_TRUE(plat::soundtest::Records().empty());
    // A missing out pointer is fine too.
    EXPECT_TRUE(m_sound.PlayEvent("QUORBSound/GUI/ButtonPress", nullptr, nullptr));
}

TEST_F(SoundSystemTest, GetEventPlacesTheEventAtTheSourceButLeavesItStopped)
{
    POVComp source;
    source.SetPosition(math::Vector3(3.0f, 4.0f, 5.0f), false);
    plat::FMOD::Event* event = nullptr;
    ASSERT_TRUE(m_sound.GetEvent("QUORBSound/Collision/WoodHit", &source, &event));
    EXPECT_FALSE(Playing(event));
    EXPECT_TRUE(plat::soundtest::Records().empty());
    event->start();
    ASSERT_EQ(1u, plat::soundtest::Records().size());
    const plat::FMOD_VECTOR& position = plat::soundtest::Records()[0].position;
    EXPECT_FLOAT_EQ(3.0f, position.x);
    EXPECT_FLOAT_EQ(4.0f, position.y);
    EXPECT_FLOAT_EQ(5.0f, position.z);
}

TEST_F(SoundSystemTest, TheListenerFollowsItsAttributesEveryUpdate)
{
    // WoodHit is silent from 11 units; a source 10 units ahead of the origin is faint.
    POVComp source;
    source.SetPosition(math::Vector3(0.0f, 0.0f, 10.0f), false);
    plat::FMOD::Event* event = nullptr;
    ASSERT_TRUE(m_sound.PlayEvent("QUORBSound/Collision/WoodHit", &source, &event));
    std::int16_t out[2];
    ASSERT_EQ(plat::FMOD_OK, plat::soundtest::Mix(m_sound.GetEventSystem(), out, 1));
    EXPECT_EQ(50, out[0]); // 1000 x 0.5 x 0.1

    // A listener that walks up to the source hears it at full volume.
    // Turned a quarter about y so that its rotated x axis, its forward, is +z.
    POVComp listener;
    listener.SetOrientation(math::Quaternion(std::cos(0.7853982f), 0.0f, -std::sin(0.7853982f), 0.0f), false);
    m_sound.SetListener(&listener);
    listener.SetPosition(math::Vector3(0.0f, 0.0f, 9.5f), false);
    EXPECT_TRUE(m_sound.Update());
    ASSERT_EQ(plat::FMOD_OK, plat::soundtest::Mix(m_sound.GetEventSystem(), out, 1));
    EXPECT_EQ(1000, out[0]); // second Click frame 2000 x 0.5
}

TEST(SoundSystemInitTest, AFailedStepReleasesWhatWasCreated)
{
    SoundSystem& sound = SoundSystem::Instance();
    for (plat::soundtest::Call call :
         {plat::soundtest::Call::Create, plat::soundtest::Call::GetSystemObject, plat::soundtest::Call::Init})
    {
        SCOPED_TRACE(static_cast<int>(call));
        plat::soundtest::ClearFailures();
        plat::soundtest::FailCall(call);
        EXPECT_FALSE(sound.Init(256));
        EXPECT_EQ(nullptr, sound.GetEventSystem());
        EXPECT_EQ(nullptr, sound.GetSystemObject());
        EXPECT_EQ(0, plat::soundtest::LiveEventSystems());
    }
    plat::soundtest::ClearFailures();
    ASSERT_TRUE(sound.Init(256));
    plat::soundtest::FailCall(plat::soundtest::Call::Release);
    EXPECT_FALSE(sound.Shutdown());
    EXPECT_EQ(nullptr, sound.GetEventSystem());
    EXPECT_EQ(0, plat::soundtest::LiveEventSystems());
    plat::soundtest::ClearFailures();
}

TEST(SoundSystemInitTest, ThreeDAttributesComeFromTheOrientationAxes)
{
    // A quarter turn about y: the x axis turns onto -z (or +z, by the rotation's handedness);
    // whichever it is, forward and up are the rotated x and y axes.
    const math::Quaternion orientation(std::cos(0.7853982f), 0.0f, std::sin(0.7853982f), 0.0f);
    POVComp object;
    object.SetPosition(math::Vector3(1.0f, 2.0f, 3.0f), false);
    object.SetVelocity(math::Vector3(0.0f, -1.0f, 0.0f));
    object.SetOrientation(orientation, false);
    const Sound3DAttributes attributes = SoundSystem::Get3DAttributes(object);
    EXPECT_FLOAT_EQ(2.0f, attributes.position.y);
    EXPECT_FLOAT_EQ(-1.0f, attributes.velocity.y);
    const math::Vector3 x = orientation.GetXAxis();
    const math::Vector3 y = orientation.GetYAxis();
    EXPECT_FLOAT_EQ(x.z, attributes.forward.z);
    EXPECT_NEAR(1.0f, std::fabs(attributes.forward.z), 1e-5f);
    EXPECT_NEAR(1.0f, attributes.up.y, 1e-5f);
    EXPECT_FLOAT_EQ(y.y, attributes.up.y);
}
