// The save-room dialog's name rules on any text against any rooms the game knows: every name
// they accept is a plain name, no reserved, campaign (without the QUORBTeam flag) or other known
// room, and it and its puzzles are safe, writable file names; written below the room folder it
// lands there as exactly that file. A refusal is one of the dialog's texts and says the right
// thing for an empty or over-long name.
//
// An input is lines: the flags ("1" first: the QUORBTeam flag), our rooms, the player's rooms,
// the files in the room folder (each line's names split at '|'), the current room's file name,
// and the rest is the typed name.
// Bounded run: 32000 inputs
#include "FuzzSupport.h"

#include "game/files/IsSafeFileName.h"
#include "game/files/ValidateFileBaseName.h"
#include "game/menus/SaveRoomMenu.h"

#include <algorithm>
#include <cstdint>
#include <filesystem>
#include <set>
#include <string>
#include <vector>

namespace fs = std::filesystem;
using QUORB::SaveRoomMenu;

namespace
{
std::string Lower(std::string text)
{
    for (char& c : text)
        if (c >= 'A' && c <= 'Z')
            c = static_cast<char>(c - 'A' + 'a');
    return text;
}

// The next line of the input (without its '\n'); the rest when there is no line break.
std::string TakeLine(std::string& input)
{
    const std::size_t end = input.find('\n');
    std::string line = input.substr(0, end);
    input = end == std::string::npos ? std::string() : input.substr(end + 1);
    return line;
}

std::vector<std::string> Split(const std::string& line)
{
    std::vector<std::string> names;
    std::size_t from = 0;
    while (from <= line.size())
    {
        const std::size_t bar = line.find('|', from);
        const std::string name = line.substr(from, bar == std::string::npos ? std::string::npos : bar - from);
        if (!name.empty())
            names.push_back(name);
        if (bar == std::string::npos)
            break;
        from = bar + 1;
    }
    return names;
}

bool Listed(const std::vector<std::string>& names, const std::string& name)
{
    return std::any_of(names.begin(), names.end(),
                       [&name](const std::string& listed) { return Lower(listed) == Lower(name); });
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
    std::string input(reinterpret_cast<const char*>(data), size);
    SaveRoomMenu::KnownRooms rooms;
    rooms.madeByUs = TakeLine(input).substr(0, 1) == "1";
    rooms.campaignRooms = Split(TakeLine(input));
    rooms.playerRooms = Split(TakeLine(input));
    const std::vector<std::string> files = Split(TakeLine(input));
    std::set<std::string> onDisk;
    for (const std::string& file : files)
        onDisk.insert(Lower(file));
    rooms.roomFileExists = [&onDisk](const std::string& file) { return onDisk.count(Lower(file)) != 0; };
    rooms.currentRoom = TakeLine(input);
    const std::string name = input;

    const char* refusal = SaveRoomMenu::RefusalOf(name, rooms);
    FUZZ_CHECK(refusal == SaveRoomMenu::RefusalOf(name, rooms), "the rules answer differently twice");
    static const char* const kTexts[] = {SaveRoomMenu::kEmptyNameText,    SaveRoomMenu::kBadNameText,
                                         SaveRoomMenu::kLongNameText,     SaveRoomMenu::kReservedNameText,
                                         SaveRoomMenu::kCampaignNameText, SaveRoomMenu::kTakenNameText};
    if (refusal)
    {
        FUZZ_CHECK(std::find(std::begin(kTexts), std::end(kTexts), refusal) != std::end(kTexts),
                   "a refusal that is not one of the dialog's texts");
        FUZZ_CHECK((refusal == SaveRoomMenu::kEmptyNameText) == name.empty(),
                   "an empty name is refused otherwise");
        FUZZ_CHECK(refusal != SaveRoomMenu::kLongNameText || name.size() > QUORB::kMaxFileBaseNameLength,
                   "a short name is refused as too long");
        return 0;
    }

    const std::string file = name + ".xml";
    FUZZ_CHECK(QUORB::ValidateFileBaseName(name) == QUORB::FileBaseNameFault::None,
               "an accepted name breaks the plain-name rule: " + name);
    FUZZ_CHECK(Lower(name) != "emptyroom", "the empty room's name is accepted");
    FUZZ_CHECK(QUORB::IsSafeFileName(file), "an accepted name is no safe file name: " + file);
    FUZZ_CHECK(!QUORB::IsReservedFileName(QUORB::FileKind::Room, file, rooms.campaignRooms, rooms.madeByUs),
               "an accepted name is one the game keeps for itself: " + file);
    for (int puzzle = 0; puzzle < 4; ++puzzle)
        FUZZ_CHECK(QUORB::IsSafeFileName(name + "_Puzzle_" + std::to_string(puzzle) + ".xml"),
                   "an accepted name's puzzles are no safe file names: " + name);
    if (file != rooms.currentRoom)
        FUZZ_CHECK(!Listed(rooms.campaignRooms, file) && !Listed(rooms.playerRooms, file) &&
                       !onDisk.count(Lower(file)),
                   "an accepted name is another room's: " + file);
    else if (!rooms.madeByUs)
        FUZZ_CHECK(!Listed(rooms.campaignRooms, file), "the current campaign room is saved over: " + file);

    // Written below the room folder, the file is that folder's one entry, under exactly that name.
    std::error_code ec;
    fs::remove_all("rooms", ec);
    fs::create_directory("rooms", ec);
    fuzzsupport::WriteFile("rooms/" + file, name);
    std::size_t entries = 0;
    for (const fs::directory_entry& entry : fs::directory_iterator("rooms", ec))
    {
        ++entries;
        FUZZ_CHECK(entry.path().filename().string() == file, "the file landed under another name: " + file);
    }
    FUZZ_CHECK(entries == 1, "the file did not land in the room folder: " + file);
    return 0;
}
