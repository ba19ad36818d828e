#include "game/room/CRoom.h"

#include "common/ConsoleInterface.h"
#include "common/math/MathUtil.h"
#include "engine/Gob.h"
#include "engine/GobManager.h"
#include "engine/POVComp.h"
#include "engine/gfx/core/CLightsManager.h"
#include "engine/gfx/water/CWaterManager.h"
#include "engine/phy/DynamicsEngine.h"
#include "game/app/CQUORB.h"
#include "game/camera/CCamera.h"
#include "game/files/GameDataFiles.h"
#include "game/room/CPuzzle.h"
#include "game/room/RoomData.h"
#include "game/widgets/ConstructionQuadComp.h"
#include "platform/files.h"
#include "platform/log.h"

#include <algorithm>
#include <cctype>
#include <cmath>

namespace QUORB
{
const char* const CRoom::kDefaultEnvFile = "DefaultRoomEnv.xml";
const char* const CRoom::kDefaultPuzzleNames[CRoom::kFaceCount] = {"DefaultFront.xml", "DefaultRight.xml",
                                                                   "DefaultBack.xml", "DefaultLeft.xml"};

namespace
{
const char* const kConstructionQuads[CRoom::kFaceCount] = {"CQFront", "CQRight", "CQBack", "CQLeft"};

constexpr float kGravity = 9.8f;       // world units per second squared, straight down
constexpr float kUpTurnSeconds = 0.1f; // the camera back upright after a puzzle is rebuilt

// A puzzle file name that stays below PUZZLE_PATH: not empty, no folder separators, no "..".
bool IsPlainFileName(const std::string& name)
{
    return !name.empty() && name.find('/') == std::string::npos && name.find('\\') == std::string::npos &&
           name.find("..") == std::string::npos;
}

// The name without a trailing ".xml" in any case; the whole name when it has none.
std::string RoomBaseName(const std::string& name)
{
    static const std::string kExtension = ".xml";
    if (name.size() < kExtension.size())
        return name;
    const std::size_t start = name.size() - kExtension.size();
    for (std::size_t i = 0; i < kExtension.size(); ++i)
        if (std::tolower(static_cast<unsigned char>(name[start + i])) != kExtension[i])
            return name;
    return name.substr(0, start);
}
} // namespace

CRoom::CRoom() : m_envFileName(kDefaultEnvFile)
{
    LoadEnvironment(CQUORB::GetEnvFilePath() + m_envFileName);
    CreateConstructionQuads();
}

CRoom::~CRoom()
{
    ClearPuzzles();
    DestroyEnvGobs();
}

CPuzzle* CRoom::GetPuzzle(unsigned face) const
{
    return face < kFaceCount && face < m_puzzles.size() ? m_puzzles[face].get() : nullptr;
}

void CRoom::FocusFace(unsigned face)
{
    if (face >= kFaceCount)
        return;
    m_focusedFace = static_cast<int>(face);
    CQUORB* game = CQUORB::Get();
    if (!game)
        return;
    game->SetFocusedFace(m_focusedFace);
    const math::Quad& quad = m_faces[face];
    if (CCamera* camera = game->GetGameCamera())
        camera->GlideLookAt((quad.p0 + quad.p2) * 0.5f, 1.0f);
}

void CRoom::FocusNextFace()
{
    static unsigned s_next = 0; // shared by every room
    if (m_puzzles.empty() || s_next >= m_puzzles.size())
        s_next = 0;
    FocusFace(s_next);
    ++s_next;
}

void CRoom::FocusNearestFace(bool right)
{
    const float position = m_facePosition;
    const float whole = std::floor(position);
    int face = 0;
    if (math::FloatEqual(position, whole))
        face = static_cast<int>(whole) + (right ? 1 : -1);
    else
        face = right ? static_cast<int>(std::ceil(position)) : static_cast<int>(whole);
    face = ((face % 4) + 4) % 4;
    FocusFace(static_cast<unsigned>(face));
}

void CRoom::Update(double time, float dt)
{
    CPuzzle* puzzle = m_focusedFace >= 0 ? GetPuzzle(static_cast<unsigned>(m_focusedFace)) : nullptr;
    if (!puzzle)
        return;
    // The re-snap after a rebuild sets each widget again from its nodes, which moves it by a
    // rounding: a puzzle that was as its file holds it before stays so, in either form.
    const unsigned face = static_cast<unsigned>(m_focusedFace);
    const bool resnapDue = dorvo::phy::DynamicsEngine::Instance().paused && puzzle->IsRebuildPending() &&
                           puzzle->GetRebuildFrames() >= CPuzzle::kRebuildFrames;
    const bool filed = resnapDue && IsPuzzleAsFiled(face);
    puzzle->Update(time, dt);
    if (filed && !puzzle->IsRebuildPending() && !IsPuzzleAsFiled(face) &&
        m_filedPuzzles[face].size() < kFiledFormsKept)
        m_filedPuzzles[face].push_back(PuzzleImage(face));
}

void CRoom::PlayPuzzle(unsigned face)
{
    if (CPuzzle* puzzle = GetPuzzle(face))
    {
        // The face played is the one updated each frame: the camera's face tracking focuses the
        // game's face only, so a face the room was never turned to (a room just loaded, the
        // debug camera) would otherwise run without its objectives ever being checked, or
        // another face's would be.
        m_focusedFace = static_cast<int>(face);
        puzzle->Play();
    }
}

void CRoom::ReloadPuzzle(unsigned face)
{
    if (CPuzzle* puzzle = GetPuzzle(face))
    {
        puzzle->Reload();
        RestoreEditingConditions();
    }
}

void CRoom::ResetPuzzle(unsigned face)
{
    if (CPuzzle* puzzle = GetPuzzle(face))
    {
        puzzle->Reset();
        RestoreEditingConditions();
    }
}

void CRoom::StartPuzzle(unsigned face, bool takeSnapshot)
{
    if (CPuzzle* puzzle = GetPuzzle(face))
    {
        puzzle->Start(takeSnapshot);
        RestoreEditingConditions();
    }
}

void CRoom::RestoreEditingConditions()
{
    dorvo::phy::DynamicsEngine& dynamics = dorvo::phy::DynamicsEngine::Instance();
    if (dynamics.paused)
        return;
    if (CQUORB* game = CQUORB::Get())
    {
        game->RestoreWaterLevel();
        game->SetCameraUpLerp(math::Vector3(0.0f, 1.0f, 0.0f), kUpTurnSeconds, nullptr);
    }
    dynamics.gravity = math::Vector3(0.0f, -kGravity, 0.0f);
    dynamics.paused = true;
}

void CRoom::ClearPuzzles()
{
    m_puzzles.clear();
    m_focusedFace = -1;
}

void CRoom::LoadPuzzles(const RoomData& roomData, const std::string& roomFile)
{
    ClearPuzzles();
    const std::vector<std::string>& names = roomData.puzzleNames;
    if (names.size() > kFaceCount)
    {
        // A few names, each cut short, so a room that lists thousands gives a line one can read.
        constexpr std::size_t kNamed = 3, kNameShown = 64;
        std::string extra;
        for (std::size_t i = kFaceCount; i < names.size() && i < kFaceCount + kNamed; ++i)
            extra += (i > kFaceCount ? ", \"" : "\"") +
                     (names[i].size() <= kNameShown ? names[i] : names[i].substr(0, kNameShown) + "...") +
                     "\"";
        if (names.size() > kFaceCount + kNamed)
            extra += " and " + std::to_string(names.size() - kFaceCount - kNamed) + " more";
        DORVO_LOG("CRoom::LoadPuzzles: %s: the room has four faces but lists %zu further puzzle(s) (%s); "
                  "they are not loaded",
                  roomFile.empty() ? "<room>" : roomFile.c_str(), names.size() - kFaceCount, extra.c_str());
    }
    CQUORB* game = CQUORB::Get();
    const std::string puzzlePath = CQUORB::GetPuzzlePath();
    for (std::size_t i = 0; i < names.size() && i < kFaceCount; ++i)
    {
        m_puzzles.push_back(std::make_unique<CPuzzle>());
        // The puzzle's objects are laid out for the face they belong to.
        if (game)
            game->SetFocusedFace(static_cast<int>(i));
        if (!IsPlainFileName(names[i]))
        {
            DORVO_LOG("CRoom::LoadPuzzles: %s: puzzle %zu is named \"%s%s\", which is no file name below the "
                      "puzzle folder; the puzzle stays empty",
                      roomFile.empty() ? "<room>" : roomFile.c_str(), i, names[i].substr(0, 64).c_str(),
                      names[i].size() > 64 ? "..." : "");
            continue;
        }
        LoadPuzzleFile(*m_puzzles.back(), puzzlePath + names[i]);
    }
    dorvo::gfx::CLightsManager::Instance().SetLight(roomData.light);
}

void CRoom::MakeDefaultPuzzles()
{
    ClearPuzzles();
    for (const char* name : kDefaultPuzzleNames)
    {
        m_puzzles.push_back(std::make_unique<CPuzzle>());
        m_puzzles.back()->SetFileName(name);
    }
}

void CRoom::DestroyEnvGobs()
{
    for (std::uint32_t id : m_envGobIDs)
        GobManager::Instance().KillGobByID(id);
    m_envGobIDs.clear();
    dorvo::gfx::CWaterManager::Instance().SetActiveWater(nullptr);
}

void CRoom::LoadEnvironment(const std::string& path)
{
    DestroyEnvGobs();
    LoadEnvironmentFile(m_envGobIDs, CQUORB::GetRoomPath() + path);
}

void CRoom::CreateConstructionQuads()
{
    for (unsigned face = 0; face < kFaceCount; ++face)
    {
        Gob* gob = GobManager::Instance().CreateGob(kConstructionQuads[face]);
        auto* quadComp =
            gob ? dynamic_cast<ConstructionQuadComp*>(gob->GetComponent(ConstructionQuadComp::StaticTypeID()))
                : nullptr;
        if (!quadComp)
        {
            DORVO_LOG("CRoom::CreateConstructionQuads: no \"%s\" object with a construction quad could be "
                      "made; the face stays empty",
                      kConstructionQuads[face]);
            continue;
        }
        const math::Quad& quad = quadComp->GetQuad();
        if (POVComp* pov = quadComp->GetPOVComp())
        {
            const float edge = (quad.p1 - quad.p0).Length();
            pov->SetPosition((quad.p0 + quad.p2) * 0.5f, true);
            pov->SetScale(math::Vector3(edge, edge, edge), true);
        }
        m_faces[face] = quad;
    }
}

bool CRoom::Save(const std::string& name)
{
    const std::string base = RoomBaseName(name);
    if (base.empty())
    {
        common::ConsoleInterface::ShowLine("saveroom: \"" + name +
                                           "\" is no room file name; nothing was written");
        return false;
    }
    RoomData roomData;
    roomData.light = dorvo::gfx::CLightsManager::Instance().GetLight();
    const std::string puzzlePath = CQUORB::GetPuzzlePath();
    // The room's files are written as one: the puzzles, then the room file that names them. A
    // failure anywhere leaves the old room and its puzzles as they were.
    std::vector<plat::FileToWrite> files;
    bool printed = true;
    for (std::size_t i = 0; i < m_puzzles.size(); ++i)
    {
        const std::string fileName = base + "_Puzzle_" + std::to_string(i) + ".xml";
        files.push_back(plat::FileToWrite{puzzlePath + fileName, std::string()});
        printed = PuzzleFileBytes(*m_puzzles[i], files.back().bytes) && printed;
        roomData.puzzleNames.push_back(fileName);
    }
    const std::string roomFile = CQUORB::GetRoomPath() + name;
    files.push_back(plat::FileToWrite{roomFile, std::string()});
    printed = RoomDataFileBytes(roomData, files.back().bytes) && printed;
    std::string failed = roomFile;
    if (!printed || !plat::SaveRunFiles(files, plat::SaveKind::Data, &failed))
    {
        DORVO_LOG("CRoom::Save: %s: could not be written; the room was not saved and its old files are kept",
                  failed.c_str());
        common::ConsoleInterface::ShowLine(
            "saveroom: " + failed +
            " could not be written; the room was not saved and its old files are kept");
        return false;
    }
    // The puzzles take the names of the files that now hold them, and the room its own: it is
    // now the room in that file.
    for (std::size_t i = 0; i < m_puzzles.size(); ++i)
        m_puzzles[i]->SetFileName(roomData.puzzleNames[i]);
    m_roomName = name;
    TakeFiledImage();
    return true;
}

std::string CRoom::PuzzleImage(unsigned face) const
{
    std::string bytes;
    if (const CPuzzle* puzzle = GetPuzzle(face))
        PuzzleFileBytes(*puzzle, bytes);
    return bytes;
}

std::string CRoom::LightImage()
{
    RoomData light;
    light.light = dorvo::gfx::CLightsManager::Instance().GetLight();
    std::string bytes;
    RoomDataFileBytes(light, bytes);
    return bytes;
}

void CRoom::TakeFiledImage()
{
    m_filedPuzzles.clear();
    for (unsigned face = 0; face < m_puzzles.size(); ++face)
        m_filedPuzzles.push_back({PuzzleImage(face)});
    m_filedLight = LightImage();
    m_filed = true;
}

bool CRoom::IsPuzzleAsFiled(unsigned face) const
{
    if (face >= m_filedPuzzles.size())
        return false;
    const std::vector<std::string>& forms = m_filedPuzzles[face];
    return std::find(forms.begin(), forms.end(), PuzzleImage(face)) != forms.end();
}

bool CRoom::IsModified() const
{
    if (!m_filed || m_filedPuzzles.size() != m_puzzles.size() || LightImage() != m_filedLight)
        return true;
    for (unsigned face = 0; face < m_puzzles.size(); ++face)
        if (!IsPuzzleAsFiled(face))
            return true;
    return false;
}

bool CRoom::Load(const std::string& name, bool skipIfLoaded)
{
    if (skipIfLoaded && name == m_roomName && !IsModified())
        return true;
    const std::string path = CQUORB::GetRoomPath() + name;
    // A save of this room that was killed midway is finished or put back before it is read.
    plat::RepairInterruptedSave(path);
    RoomData roomData;
    if (!LoadRoomDataFile(roomData, path))
    {
        // The loader said why; the current room and the player's work stay.
        return false;
    }
    LoadPuzzles(roomData, path);
    m_roomName = name;
    TakeFiledImage();
    return true;
}
} // namespace QUORB
