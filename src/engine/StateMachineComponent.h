// The component that makes a game object message-taking: it holds the object's state machines
// (the last one added is active), registers the object with the message Database so it can be
// found by id or name, and gives the active machine its update every frame. The machine list and
// its change requests live in ACMsgTaker; this class ties them to the owning game object.
#pragma once

#include "engine/ComponentBase.h"
#include "statemachine/ACMsgTaker.h"

#include <cstdint>
#include <string>

class StateMachineComponent : public ComponentBase<StateMachineComponent>, public ACMsgTaker
{
public:
    // Registers the type name "StateMachineComponent" and its creator with the GobManager. The
    // game's start-up calls it once, after its own component types and before loading templates.
    static void RegisterType();

    // machineType: a number kept and saved for the users; the creator gives 0.
    explicit StateMachineComponent(std::uint32_t machineType = 0);
    // Deletes the machines; leaves the Database only when Initialize stored this component.
    ~StateMachineComponent() override;

    // Writes <Component name="StateMachineComponent"> holding the machine type as "uint" "Type".
    bool Serialize(TiXmlNode* parent) override;
    // Reads the machine type from the element's first child.
    bool Deserialize(const TiXmlNode* node) override;
    // Stores the owner, then registers with the Database under the owner's id.
    bool Initialize(Gob* owner) override;
    // Applies pending list changes, then updates the active machine. dt is not used: machines
    // read the message clock.
    void Update(float dt) override;

    std::string GetObjectName() const override;
    // The owner's "GetCompDepth" result (its 2D component's drawing depth), else kNoDepth.
    int GetDepth() const override;

    std::uint32_t GetMachineType() const { return m_machineType; }
    void SetMachineType(std::uint32_t machineType) { m_machineType = machineType; }
    // True between a successful Initialize and destruction.
    bool IsStored() const { return m_stored; }

private:
    std::uint32_t m_machineType;
    bool m_stored = false;
};
