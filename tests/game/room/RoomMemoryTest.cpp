// Loading rooms over and over keeps nothing: the heap after many loads of the Tutorial and the
// empty room is where it was after the first few.
#include "GameTestWorld.h"

#include "TestSupport.h"
#include "game/app/CQUORB.h"
#include "game/room/CRoom.h"

#include <gtest/gtest.h>

#include <cstddef>
#include <fstream>
#include <iterator>
#include <string>

#if defined(__SANITIZE_ADDRESS__)
// The address sanitizer's count of the bytes its allocator holds for the program.
extern "C" std::size_t __sanitizer_get_current_allocated_bytes();
#else
#include <malloc.h>
#endif

using gametest::GameTestSetup;
using gametest::GameTestWorld;

namespace
{
std::size_t HeapBytesInUse()
{
#if defined(__SANITIZE_ADDRESS__)
    return __sanitizer_get_current_allocated_bytes();
#else
    return mallinfo2().uordblks;
#endif
}

std::string ReadText(const std::string& path)
{
    std::ifstream in(path, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

GameTestSetup ShippedRooms()
{
    GameTestSetup setup;
    setup.copyRooms = true;
    setup.files["files/profiles/Blank.xml"] =
        ReadText(testsupport::RepoPath("data/files/profiles/Blank.xml"));
    return setup;
}
} // namespace

TEST(RoomMemoryTest, LoadingRoomsAgainAndAgainKeepsNothing)
{
    GameTestWorld world(ShippedRooms());
    ASSERT_TRUE(world.Booted());
    world.Frames(2);
    world.Console("loadprofile Blank.xml");
    world.Console("loadroom Tutorial.xml false");
    ASSERT_EQ(world.Game().GetRoom()->GetRoomName(), "Tutorial.xml");
    ASSERT_EQ(world.Game().GetRoom()->GetPuzzleCount(), 4u);
    auto loadBoth = [&world]
    {
        world.Console("loadroom Tutorial.xml false");
        world.Frame();
        world.Console("loadroom EmptyRoom.xml false");
        world.Frame();
    };
    // The first loads fill what is bounded but not empty (the device's records of released
    // textures, the object allocator's pages, the lists' capacities).
    for (int i = 0; i < 40; ++i)
        loadBoth();
    ASSERT_EQ(world.Game().GetRoom()->GetRoomName(), "EmptyRoom.xml");
    const std::size_t before = HeapBytesInUse();
    constexpr int kLoads = 60;
    for (int i = 0; i < kLoads; ++i)
        loadBoth();
    const std::size_t after = HeapBytesInUse();
    const double perLoad = (static_cast<double>(after) - static_cast<double>(before)) / (2 * kLoads);
    // A few bytes a load are the collision detector's page table, which ids fill slowly.
    EXPECT_LT(perLoad, 64.0) << "bytes kept per room load: the heap went from " << before << " to " << after;
}
