#include "game/CRoom.h"

#include "common/math/MathUtil.h"
#include "engine/Gob.h"
#include "engine/GobManager.h"
#include "engine/POVComp.h"
#include "engine/gfx/CWaterManager.h"
#include "game/CCamera.h"
#include "game/CPuzzle.h"
#include "game/CQUORB.h"
#include "game/ConstructionQuadComp.h"

#include <cmath>
#include <iostream>

namespace QUORB
{
const char* const CRoom::kDefaultEnvFile = "DefaultRoomEnv.xml";

namespace
{
const char* const kConstructionQuads[CRoom::kFaceCount] = {"CQFront", "CQRight", "CQBack", "CQLeft"};
} // namespace

CRoom::CRoom() : m_envFileName(kDefaultEnvFile)
{
    CQUORB* game = CQUORB::Get();
    LoadEnvironment((game ? game->GetEnvFilePath() : std::string()) + m_envFileName);
    CreateConstructionQuads();
}

CRoom::~CRoom()
{
    m_puzzles.clear();
    m_focusedFace = -1;
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
        camera->InterpolateLookAt((quad.p0 + quad.p2) * 0.5f, 1.0f);
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
    if (CPuzzle* puzzle = m_focusedFace >= 0 ? GetPuzzle(static_cast<unsigned>(m_focusedFace)) : nullptr)
        puzzle->Update(time, dt);
}

void CRoom::DestroyEnvGobs()
{
    for (std::uint32_t id : m_envGobIDs)
        GobManager::Instance().KillGobByID(id);
    m_envGobIDs.clear();
    dorvo::gfx::CWaterManager::Instance().SetActiveWater(nullptr);
}

void CRoom::LoadEnvironment(const std::string&)
{
    // The environment file's objects come with the room files' reader.
    DestroyEnvGobs();
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
            std::cerr << "CRoom::CreateConstructionQuads - no \"" << kConstructionQuads[face]
                      << "\" object with a construction quad could be made; the face stays empty.\n";
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
} // namespace QUORB
