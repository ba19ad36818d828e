#include "game/menus/EditorMenuCalls.h"

#include "game/app/CQUORB.h"
#include "game/manipulator/WidgetManipulator.h"

namespace QUORB
{
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
        manipulator->DeselectAll();
}

Gob* GetEditorSelectedGob()
{
    const WidgetManipulator* manipulator = GetGameManipulator();
    return manipulator ? manipulator->GetSelectedGob() : nullptr;
}

std::vector<Gob*> GetEditorSelectionList()
{
    const WidgetManipulator* manipulator = GetGameManipulator();
    return manipulator ? manipulator->GetSelectionList() : std::vector<Gob*>();
}
} // namespace QUORB
