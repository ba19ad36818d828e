#include "game/manipulator/WidgetManipulatorHelpers.h"

#include "common/math/Vector3.h"
#include "engine/Gob.h"
#include "engine/POVComp.h"
#include "engine/SoundSystem.h"
#include "engine/phy/DynamicsEngine.h"
#include "game/app/CQUORB.h"
#include "game/room/CPuzzle.h"
#include "game/widgets/IWidgetData.h"
#include "game/widgets/WidgetDataComp.h"
#include "platform/log.h"

#include <set>

namespace QUORB
{
namespace manipulator
{
CQUORB* Game()
{
    return CQUORB::Get();
}

CPuzzle* FocusedPuzzle()
{
    const CQUORB* game = Game();
    return game != nullptr ? game->GetFocusedPuzzle() : nullptr;
}

int FocusedFace()
{
    const CQUORB* game = Game();
    return game != nullptr ? game->GetFocusedFace() : -1;
}

math::Vector3 FaceNormal()
{
    math::Vector3 normal;
    if (const CQUORB* game = Game())
        game->GetFocusedFaceNormal(normal);
    return normal;
}

bool LongAxisIsX(int face)
{
    return face == 0 || face == 2;
}

bool LongAxisIsZ(int face)
{
    return face == 1 || face == 3;
}

bool IsPhysicsPaused()
{
    return dorvo::phy::DynamicsEngine::Instance().paused;
}

void PlaySound(const char* path)
{
    dorvo::SoundSystem::Instance().PlayEvent(path, nullptr, nullptr);
}

void ReportMissing(const Gob* gob, const char* what, const char* step)
{
    DORVO_LOG("WidgetManipulator: archetype \"%s\": the object has no %s; %s is skipped",
              gob != nullptr ? gob->GetArchetypeName().c_str() : "", what, step);
}

void ReportMissingOnce(const Gob* gob, const char* what, const char* step)
{
    static std::set<std::string> reported;
    const std::string key =
        (gob != nullptr ? gob->GetArchetypeName() : std::string()) + '\n' + what + '\n' + step;
    if (reported.insert(key).second)
        ReportMissing(gob, what, step);
}

void ReportNotBuilt(const char* archetype, const Gob* owner, const char* part)
{
    DORVO_LOG(
        "WidgetManipulator: archetype \"%s\": it made no object for the \"%s\"; that is placed without %s",
        archetype, owner != nullptr ? owner->GetArchetypeName().c_str() : "", part);
}

void Refile(Gob* gob)
{
    if (POVComp* pov = GetPOVComp(gob))
        pov->SetPosition(pov->GetPosition(), true);
}

int PaidFor(Gob* gob)
{
    const WidgetDataComp* data = WidgetDataComp::Of(gob);
    return data != nullptr && data->GetData() != nullptr ? data->GetData()->GetCost() : 0;
}

void KeepPaid(CPuzzle* puzzle, Gob* gob, int paid)
{
    const WidgetDataComp* data = WidgetDataComp::Of(gob);
    if (data != nullptr && data->GetData() != nullptr)
        data->GetData()->SetCost(paid);
    else if (puzzle != nullptr)
        puzzle->RefundBudget(paid);
}
} // namespace manipulator
} // namespace QUORB
