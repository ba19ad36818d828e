// What the editor bars (widget choice, widget property, property value) and the mouse badge ask
// of the game's one widget manipulator: its creation type, its selection and its deselection.
// Each answers safely without a game or manipulator: no type, nothing selected, nothing done.
// The selection is read anew at every call; objects belong to the GobManager.
#pragma once

#include <string>
#include <vector>

class Gob;

namespace QUORB
{
class WidgetManipulator;

// The game's manipulator, or null.
WidgetManipulator* GetGameManipulator();
// The type the next click in the room creates; empty for none.
std::string GetCurrentWidgetTypeOfGame();
void SetCurrentWidgetTypeOfGame(const std::string& type);
void ClearCurrentWidgetTypeOfGame();
// Drops the selection (unless an object is being created) and closes the property bar.
void DeselectAllInEditor();
// The primary selection, or null.
Gob* GetEditorSelectedGob();
// The further selected objects of the primary's archetype, in selection order.
std::vector<Gob*> GetEditorSelectionList();
} // namespace QUORB
