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

void ShowOnConsole(const std::string& line)
{
    common::ConsoleInterface::Instance().WriteToConsole(line, common::FF_Display, false);
}

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
    ShowOnConsole("ERROR: Invalid file name: " + name);
    return false;
}

bool CQUORB::CheckWritableFileName(FileKind kind, const std::string& name) const
{
    if (!CheckFileName(name))
        return false;
    if (!IsReservedFileName(kind, name))
        return true;
    ShowOnConsole("ERROR: Reserved file name: " + name);
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
    ShowOnConsole("ERROR: Could not save " + path);
    return false;
}

bool CQUORB::SaveProfileAndSettings()
{
    // Both files or neither: a profile folder that takes the save while the settings folder does
    // not (or the other way round) changes nothing. The template, and no profile at all, leave
    // only the settings to write.
    std::vector<plat::FileToWrite> files;
    bool printed = true;
    if (m_pProfile && !IsReservedFileName(FileKind::Profile, m_pProfile->name))
    {
        if (!CheckFileName(m_pProfile->name))
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
        return true;
    ShowOnConsole("ERROR: Could not save " + failed + "; the profile and the settings are kept as they were");
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
    if (!m_pProfile)
        m_pProfile = std::make_unique<Profile>();
    else
        LockAllRooms();
    m_pProfile->name = fileName;
    // Emptied first: a missing or broken file must not hand the previous player's rooms on.
    m_pProfile->unlockedRooms.clear();
    LoadProfileFile(*m_pProfile, GetProfilePath() + fileName);
    ApplyProfileToRooms(*m_pProfile);
}

bool CQUORB::SaveProfile()
{
    if (!m_pProfile || !CheckWritableFileName(FileKind::Profile, m_pProfile->name))
        return false;
    const std::string path = GetProfilePath() + m_pProfile->name;
    if (SaveProfileFile(*m_pProfile, path))
        return true;
    ShowOnConsole("ERROR: Could not save " + path);
    return false;
}

bool CQUORB::CreateProfile(const std::string& name)
{
    if (!CheckWritableFileName(FileKind::Profile, name))
        return false;
    if (plat::FileExists(GetProfilePath() + name))
    {
        ShowOnConsole("ERROR: Profile already exists: " + name);
        return false;
    }
    // Kept until the new profile is on disk: a creation that could not be saved must leave the
    // player where they were, not in a blank profile under a name that has no file.
    std::unique_ptr<Profile> previous = m_pProfile ? std::make_unique<Profile>(*m_pProfile) : nullptr;
    LoadProfile(kBlankProfile);
    m_pProfile->name = name;
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
