// The base of every component: one part of a game object (position, physics body, model, state
// machines...). A component belongs to exactly one Gob, which creates it through the component's
// registered creator, initialises it once all its siblings exist, updates it every frame and
// deletes it. Concrete classes derive from ComponentBase<T>, which supplies the type identity.
#pragma once

#include "engine/Serializable.h"

#include <cstdint>
#include <string>

class Gob;
class POVComp;

class Component : public Serializable
{
public:
    Component() = default;
    ~Component() override;

    Component(const Component&) = delete;
    Component& operator=(const Component&) = delete;

    // Stores the owner and looks up the owner's POVComp (null when it has none). Called once by
    // Gob::Init after every component of the owner exists, so a sibling may be looked up here;
    // the sibling's own Initialize may not have run yet. Overrides call this first.
    virtual bool Initialize(Gob* owner);

    // Null until Initialize.
    virtual const Gob* GetOwner() const;
    virtual Gob* GetOwner();

    // The class's registered type name and its HashName (ComponentBase<T> keeps both per class).
    virtual const std::string& GetTypeName() = 0;
    virtual std::uint32_t GetTypeID() = 0;

    // One frame step; dt in seconds, usually 1/30. Does nothing unless overridden.
    virtual void Update(float dt);

    // Hooks for components that hold device resources (default-pool buffers, render targets):
    // called around a lost or reset graphics device. Return false when the component could not
    // follow; the defaults have nothing to do and return true.
    virtual bool OnLostDevice();
    virtual bool OnResetDevice();

    // The object a by-name function of this component is called on: the component as its own
    // concrete class (ComponentBase<T> gives T*), since the bound member expects exactly that.
    virtual void* GetCallTarget() = 0;

    // The owner's name, or the empty text before Initialize.
    const std::string& GetOwnerName() const;

    // The owner's position component as found by Initialize, or null. Defined with POVComp
    // (POVComp.cpp), where the class is complete; the component is kept here as a Component.
    POVComp* GetPOVComp() const;
    Component* GetPOVComponent() const { return m_pPOV; }

protected:
    Gob* m_pOwner = nullptr;
    Component* m_pPOV = nullptr; // the owner's POVComp, held through its base
};
