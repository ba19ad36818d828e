// A game object: an id, a name and an ordered list of components, with functions callable by
// name. GobComposite is the one implementation; the GobManager builds, owns and deletes them.
#pragma once

#include "engine/Caller.h"
#include "engine/Serializable.h"

#include <cstdint>
#include <string>

class Component;

class Gob : public Caller, public Serializable
{
public:
    using Caller::CallFunction;

    // Initialises every component in template order. Called once, after the object is filed.
    virtual void Init() = 0;

    // The template's first name (the key the GobManager files it under).
    virtual const std::string& GetTypeName() const = 0;
    // The template's second name.
    virtual const std::string& GetTemplateName() const = 0;
    virtual const std::string& GetName() const = 0;
    // The archetype's name for an object made from one, else GetTypeName: creating an object of
    // that name gives one of the same kind, so savers store it.
    virtual const std::string& GetArchetypeName() const = 0;
    // Renames the template, so every object of it reports the new type name.
    virtual void SetTypeName(const std::string& name) = 0;
    // Moves the object in the manager's name index.
    virtual void SetName(const std::string& name) = 0;
    virtual std::uint32_t GetID() const = 0;

    // Updates every component in template order; dt in seconds.
    virtual void Update(float dt) = 0;
    virtual bool IsKilled() const = 0;
    // Marks the object killed; GobManager::KillGob also queues it for deletion.
    virtual void Kill() = 0;

    // The component of that type id, or null when the template has none.
    virtual const Component* GetComponent(std::uint32_t typeID) const = 0;
    virtual Component* GetComponent(std::uint32_t typeID) = 0;

    // The argument signature of a by-name function (ParamStack tags, first in the lowest byte);
    // false when the object has no function of exactly that name.
    virtual bool GetFunctionSignature(const std::string& name, std::uint64_t* signature) const = 0;
};
