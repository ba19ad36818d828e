// The 2D component of a game object (every menu and the console window): its named top-level
// screen units with their trees, its radio groups of check buttons, its scroll lists and a
// component depth. It registers with the
// graphics facade, which collects its units every frame, sorts them by unit depth and draws
// them; the game offers input to the components in ascending component depth. The component
// does not own its units: whoever made them (a menu, the console window) deletes them.
#pragma once

#include "engine/ComponentBase.h"

#include <cstdint>
#include <map>
#include <string>
#include <vector>

class GobController;

namespace dorvo
{
namespace input
{
struct InputEvent;
}

namespace gfx
{
class IScreenUnit;
class CButton;
class CheckButton;
class CSprite;
class CTextSprite;

class Gfx2DComp : public ComponentBase<Gfx2DComp>
{
public:
    static constexpr char kTypeName[] = "Gfx2DComp";

    using UnitMap = std::map<std::string, IScreenUnit*>; // by name
    using ScrollList = std::vector<IScreenUnit*>;        // in list order
    using RadioGroup = std::vector<CheckButton*>;        // in the order added

    Gfx2DComp();
    // Leaves the facade's map; the units are left to their makers.
    ~Gfx2DComp() override;

    // Appends <Component name="Gfx2DComp"/>; false for no node or one that is not an element.
    bool Serialize(TiXmlNode* parent) override;
    // Nothing is read: true for an element.
    bool Deserialize(const TiXmlNode* node) override;
    // Stores the owner and registers with the facade under the owner's id; depth 0.
    bool Initialize(Gob* owner) override;
    // Every top-level unit's update in name order with dt (seconds) as whole milliseconds,
    // truncated toward zero; children are updated by their parents.
    void Update(float dt) override;
    // Offers the event to the top-level units in name order; true at the first that takes it.
    virtual bool HandleInput(const input::InputEvent* event, float dt);

    // Orders input among the game's 2D components; the units' own depths order the drawing.
    int GetCompDepth() const { return m_depth; }
    void SetCompDepth(int depth) { m_depth = depth; }
    // "GetCompDepth" and "SetCompDepth" as by-name functions of the component.
    static void RegisterFunctions(GobController* controller);
    // Offered input first: the smaller component depth.
    static bool DepthLess(const Gfx2DComp* a, const Gfx2DComp* b);

    // With an empty parent name the unit goes to the top level under the name, its parent
    // cleared; otherwise it becomes the child of that name of the unit FindUnit finds. Either way
    // its owner becomes this component and its name the given one. False, nothing added, for no
    // unit, a parent name not found or a name already taken where it would go.
    bool AddUnit(const std::string& name, IScreenUnit* unit, const std::string& parentName);
    // The same under the unit's own name.
    bool AddUnit(IScreenUnit* unit, const std::string& parentName);
    // Forgets the top-level unit of that name (its maker still deletes it); false when none.
    bool RemoveUnit(const std::string& name);
    // The top-level unit of that name, else the first found depth first below the top-level
    // units in name order; null when none.
    IScreenUnit* FindUnit(const std::string& name) const;
    // FindUnit as a sprite, button or text sprite; null when absent or of another class.
    CSprite* GetSprite(const std::string& name) const;
    CButton* GetButton(const std::string& name) const;
    CTextSprite* GetTextSprite(const std::string& name) const;
    const UnitMap& GetUnits() const { return m_units; }

    // Appends every unit: each top-level unit in name order followed by its descendants, depth
    // first, children in name order.
    void CollectUnits(std::vector<IScreenUnit*>& units) const;

    // Appends the check button to the named radio group (made when absent). The second form takes
    // any unit and refuses, with an assertion, one that is not a check button. A null button is
    // never added; a button already in the group is not added twice.
    void AddToGroup(const std::string& groupName, CheckButton* button);
    void AddToGroup(IScreenUnit* unit, const std::string& groupName);
    // In the first radio group (in group-name order) with a member of that name, every other
    // member is unchecked (with its uncheck callback); other groups are left alone and an unknown
    // name changes nothing. The flag is what the menus pass; it changes nothing.
    void UncheckOthersInGroup(const std::string& unitName, bool menuFlag = true);
    // Null when there is no such group.
    const RadioGroup* GetRadioGroup(const std::string& groupName) const;

    // With an empty unit name the unit is appended to the named list (made when absent);
    // otherwise it is inserted before the first member of that name, or appended when no member
    // has it. A list that is empty (or absent) gets nothing when a name is given; a null unit
    // is never added.
    void EditScrollList(IScreenUnit* unit, const std::string& listName, std::string unitName);
    // Takes the first member of that name out of the list (made empty when absent).
    void RemoveFromScrollList(const std::string& listName, const std::string& unitName);
    // Null when there is no such list.
    const ScrollList* GetScrollList(const std::string& listName) const;
    ScrollList* GetScrollList(const std::string& listName);

private:
    UnitMap m_units;
    std::map<std::string, RadioGroup> m_radioGroups;
    std::map<std::string, ScrollList> m_scrollLists;
    int m_depth = 0;
    std::uint32_t m_registeredId = 0; // the id the facade knows this component by
    bool m_registered = false;
};
} // namespace gfx
} // namespace dorvo
