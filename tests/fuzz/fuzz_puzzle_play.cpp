// A puzzle file played: the whole game booted headless once (the game test world: its start-up
// scripts, the committed templates and rooms), then for each input the input is the front puzzle
// of a room, loaded through "loadroom", "play"ed through the console for half a second under the
// real physics and reset. Nothing may crash or read freed memory (the sanitizers watch), and no
// object of the world may stand at a place or have a size that is not a finite number within
// the engine's bound, whatever the file held.
// Bounded run: 60 inputs
#include "FuzzSupport.h"
#include "GameTestWorld.h"

#include "common/math/MathUtil.h"
#include "engine/Gob.h"
#include "engine/GobManager.h"
#include "engine/POVComp.h"
#include "game/app/CQUORB.h"
#include "game/room/CRoom.h"

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <sstream>
#include <string>

#include <unistd.h>

namespace
{
constexpr int kPlayFrames = 15;

const char* const kRoom = "<?xml version=\"1.0\" ?>\n<File><RoomData><string name=\"Name\"></string>"
                          "<list name=\"Puzzles\" size=\"1\"><string name=\"PuzzleName\">Fuzz_Puzzle_0.xml"
                          "</string></list></RoomData></File>\n";

// Kept for the whole run: booting the game is what costs.
gametest::GameTestWorld* s_world = nullptr;
std::string s_runFolder;

void RemoveGameFolder()
{
    std::error_code ec;
    if (s_world != nullptr)
        std::filesystem::remove_all(s_world->Folder(), ec);
}

// The game's own folder while an input plays; libFuzzer's folder again afterwards.
class InGameFolder
{
public:
    InGameFolder()
    {
        if (::chdir(s_world->Folder().c_str()) != 0)
            fuzzsupport::Fail("cannot enter the game's folder");
    }
    ~InGameFolder()
    {
        if (::chdir(s_runFolder.c_str()) != 0)
            std::fputs("cannot leave the game's folder\n", stderr);
    }
    InGameFolder(const InGameFolder&) = delete;
    InGameFolder& operator=(const InGameFolder&) = delete;
};

void CheckTheWorldFinite(const char* when)
{
    GobManager& gobs = GobManager::Instance();
    for (std::uint32_t id = 1; id < gobs.GetNextID(); ++id)
    {
        const Gob* gob = gobs.GetGob(id);
        const POVComp* pov = gob != nullptr ? GetPOVComp(gob) : nullptr;
        if (pov == nullptr || gob->IsKilled())
            continue;
        const math::Vector3 p = pov->GetPosition();
        const math::Vector3 s = pov->GetScale();
        std::ostringstream what;
        what << gob->GetArchetypeName() << " at " << p << " scaled " << s << " " << when;
        FUZZ_CHECK(math::IsValidFloat(p.x) && math::IsValidFloat(p.y) && math::IsValidFloat(p.z), what.str());
        FUZZ_CHECK(math::IsValidFloat(s.x) && math::IsValidFloat(s.y) && math::IsValidFloat(s.z), what.str());
    }
}
} // namespace

extern "C" int LLVMFuzzerInitialize(int*, char***)
{
    fuzzsupport::Init();
    s_runFolder = std::filesystem::current_path().string();
    gametest::GameTestSetup setup;
    setup.copyRooms = true;
    setup.files["files/rooms/Fuzz.xml"] = kRoom;
    s_world = new gametest::GameTestWorld(setup); // kept to the end of the run
    std::atexit(&RemoveGameFolder);
    if (!s_world->Booted())
        fuzzsupport::Fail("the game did not boot");
    s_world->Frames(2);
    if (::chdir(s_runFolder.c_str()) != 0)
        fuzzsupport::Fail("cannot leave the game's folder");
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    InGameFolder here;
    fuzzsupport::WriteFile("files/puzzles/Fuzz_Puzzle_0.xml",
                           std::string(reinterpret_cast<const char*>(data), size));
    gametest::GameTestWorld& world = *s_world;
    world.Console("loadroom Fuzz.xml false");
    QUORB::CRoom* room = world.Game().GetRoom();
    FUZZ_CHECK(room != nullptr && room->GetPuzzleCount() == 1, "the room did not load its one puzzle");
    room->FocusFace(0);
    world.Frame();
    CheckTheWorldFinite("after loading");
    world.Console("play");
    world.Frames(kPlayFrames);
    CheckTheWorldFinite("while playing");
    world.Console("resetfocusedpuzzle");
    world.Frames(2);
    CheckTheWorldFinite("after the reset");
    return 0;
}
