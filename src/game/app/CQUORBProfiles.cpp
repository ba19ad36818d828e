// The game's settings record at work: the graphics quality, the room lists and their locks, the
// player profiles, and the checks on every name that becomes a file name.
#include "game/app/CQUORB.h"

#include "common/ConsoleInterface.h"
#include "engine/gfx/core/CDorvoGfx.h"
#include "engine/gfx/postprocess/CPostProcessor.h"
#include "game/app/MenuSend.h"
#include "game/files/GameDataFiles.h"
#include "game/files/IsSafeFileName.h"
#include "game/files/Profile.h"
#include "platform/files.h"
#include "platform/log.h"

#include <algorithm>
#include <cctype>
#include <cstdio>
#include <memory>

namespace QUORB
{
namespace
{
const char* const kBlankProfile = "Blank.xml";

// The post-processing chain of the "High" quality, in order.
const unsigned kHighQualityChain[] = {42, 45, 46, 19, 47, 0, 48, 49, 1, 39};

bool Contains(const std::vector<std::string>& list, const std::string& name)
{
    return std::find(list.begin(), list.end(), name) != list.end();
}
} // namespace

// ---- names ----

bool CQUORB::IsReservedFileName(FileKind kind, const std::string& name) const
{
    return QUORB::IsReservedFileName(kind, name, m_settings.m_roomsMadeByUs, m_madeByUs);
}

bool CQUORB::CheckFileName(const std::string& name)
{
    if (IsSafeFileName(name))
        return true;
    common::ConsoleInterface::ShowLine("ERROR: Invalid file name: " + name);
    return false;
}

bool CQUORB::CheckWritableFileName(FileKind kind, const std::string& name) const
{
    if (!CheckFileName(name))
        return false;
    if (!IsReservedFileName(kind, name))
        return true;
    common::ConsoleInterface::ShowLine("ERROR: Reserved file name: " + name);
    return false;
}

std::string CQUORB::OtherCaseFile(const std::string& folder, const std::string& name) const
{
    for (const std::string& file : plat::ListFiles(folder + "*"))
        if (file != name && EqualsIgnoringCase(file, name))
            return file;
    return std::string();
}

bool CQUORB::CheckNoOtherCaseFile(const std::string& folder, const std::string& name, const char* what) const
{
    // A file whose name differs only in case is another file: it is never saved over, and a
    // second one beside it would be listed as the same.
    const std::string other = OtherCaseFile(folder, name);
    if (other.empty())
        return true;
    common::ConsoleInterface::ShowLine(std::string("ERROR: The ") + what + " " + other + " differs from " +
                                       name + " only in case; the " + what + " was not saved");
    return false;
}

// ---- settings and room lists ----

void CQUORB::SetGraphicsQuality(const QUORBSettings& settings)
{
    using dorvo::gfx::CDorvoGfx;
    CDorvoGfx& gfx = CDorvoGfx::Instance();
    dorvo::gfx::CPostProcessor& postProcessor = dorvo::gfx::CPostProcessor::Instance();
    gfx.SetRenderFlags(gfx.GetRenderFlags() | CDorvoGfx::RF_MODELS | CDorvoGfx::RF_LINES |
                       CDorvoGfx::RF_POST_PROCESSING);
    postProcessor.ClearQueue();
    const std::string& quality = settings.GraphicsQuality;
    if (quality == "Low")
    {
        gfx.SetRenderFlags(gfx.GetRenderFlags() & ~static_cast<std::uint32_t>(CDorvoGfx::RF_POST_PROCESSING));
    }
    else if (quality == "Medium")
    {
        gfx.QueuePostProcess(42, false);
        gfx.QueuePostProcess(46, false);
    }
    else if (quality == "High")
    {
        postProcessor.ClearQueue();
        for (const unsigned id : kHighQualityChain)
            gfx.QueuePostProcess(id, false);
    }
}

void CQUORB::ScanRoomFiles(const std::string& pattern)
{
    std::vector<std::string> found;
    for (const std::string& name : plat::ListFiles(pattern))
    {
        if (IsSafeFileName(name))
            found.push_back(name);
        else
            DORVO_LOG("CQUORB::ScanRoomFiles: %s: the room file \"%.64s\" has a name the game cannot use; it "
                      "is not listed",
                      pattern.c_str(), name.c_str());
    }
    for (const std::string& name : found)
        if (m_settings.m_roomMap.count(name) == 0 && !Contains(m_settings.m_roomsMadeByPlayer, name))
            m_settings.m_roomsMadeByPlayer.push_back(name);
    const auto gone = [&found](const std::string& name) { return !Contains(found, name); };
    std::vector<std::string>& ours = m_settings.m_roomsMadeByUs;
    ours.erase(std::remove_if(ours.begin(), ours.end(), gone), ours.end());
    std::vector<std::string>& theirs = m_settings.m_roomsMadeByPlayer;
    theirs.erase(std::remove_if(theirs.begin(), theirs.end(), gone), theirs.end());
}

void CQUORB::NoteLastUsedProfile()
{
    // With no profile loaded the player read at start-up stays the last one used. So does the
    // last player when the template is loaded ("loadprofile Blank.xml"): naming it would load the
    // template at every later start, whose progress is never saved.
    if (m_pProfile && !IsReservedFileName(FileKind::Profile, m_pProfile->name))
        m_settings.LastUsedProfile = m_pProfile->name;
    // A template named by a file saved before this rule is not passed on either.
    if (IsReservedFileName(FileKind::Profile, m_settings.LastUsedProfile))
        m_settings.LastUsedProfile.clear();
}

bool CQUORB::SaveSettings()
{
    NoteLastUsedProfile();
    const std::string path = GetXmlPath() + QUORBSettings::kFileName;
    if (SaveSettingsFile(m_settings, path))
        return true;
    common::ConsoleInterface::ShowLine("ERROR: Could not save " + path);
    return false;
}

bool CQUORB::SaveProfileAndSettings()
{
    // Both files or neither: a profile folder that takes the save while the settings folder does
    // not (or the other way round) changes nothing. The template, and no profile at all, leave
    // only the settings to write.
    std::vector<plat::FileToWrite> files;
    bool printed = true;
    bool kept = false;
    if (m_pProfile && !IsReservedFileName(FileKind::Profile, m_pProfile->name) && m_pProfile->partlyRead)
        kept = true; // said below, once the settings are written
    else if (m_pProfile && !IsReservedFileName(FileKind::Profile, m_pProfile->name))
    {
        if (!CheckFileName(m_pProfile->name) ||
            !CheckNoOtherCaseFile(GetProfilePath(), m_pProfile->name, "profile"))
            return false;
        files.push_back(plat::FileToWrite{GetProfilePath() + m_pProfile->name, std::string()});
        printed = ProfileFileBytes(*m_pProfile, files.back().bytes);
    }
    NoteLastUsedProfile();
    const std::string settingsPath = GetXmlPath() + QUORBSettings::kFileName;
    files.push_back(plat::FileToWrite{settingsPath, std::string()});
    printed = SettingsFileBytes(m_settings, files.back().bytes) && printed;
    std::string failed = settingsPath;
    if (printed && plat::SaveRunFiles(files, plat::SaveKind::Data, &failed))
    {
        if (kept)
            ShowKeptProfile();
        return true;
    }
    DORVO_LOG(
        "CQUORB::SaveProfileAndSettings: %s: could not be written; the profile and the settings are kept "
        "as they were",
        failed.c_str());
    common::ConsoleInterface::ShowLine("ERROR: Could not save " + failed +
                                       "; the profile and the settings are kept as they were");
    return false;
}

void CQUORB::AddTeamRoom(const std::string& name)
{
    bool changed = false;
    if (m_settings.m_roomMap.count(name) == 0)
    {
        m_settings.m_roomMap.emplace(name, RoomEntry{name, false});
        changed = true;
    }
    // A room whose file was gone at start-up keeps its map entry; saving it again lists it again.
    if (!Contains(m_settings.m_roomsMadeByUs, name))
    {
        m_settings.m_roomsMadeByUs.push_back(name);
        changed = true;
    }
    if (changed)
        RefreshRoomSelectionMenu(name);
}

void CQUORB::AddPlayerRoom(const std::string& name)
{
    if (Contains(m_settings.m_roomsMadeByPlayer, name))
        return;
    m_settings.m_roomsMadeByPlayer.push_back(name);
    RefreshRoomSelectionMenu(name);
}

void CQUORB::RefreshRoomSelectionMenu(const std::string& name)
{
    SendTextToMenu(MenuTable::kRoomSelectionMenu, MSG_SetCustomData, name);
    SendToMenu(MenuTable::kRoomSelectionMenu, MSG_ResetMenu);
}

void CQUORB::LockAllRooms()
{
    for (auto& entry : m_settings.m_roomMap)
        entry.second.locked = true;
}

void CQUORB::ApplyProfileToRooms(const Profile& profile)
{
    for (const std::string& room : profile.unlockedRooms)
    {
        const auto found = m_settings.m_roomMap.find(room);
        if (found != m_settings.m_roomMap.end())
            found->second.locked = false;
    }
}

// ---- profiles ----

void CQUORB::LoadProfile(std::string fileName)
{
    if (!CheckFileName(fileName))
        return;
    // One name, one file: a name that matches a profile only ignoring case (the file system reads
    // it so) is that profile, and keeps that file's name, so saving it writes no second profile.
    if (!Contains(plat::ListFiles(GetProfilePath() + "*"), fileName))
    {
        const std::string other = OtherCaseFile(GetProfilePath(), fileName);
        if (!other.empty())
            fileName = other;
    }
    if (!m_pProfile)
        m_pProfile = std::make_unique<Profile>();
    else
        LockAllRooms();
    m_pProfile->name = fileName;
    // Emptied first: a missing or broken file must not hand the previous player's rooms on.
    m_pProfile->unlockedRooms.clear();
    m_pProfile->partlyRead = false;
    const std::string path = GetProfilePath() + fileName;
    // A file that is there but cannot be read holds rooms nobody knows: it is never saved over.
    if (!LoadProfileFile(*m_pProfile, path) && plat::FileExists(path))
        m_pProfile->partlyRead = true;
    ApplyProfileToRooms(*m_pProfile);
}

void CQUORB::ShowKeptProfile() const
{
    const std::string line =
        "ERROR: " + GetProfilePath() + m_pProfile->name +
        " could not be read whole when it was loaded; it is kept as it is, not saved over";
    common::ConsoleInterface::ShowLine(line);
    DORVO_LOG("%s", line.c_str());
}

bool CQUORB::SaveProfile()
{
    if (!m_pProfile || !CheckWritableFileName(FileKind::Profile, m_pProfile->name))
        return false;
    if (m_pProfile->partlyRead)
    {
        ShowKeptProfile();
        return false;
    }
    if (!CheckNoOtherCaseFile(GetProfilePath(), m_pProfile->name, "profile"))
        return false;
    const std::string path = GetProfilePath() + m_pProfile->name;
    if (SaveProfileFile(*m_pProfile, path))
        return true;
    common::ConsoleInterface::ShowLine("ERROR: Could not save " + path);
    return false;
}

bool CQUORB::CreateProfile(const std::string& name)
{
    if (!CheckWritableFileName(FileKind::Profile, name))
        return false;
    if (plat::FileExists(GetProfilePath() + name))
    {
        common::ConsoleInterface::ShowLine("ERROR: Profile already exists: " + name);
        return false;
    }
    // Kept until the new profile is on disk: a creation that could not be saved must leave the
    // player where they were, not in a blank profile under a name that has no file.
    std::unique_ptr<Profile> previous = m_pProfile ? std::make_unique<Profile>(*m_pProfile) : nullptr;
    LoadProfile(kBlankProfile);
    m_pProfile->name = name;
    m_pProfile->partlyRead = false; // a new file: nothing of it can be lost
    if (!SaveProfile())
    {
        LockAllRooms();
        m_pProfile = std::move(previous);
        if (m_pProfile)
            ApplyProfileToRooms(*m_pProfile);
        return false;
    }
    if (std::none_of(m_profileFiles.begin(), m_profileFiles.end(),
                     [&name](const std::string& file) { return EqualsIgnoringCase(file, name); }))
        m_profileFiles.push_back(name);
    return true;
}
} // namespace QUORB
