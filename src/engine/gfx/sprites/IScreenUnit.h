// A unit of the 2D layer (menus, cursor, console, heads-up displays): a node with named
// children, a parent, the Gfx2DComp it belongs to and a name. A unit owns its children:
// deleting it deletes its whole subtree. A unit updates its children but does not draw them:
// its owner collects the unit and its descendants, sorts them by depth and draws the list.
#pragma once

#include "engine/Serializable.h"

#include <map>
#include <memory>
#include <string>

namespace dorvo
{
namespace input
{
struct InputEvent;
}

namespace gfx
{
class Gfx2DComp;

class IScreenUnit : public Serializable
{
public:
    // In name order.
    using ChildMap = std::map<std::string, std::unique_ptr<IScreenUnit>>;

    IScreenUnit() = default;
    ~IScreenUnit() override;

    IScreenUnit(const IScreenUnit&) = delete;
    IScreenUnit& operator=(const IScreenUnit&) = delete;

    // The engine's saving goes through Save and Load.
    bool Serialize(TiXmlNode* parent) override { return Save(parent); }
    bool Deserialize(const TiXmlNode* node) override { return Load(node); }

    // Nothing written or read here: false.
    virtual bool Save(TiXmlNode* node);
    virtual bool Load(const TiXmlNode* node);
    virtual void OnLostDevice();
    virtual void OnResetDevice();
    // Milliseconds since the last update; every child's update, in name order.
    virtual void Update(int ms);
    // time: seconds since start; dt: seconds since the last frame.
    virtual void Render(double time, float dt) = 0;
    virtual int GetDepth() const = 0;
    virtual void SetDepth(int depth) = 0;
    virtual bool IsVisible() const = 0;
    virtual void SetVisible(bool visible, bool recursive) = 0;
    // Drawn before the other unit: a smaller depth.
    virtual bool DepthLess(const IScreenUnit& other) const;
    // Offers the event to the children in name order; true at the first that takes it.
    virtual bool HandleInput(const input::InputEvent* event, float dt);
    virtual void SetParent(IScreenUnit* parent);

    void SetOwner(Gfx2DComp* owner) { m_pOwner = owner; }
    Gfx2DComp* GetOwner() const { return m_pOwner; }
    IScreenUnit* GetParent() const { return m_pParent; }
    void SetName(const std::string& name) { m_name = name; }
    const std::string& GetName() const { return m_name; }

    // Takes the unit as the child of that name: its parent becomes this unit and its owner this
    // unit's owner. False, nothing taken, when the name is in use, for no unit, or for a unit
    // that already has a parent or is this unit or one of its ancestors.
    bool AddChild(const std::string& name, IScreenUnit* unit);
    // The direct child of that name, else the first found depth first through the children in
    // name order; null when none.
    IScreenUnit* FindChild(const std::string& name) const;
    const ChildMap& GetChildren() const { return m_children; }

protected:
    ChildMap m_children;
    IScreenUnit* m_pParent = nullptr;
    Gfx2DComp* m_pOwner = nullptr;
    std::string m_name;
};
} // namespace gfx
} // namespace dorvo
