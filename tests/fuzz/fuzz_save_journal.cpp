// The record a group save leaves while its files are renamed, on any bytes, found beside a room
// with a killed save's files around it: settling it never changes a file outside the folders
// beside the record, never leaves the record behind, and leaves each file it names either as it
// was, or the temporary file's content, or (a file the save made) absent.
// Bounded run: 20000 inputs
#include "FuzzSupport.h"

#include "platform/files.h"

#include <cstdint>
#include <filesystem>
#include <map>
#include <string>

namespace fs = std::filesystem;

namespace
{
// Every regular file below the folder with its bytes.
std::map<std::string, std::string> Tree(const std::string& folder)
{
    std::map<std::string, std::string> files;
    std::error_code ec;
    for (fs::recursive_directory_iterator it(folder, ec), end; !ec && it != end; it.increment(ec))
        if (it->is_regular_file(ec))
            files[it->path().generic_string()] = fuzzsupport::ReadFile(it->path().generic_string());
    return files;
}
} // namespace

extern "C" int LLVMFuzzerInitialize(int*, char***)
{
    fuzzsupport::Init();
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    fuzzsupport::InWorkFolder here;
    fs::create_directories("Game/files/rooms");
    fs::create_directories("Game/files/puzzles");
    fs::create_directories("Elsewhere");
    fuzzsupport::WriteFile("Game/files/rooms/Lab.xml", "old room");
    fuzzsupport::WriteFile("Game/files/puzzles/Lab_Puzzle_0.xml", "new puzzle 0");
    fuzzsupport::WriteFile("Game/files/puzzles/Lab_Puzzle_0.xml.old", "old puzzle 0");
    fuzzsupport::WriteFile("Game/files/puzzles/Lab_Puzzle_1.xml", "old puzzle 1");
    fuzzsupport::WriteFile("Game/files/puzzles/Lab_Puzzle_1.xml.tmp", "new puzzle 1");
    fuzzsupport::WriteFile("Game/files/rooms/Lab.xml.tmp", "new room");
    fuzzsupport::WriteFile("Game/keep.txt", "keep");
    fuzzsupport::WriteFile("Elsewhere/keep.txt", "keep");
    fuzzsupport::WriteFile("Elsewhere/keep.txt.tmp", "replacement");
    fuzzsupport::WriteFile("keep.txt", "keep");
    fuzzsupport::WriteFile("Game/files/rooms/Lab.xml.journal",
                           std::string(reinterpret_cast<const char*>(data), size));
    const std::map<std::string, std::string> before = Tree(".");

    FUZZ_CHECK(plat::RepairInterruptedSave("Game/files/rooms/Lab.xml"), "a record was not seen");
    FUZZ_CHECK(!fs::exists("Game/files/rooms/Lab.xml.journal"), "the record was left behind");
    FUZZ_CHECK(!plat::RepairInterruptedSave("Game/files/rooms/Lab.xml"), "a record was settled twice");

    const std::map<std::string, std::string> after = Tree(".");
    for (const auto& [path, bytes] : after)
    {
        if (path.find("./Game/files/") != 0)
        {
            const auto old = before.find(path);
            FUZZ_CHECK(old != before.end() && old->second == bytes,
                       path + " outside the game's files changed");
            continue;
        }
        // A file the record names holds its old bytes, its temporary file's or a second name's.
        const auto old = before.find(path);
        const auto temporary = before.find(path + ".tmp");
        const auto second = before.find(path + ".old");
        FUZZ_CHECK((old != before.end() && old->second == bytes) ||
                       (temporary != before.end() && temporary->second == bytes) ||
                       (second != before.end() && second->second == bytes),
                   path + " holds bytes it never had");
    }
    for (const auto& [path, bytes] : before)
        if (path.find("./Game/files/") != 0)
            FUZZ_CHECK(after.count(path) == 1, path + " outside the game's files is gone");
    return 0;
}
