#include "game/menus/TimerObjMenu.h"

#include "common/math/Vector3.h"
#include "engine/Gob.h"
#include "engine/POVComp.h"
#include "engine/gfx/sprites/CTextSprite.h"
#include "engine/gfx/sprites/Gfx2DComp.h"
#include "game/camera/WorldToScreen.h"
#include "game/menus/MenuText.h"
#include "game/menus/PuzzleMenuCalls.h"
#include "game/objectives/CTimeLimit.h"
#include "game/objectives/ObjectiveComp.h"
#include "game/room/CPuzzle.h"

#include <iomanip>
#include <memory>
#include <sstream>

namespace QUORB
{
namespace
{
const char* const kTimeText = "TimeText";
} // namespace

TimerObjMenu::TimerObjMenu(StateMachineComponent* owner) : StaticMenu(owner) {}

std::string TimerObjMenu::FormatTimeLeft(float seconds)
{
    // NaN as well as a negative time reads as 0.
    const double t = seconds > 0.0f ? static_cast<double>(seconds) : 0.0;
    std::ostringstream fixed;
    fixed << std::fixed << std::setprecision(2) << t;
    std::string text = fixed.str();
    // The zeros go by the digits written, so 99.996 (written 100.00) gets none.
    const std::size_t point = text.find('.');
    if (point != std::string::npos && point < 3)
        text.insert(0, 3 - point, '0');
    return text;
}

void TimerObjMenu::Init()
{
    m_openTime = 0.0f;
    m_closeTime = 0.0f;
    const float white[4] = {1.0f, 1.0f, 1.0f, 1.0f};
    // The white time floats over the room, whose walls are light: a dark shadow keeps it readable
    // on them.
    dorvo::gfx::STextStyle style(4, white);
    const float shadow[4] = {0.1f, 0.08f, 0.06f, 0.9f};
    style.SetShadow(shadow, 2, 2);
    auto text = MakeMenuText(kTimeText, "0:00", style, 0, 0, 150);
    // A text sprite takes its pivot from its current animation, which draws nothing of its own.
    const int pivot[2] = {kPivotX, kPivotY};
    text->AddGridAnimation("Pivot", 0, 0, 1, 0, 0, 50, pivot, false);
    AddUnit(std::move(text));
}

void TimerObjMenu::UpdateOpen()
{
    dorvo::gfx::Gfx2DComp* comp = GetGfx2DComp();
    dorvo::gfx::CTextSprite* text = comp ? comp->GetTextSprite(kTimeText) : nullptr;
    if (!text)
        return;
    // No focused puzzle counts as no time limit.
    const CPuzzle* puzzle = GetFocusedPuzzleOfGame();
    Gob* objective = puzzle ? puzzle->GetObjectiveGob(CPuzzle::OT_TimeLimit) : nullptr;
    ObjectiveComp* objectiveComp = ObjectiveComp::Of(objective);
    CTimeLimit* limit = objectiveComp ? objectiveComp->AsTimeLimit() : nullptr;
    const POVComp* pov = objective ? GetPOVComp(objective) : nullptr;
    if (!limit || !pov || !IsGameInEditorMode())
    {
        text->SetVisible(false, false);
        return;
    }
    const math::Vector3 screen = WorldToScreen(pov->GetPosition());
    text->SetVisible(true, false);
    text->SetPosition(static_cast<int>(screen.x), static_cast<int>(screen.y));
    text->SetText(FormatTimeLeft(limit->GetRemainingSeconds()));
}
} // namespace QUORB
