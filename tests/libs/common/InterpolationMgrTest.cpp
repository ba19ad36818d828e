#include "common/InterpolationMgr.h"

#include "platform/win32.h"

#include <gtest/gtest.h>

#include <cmath>
#include <string>

using common::CInterpolationMgr;
using math::Vector3;

namespace
{
constexpr float kTol = 1e-5f;

void ExpectVector(const Vector3& actual, float x, float y, float z)
{
    EXPECT_NEAR(actual.x, x, kTol);
    EXPECT_NEAR(actual.y, y, kTol);
    EXPECT_NEAR(actual.z, z, kTol);
}

// Every test runs on the manual test clock and moves it by hand.
class CInterpolationMgrTest : public ::testing::Test
{
protected:
    void SetUp() override { plat::testclock::Set(10.0); }
    static void Wait(double seconds) { plat::testclock::Advance(seconds); }

    CInterpolationMgr m_mgr;
};
} // namespace

TEST_F(CInterpolationMgrTest, IdsCountFromOneAcrossAllKinds)
{
    EXPECT_EQ(m_mgr.AddFloat(0.0f, 1.0f, 1.0f, 0), 1);
    EXPECT_EQ(m_mgr.AddVector3(Vector3(), Vector3(1, 1, 1), 1.0f, 0), 2);
    EXPECT_EQ(m_mgr.AddRotation(Vector3(1, 0, 0), Vector3(), 1.0f, 1.0f, 0), 3);
    EXPECT_EQ(m_mgr.AddFloat(0.0f, 1.0f, 1.0f, 0), 4);
}

TEST_F(CInterpolationMgrTest, IdsNameOneKindOnly)
{
    const int f = m_mgr.AddFloat(0.0f, 1.0f, 1.0f, 0);
    const int v = m_mgr.AddVector3(Vector3(), Vector3(1, 1, 1), 1.0f, 0);
    bool done = true;
    float value = -3.0f;
    Vector3 vector(7, 7, 7);
    EXPECT_FALSE(m_mgr.GetFloat(v, done, value));
    EXPECT_FALSE(m_mgr.GetVector3(f, done, vector));
    EXPECT_FALSE(m_mgr.GetFloat(99, done, value));
    EXPECT_TRUE(done); // untouched
    EXPECT_EQ(value, -3.0f);
    ExpectVector(vector, 7, 7, 7);
}

// A float from 0 to 10 over 2 s, asked at the start, on the way, at the end and half a second
// after the end, in every mode.
TEST_F(CInterpolationMgrTest, FloatRecordInEveryMode)
{
    struct Case
    {
        int mode;
        bool doneAtEnd;
        bool existsAfter;
        float valueAfter; // 0.5 s after the end
        bool doneAfter;
    };
    const Case cases[] = {
        {0, true, true, 10.0f, true},  // hold
        {1, true, false, 0.0f, false}, // removed once done
        {2, false, true, 2.5f, false}, // loops from the start
        {3, false, true, 7.5f, false}, // runs back
        {42, true, true, 10.0f, true}, // unknown modes hold
    };
    for (const Case& c : cases)
    {
        SCOPED_TRACE("mode " + std::to_string(c.mode));
        const int id = m_mgr.AddFloat(0.0f, 10.0f, 2.0f, c.mode);
        bool done = true;
        float value = -1.0f;

        ASSERT_TRUE(m_mgr.GetFloat(id, done, value));
        EXPECT_NEAR(value, 0.0f, kTol);
        EXPECT_FALSE(done);

        Wait(0.5);
        ASSERT_TRUE(m_mgr.GetFloat(id, done, value));
        EXPECT_NEAR(value, 2.5f, kTol);
        EXPECT_FALSE(done);

        Wait(1.5);
        ASSERT_TRUE(m_mgr.GetFloat(id, done, value));
        EXPECT_NEAR(value, 10.0f, kTol);
        EXPECT_EQ(done, c.doneAtEnd);

        Wait(0.5);
        value = -1.0f;
        EXPECT_EQ(m_mgr.GetFloat(id, done, value), c.existsAfter);
        if (c.existsAfter)
        {
            EXPECT_NEAR(value, c.valueAfter, kTol);
            EXPECT_EQ(done, c.doneAfter);
        }
    }
}

TEST_F(CInterpolationMgrTest, PingPongAskedEveryFrameIsOnItsWayBack)
{
    const int id = m_mgr.AddFloat(0.0f, 1.0f, 1.0f, common::INTERP_PINGPONG);
    bool done = false;
    float value = 0.0f;
    for (int frame = 0; frame < 75; ++frame) // 1.25 s at 60 frames a second
    {
        Wait(1.0 / 60.0);
        m_mgr.GetFloat(id, done, value);
        EXPECT_FALSE(done);
    }
    EXPECT_GT(value, 0.7f);
    EXPECT_LT(value, 0.8f);
    float later = 0.0f;
    Wait(0.1);
    m_mgr.GetFloat(id, done, later);
    EXPECT_LT(later, value);
}

TEST_F(CInterpolationMgrTest, Vector3RecordStartMiddleEndAndBack)
{
    const int id = m_mgr.AddVector3(Vector3(0, 0, 0), Vector3(2, 4, -6), 1.0f, common::INTERP_PINGPONG);
    bool done = true;
    Vector3 value;
    ASSERT_TRUE(m_mgr.GetVector3(id, done, value));
    ExpectVector(value, 0, 0, 0);
    Wait(0.25);
    m_mgr.GetVector3(id, done, value);
    ExpectVector(value, 0.5f, 1, -1.5f);
    EXPECT_FALSE(done);
    Wait(0.75);
    m_mgr.GetVector3(id, done, value);
    ExpectVector(value, 2, 4, -6); // this call still returns the end value
    EXPECT_FALSE(done);
    Wait(0.25);
    m_mgr.GetVector3(id, done, value);
    ExpectVector(value, 1.5f, 3, -4.5f);
}

TEST_F(CInterpolationMgrTest, ZeroOrNegativeDurationEndsAtOnce)
{
    for (float duration : {0.0f, 5e-8f, -1.0f})
    {
        SCOPED_TRACE(duration);
        bool done = false;
        float value = 0.0f;
        const int f = m_mgr.AddFloat(3.0f, 4.0f, duration, common::INTERP_HOLD);
        ASSERT_TRUE(m_mgr.GetFloat(f, done, value));
        EXPECT_EQ(value, 4.0f);
        EXPECT_TRUE(done);

        done = false;
        Vector3 vector;
        const int v = m_mgr.AddVector3(Vector3(), Vector3(1, 2, 3), duration, common::INTERP_REMOVE);
        ASSERT_TRUE(m_mgr.GetVector3(v, done, vector));
        ExpectVector(vector, 1, 2, 3);
        EXPECT_TRUE(done);
        EXPECT_FALSE(m_mgr.GetVector3(v, done, vector));
    }
}

TEST_F(CInterpolationMgrTest, RotationTurnsTheOffsetInTheXYPlane)
{
    const float quarter = 1.5707964f;
    const float half = std::sqrt(0.5f);
    const int id =
        m_mgr.AddRotation(Vector3(2, 0, 5), Vector3(1, 0, 0), quarter, 1.0f, common::INTERP_REMOVE);
    bool done = true;
    Vector3 value;
    ASSERT_TRUE(m_mgr.GetVector3(id, done, value));
    ExpectVector(value, 1, 0, 0); // the offset, not the point; z dropped
    EXPECT_FALSE(done);
    Wait(0.5);
    m_mgr.GetVector3(id, done, value);
    ExpectVector(value, half, half, 0);
    Wait(0.5);
    ASSERT_TRUE(m_mgr.GetVector3(id, done, value));
    ExpectVector(value, 0, 1, 0);
    EXPECT_TRUE(done);
    EXPECT_FALSE(m_mgr.GetVector3(id, done, value));
}

TEST_F(CInterpolationMgrTest, RotationHoldsOrReversesWhenDone)
{
    const float quarter = 1.5707964f;
    const float half = std::sqrt(0.5f);
    const int hold =
        m_mgr.AddRotation(Vector3(2, 0, 0), Vector3(1, 0, 0), quarter, 1.0f, common::INTERP_HOLD);
    const int back =
        m_mgr.AddRotation(Vector3(2, 0, 0), Vector3(1, 0, 0), quarter, 1.0f, common::INTERP_PINGPONG);
    bool done = false;
    Vector3 value;
    Wait(1.0);
    m_mgr.GetVector3(back, done, value);
    ExpectVector(value, 0, 1, 0);
    EXPECT_FALSE(done);
    // Point and centre exchanged: the offset is reversed and turns again from there.
    Wait(0.5);
    m_mgr.GetVector3(back, done, value);
    ExpectVector(value, -half, -half, 0);

    Wait(3.0);
    m_mgr.GetVector3(hold, done, value);
    ExpectVector(value, 0, 1, 0); // the full turn
    EXPECT_TRUE(done);
}

TEST(CInterpolationMgr, InstanceIsOneManager)
{
    EXPECT_EQ(&CInterpolationMgr::Instance(), &CInterpolationMgr::Instance());
}
