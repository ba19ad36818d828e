// Any file through the settings reader, and any text through the file-name checks.
// A settings file either loads into a record whose room names are all usable file names, whose
// room map holds exactly the rooms made by us, locked, and which saves and reads back to the same
// record; or it leaves the defaults. A name the check passes, put below a folder, stays in that
// folder; a reserved name stays reserved in any letter case.
// Bounded run: 5000 inputs
#include "FuzzSupport.h"

#include "game/files/IsSafeFileName.h"
#include "game/files/QUORBSettings.h"

#include <cctype>
#include <filesystem>
#include <fstream>
#include <string>

namespace
{
std::string Upper(std::string text)
{
    for (char& c : text)
        c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
    return text;
}

void CheckName(const std::string& name)
{
    if (QUORB::IsSafeFileName(name))
    {
        const std::filesystem::path path = std::filesystem::path("folder") / name;
        FUZZ_CHECK(path.lexically_normal().parent_path() == "folder", "a safe name leaves its folder");
        FUZZ_CHECK(path.filename().string() == name, "a safe name is not one file name");
        FUZZ_CHECK(name.size() <= QUORB::kMaxFileNameLength, "a safe name is too long");
    }
    const std::vector<std::string> ours{"Tutorial.xml", name};
    for (const QUORB::FileKind kind :
         {QUORB::FileKind::Profile, QUORB::FileKind::Room, QUORB::FileKind::Puzzle})
        for (const bool madeByUs : {false, true})
            FUZZ_CHECK(QUORB::IsReservedFileName(kind, name, ours, madeByUs) ==
                           QUORB::IsReservedFileName(kind, Upper(name), ours, madeByUs),
                       "a reserved name depends on its letter case");
    FUZZ_CHECK(QUORB::IsReservedFileName(QUORB::FileKind::Room, name, ours, false),
               "a room made by us is not reserved while the flag is clear");
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
    const std::string text(reinterpret_cast<const char*>(data), size);
    CheckName(text.substr(0, 200));

    std::ofstream("S.xml", std::ios::binary) << text;
    QUORB::QUORBSettings settings;
    if (!QUORB::LoadSettingsFile(settings, "S.xml"))
    {
        FUZZ_CHECK(settings.GraphicsQuality == "Medium" && settings.m_gameSkins.empty() &&
                       settings.m_roomMap.empty() && settings.m_roomsMadeByUs.empty() &&
                       settings.m_roomsMadeByPlayer.empty() && settings.LastUsedProfile.empty(),
                   "a refused settings file did not leave the defaults");
        return 0;
    }
    std::size_t locked = 0;
    for (const std::string& room : settings.m_roomsMadeByUs)
    {
        FUZZ_CHECK(QUORB::IsSafeFileName(room), "a room made by us is no usable file name");
        const auto entry = settings.m_roomMap.find(room);
        FUZZ_CHECK(entry != settings.m_roomMap.end() && entry->second.locked,
                   "a room made by us is not locked");
    }
    for (const auto& entry : settings.m_roomMap)
        locked += entry.second.locked ? 1 : 0;
    FUZZ_CHECK(locked == settings.m_roomMap.size(), "the room map holds an unlocked room after reading");
    for (const std::string& room : settings.m_roomsMadeByPlayer)
        FUZZ_CHECK(QUORB::IsSafeFileName(room), "a player room is no usable file name");
    for (const auto& skin : settings.m_gameSkins)
        FUZZ_CHECK(!skin.first.empty() && skin.second, "a skin without a name or colours was kept");

    FUZZ_CHECK(QUORB::SaveSettingsFile(settings, "A.xml"), "read settings could not be saved");
    QUORB::QUORBSettings again;
    FUZZ_CHECK(QUORB::LoadSettingsFile(again, "A.xml"), "saved settings do not read back");
    FUZZ_CHECK(again.GraphicsQuality == settings.GraphicsQuality &&
                   again.m_roomsMadeByUs == settings.m_roomsMadeByUs &&
                   again.m_roomsMadeByPlayer == settings.m_roomsMadeByPlayer &&
                   again.LastUsedProfile == settings.LastUsedProfile &&
                   again.m_roomMap.size() == settings.m_roomMap.size() &&
                   again.m_gameSkins.size() == settings.m_gameSkins.size(),
               "the settings changed between a save and a read");
    for (const auto& skin : settings.m_gameSkins)
    {
        const auto other = again.m_gameSkins.find(skin.first);
        FUZZ_CHECK(other != again.m_gameSkins.end(), "a skin was lost between a save and a read");
    }
    return 0;
}
