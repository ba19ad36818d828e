// The editor's hand: while the editor is on it turns the mouse and a few keys into creating,
// picking, moving, adjusting and deleting widgets, star objects and objectives of the focused
// puzzle. The game owns the one manipulator; its state machine (ManipulatorLogic) lives on the
// game object "Manipulator", which Init creates once the templates are loaded. The operations
// themselves come with the manipulation; for now it makes its object and sees input.
#pragma once

#include <string>

class Gob;

namespace math
{
class Vector3;
}

namespace dorvo
{
namespace input
{
struct InputEvent;
}
} // namespace dorvo

namespace QUORB
{
class ManipulatorLogic;

class WidgetManipulator
{
public:
    static const char* const kArchetypeName; // "Manipulator"

    WidgetManipulator();
    ~WidgetManipulator();

    WidgetManipulator(const WidgetManipulator&) = delete;
    WidgetManipulator& operator=(const WidgetManipulator&) = delete;

    // Creates "Manipulator" and gives its state-machine component a ManipulatorLogic, which
    // starts in EditorOff. Without the archetype (or its state-machine component) one line on
    // standard error and nothing is made. Once: a second call does nothing.
    void Init();
    // Does nothing: the machine runs in the objects' update.
    void Update(float dt);
    // The editor's input; acts only in editor mode and never takes an event.
    bool OnInput(const dorvo::input::InputEvent& event);

    // The point where the picker's ray through the screen point (back-buffer pixels) meets the
    // focused room face's quad; false without a game, room, focused face, picker or hit.
    static bool ScreenToFacePlane(const math::Vector3& screenPoint, math::Vector3& out);

    // The "Manipulator" object, or null before Init (or when it could not be made).
    Gob* GetManipulatorGob() const { return m_manipulatorGob; }
    ManipulatorLogic* GetLogic() const;
    const std::string& GetCurrentWidgetType() const { return m_currentWidgetType; }
    // The widget type new widgets are made of; a non-empty type opens "MouseWidgetSelMenu", an
    // empty one closes it.
    void SetCurrentWidgetType(const std::string& type);
    // Empties the type, resets "WidgetChoiceBarMenu" and closes "MouseWidgetSelMenu",
    // "WidgetPropertyBarMenu" and "PropValueMenu".
    void ClearCurrentWidgetType();
    // Back to nothing chosen: the type cleared and "WidgetPropertyBarMenu" closed (the selection
    // it also drops comes with the picking).
    void Reset();
    // Drops the selection and clears the type (the selection itself comes with the picking).
    void ClearSelection();

private:
    Gob* m_manipulatorGob = nullptr; // owned by the GobManager
    std::string m_currentWidgetType;
};
} // namespace QUORB
