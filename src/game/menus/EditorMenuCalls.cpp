#include "game/menus/EditorMenuCalls.h"

#include "game/CQUORB.h"
#include "game/WidgetManipulator.h"

namespace QUORB
{
namespace
{
// The selection comes with the manipulator's picking; until a manipulator offers it, nothing
// is selected and there is nothing to deselect.
template <class M> auto SelectedOf(M& manipulator, int) -> decltype(manipulator.GetSelectedGob())
{
    return manipulator.GetSelectedGob();
}
template <class M> Gob* SelectedOf(M&, long)
{
    return nullptr;
}
template <class M> auto ListOf(M& manipulator, int) -> decltype(manipulator.GetSelectionList())
{
    return manipulator.GetSelectionList();
}
template <class M> std::vector<Gob*> ListOf(M&, long)
{
    return {};
}
template <class M> auto DeselectOf(M& manipulator, int) -> decltype(manipulator.DeselectAll())
{
    manipulator.DeselectAll();
}
template <class M> void DeselectOf(M&, long) {}
} // namespace

WidgetManipulator* GetGameManipulator()
{
    const CQUORB* game = CQUORB::Get();
    return game ? game->GetWidgetManipulator() : nullptr;
}

std::string GetCurrentWidgetTypeOfGame()
{
    const WidgetManipulator* manipulator = GetGameManipulator();
    return manipulator ? manipulator->GetCurrentWidgetType() : std::string();
}

void SetCurrentWidgetTypeOfGame(const std::string& type)
{
    if (WidgetManipulator* manipulator = GetGameManipulator())
        manipulator->SetCurrentWidgetType(type);
}

void ClearCurrentWidgetTypeOfGame()
{
    if (WidgetManipulator* manipulator = GetGameManipulator())
        manipulator->ClearCurrentWidgetType();
}

void DeselectAllInEditor()
{
    if (WidgetManipulator* manipulator = GetGameManipulator())
        DeselectOf(*manipulator, 0);
}

Gob* GetEditorSelectedGob()
{
    WidgetManipulator* manipulator = GetGameManipulator();
    return manipulator ? SelectedOf(*manipulator, 0) : nullptr;
}

std::vector<Gob*> GetEditorSelectionList()
{
    WidgetManipulator* manipulator = GetGameManipulator();
    return manipulator ? ListOf(*manipulator, 0) : std::vector<Gob*>();
}
} // namespace QUORB
