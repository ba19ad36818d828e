// The game's test setup as it ships: the committed "Startup.lua" (so the node break rules the
// Tutorial is tuned for), settings, rooms, puzzles and the template profile. Used by the tests that
// play the Tutorial as a player meets it.
#pragma once

#include "GameTestWorld.h"

#include "TestSupport.h"

#include <fstream>
#include <iterator>
#include <string>

namespace gametest
{
inline GameTestSetup ShippedSetup()
{
    auto read = [](const std::string& path)
    {
        std::ifstream in(testsupport::RepoPath(path), std::ios::binary);
        return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
    };
    GameTestSetup setup;
    setup.copyRooms = true;
    setup.writeStartup = false;
    setup.files["Startup.lua"] = read("data/scripts/Startup.lua");
    setup.files["files/profiles/Blank.xml"] = read("data/files/profiles/Blank.xml");
    return setup;
}
} // namespace gametest
