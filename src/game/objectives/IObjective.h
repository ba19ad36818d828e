// A puzzle objective: what the player must achieve on one face (reach a location, pass through a
// target, beat a time limit) or what the puzzle does while it runs (the water change). Its
// ObjectiveComp owns it; descriptions and puzzle snapshots hold clones. While its puzzle
// simulates the puzzle calls Update every frame and reads the state: failed fails the puzzle,
// completed is ended and counted.
#pragma once

#include "common/ICloneable.h"
#include "engine/Serializable.h"

#include <cstdint>
#include <vector>

class Gob;
class TiXmlElement;

namespace math
{
class Sphere;
}

namespace QUORB
{
class ObjectiveComp;
class CGetToLocation;
class CTimeLimit;
class CWaterControl;
class CTarget;
class CSquashQuorbi;
class CCauseDestruction;

class IObjective : public common::ICloneable, public Serializable
{
public:
    enum State : std::int32_t
    {
        Running = 0,
        Completed = 1,
        Failed = 2,
    };

    // The objective class of a type flag (1 GetToLocation, 2 CauseDestruction, 4 SquashQuorbi,
    // 8 TimeLimit, 16 WaterControl, 32 Target) with its defaults, owned by the caller; null for
    // any other value.
    static IObjective* Create(std::uint32_t typeFlag);

    IObjective() = default;
    ~IObjective() override;

    // A new objective of the same class with every field copied (state, owner, timers, flags,
    // sound handle). Whoever installs it in a component sets its owner and calls ApplyToGob.
    IObjective* Clone() const override = 0;
    // Set-up on the owner's gob, after the objective is installed in its component.
    virtual void ApplyToGob() = 0;
    // Every frame while the puzzle simulates and the entry is active and not done. The time and
    // dt (seconds) are not used: the countdowns run on the performance counter.
    virtual void Update(double time, float dt) = 0;
    // Required objectives must all be completed for the puzzle to count as complete.
    virtual bool IsRequired() const = 0;
    // The type flag (1, 2, 4, 8, 16 or 32).
    virtual std::uint32_t GetType() const = 0;
    // Back to running, as when the puzzle is reset.
    virtual void Reset() = 0;
    // When play starts.
    virtual void Begin() = 0;
    // After the puzzle saw the state completed.
    virtual void End() = 0;
    // Whether this objective running out ends the puzzle (the time limit).
    virtual bool EndsPuzzle() const = 0;

    // The objective in its own class; null for every other class.
    virtual CGetToLocation* AsGetToLocation() { return nullptr; }
    virtual const CGetToLocation* AsGetToLocation() const { return nullptr; }
    virtual CTimeLimit* AsTimeLimit() { return nullptr; }
    virtual const CTimeLimit* AsTimeLimit() const { return nullptr; }
    virtual CWaterControl* AsWaterControl() { return nullptr; }
    virtual const CWaterControl* AsWaterControl() const { return nullptr; }
    virtual CTarget* AsTarget() { return nullptr; }
    virtual const CTarget* AsTarget() const { return nullptr; }
    virtual CSquashQuorbi* AsSquashQuorbi() { return nullptr; }
    virtual const CSquashQuorbi* AsSquashQuorbi() const { return nullptr; }
    virtual CCauseDestruction* AsCauseDestruction() { return nullptr; }
    virtual const CCauseDestruction* AsCauseDestruction() const { return nullptr; }

    // True when the focused puzzle has no star object, or a star object stands outside the play
    // area on any axis (a coordinate equal to a bound is inside). Only the location and the
    // target ask; the others answer false.
    virtual bool CheckQuorbs() const;

    // Appends the class's own element ("GetToLocation", "TimeLimit", ...) to the parent. False,
    // writing nothing, for a null parent or one that is not an element.
    bool Serialize(TiXmlNode* parent) override;
    // Reads the class's values by position from the element's first child on. False, changing
    // nothing, for a null node or one that is not an element. State, timers and flags are not
    // saved.
    bool Deserialize(const TiXmlNode* node) override;

    State GetState() const { return m_state; }
    void SetState(State state) { m_state = state; }
    // The component holding this objective (not owned); null until installed.
    ObjectiveComp* GetOwner() const { return m_pOwner; }
    void SetOwner(ObjectiveComp* owner) { m_pOwner = owner; }
    // The owner component's gob, or null.
    Gob* GetOwnerGob() const;

protected:
    IObjective(const IObjective&) = default;
    IObjective& operator=(const IObjective&) = default;

    // The class's element name and its values in saved order.
    virtual const char* GetElementName() const = 0;
    virtual void WriteValues(TiXmlElement& element) const;
    virtual void ReadValues(const TiXmlElement& element);

    // The focused puzzle's star objects that exist and have a position, in puzzle order.
    static std::vector<Gob*> GetQuorbGobs();
    // A gob's sphere: its position, radius half its x scale. False without a position.
    static bool GetSphere(const Gob* gob, math::Sphere& sphere);
    // The test behind CheckQuorbs for the classes that ask.
    static bool AnyQuorbOutsidePlayArea();

    State m_state = Running;
    ObjectiveComp* m_pOwner = nullptr; // not owned
};
} // namespace QUORB
