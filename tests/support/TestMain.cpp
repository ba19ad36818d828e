// Every test program starts here: headless backends and the test clock, so no test opens a
// window, plays a sound or waits on wall time.
#include "platform/win32.h"

#include <gtest/gtest.h>

#include <cstdlib>

int main(int argc, char** argv)
{
    ::setenv("DORVO_HEADLESS", "1", 1);
    plat::testclock::Enable(true);
    plat::testclock::Set(1.0);
    ::testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
