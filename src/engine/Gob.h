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

    // An object answers to three kind names; for a platform made from the archetype "Platform"
    // of the template "Widget" they are "Widget", "Widget" and "Platform".
    //
    // Type name: the template's first name ("TypeName"), unique per template file: the key the
    // GobManager files the template under. An object made from an archetype still reports its
    // template's.
    virtual const std::string& GetTypeName() const = 0;
    // Template name: the template's second name ("TemplateName"), a family that several
    // templates may share ("Field" for both kinds of charge field); the game asks it to tell
    // widgets and QUORBs from everything else. Not a key: nothing is filed or made under it.
    virtual const std::string& GetTemplateName() const = 0;
    // The object's own name (empty unless given), unrelated to its kind.
    virtual const std::string& GetName() const = 0;
    // Archetype name: the archetype's name for an object made from one, else GetTypeName. The
    // finest of the three: creating an object of that name gives one of the same kind with the
    // same starting values, so savers store it.
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
