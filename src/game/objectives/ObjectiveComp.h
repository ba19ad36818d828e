// The component of an objective object: it owns the object's one objective record and forwards
// the typed down-casts to it, so a puzzle can ask the component for its time limit or water
// change. The record itself travels in the object's description; the component's own saved
// form is an empty element.
#pragma once

#include "engine/ComponentBase.h"
#include "game/objectives/IObjective.h"

#include <memory>

namespace QUORB
{
class ObjectiveComp : public ComponentBase<ObjectiveComp>
{
public:
    static const char* const kTypeName; // "ObjectiveComp"

    ObjectiveComp();
    ~ObjectiveComp() override;

    // <Component name="ObjectiveComp"> with no children. False, writing nothing, for a null
    // parent or one that is not an element.
    bool Serialize(TiXmlNode* parent) override;
    // Checks that it was given an element; reads nothing.
    bool Deserialize(const TiXmlNode* node) override;

    // The objective held, or null.
    IObjective* GetObjective() const { return m_pObjective.get(); }
    // Deletes the objective held and takes this one (null leaves none); its owner becomes this
    // component. Set-up on the gob is the caller's (IObjective::ApplyToGob).
    void SetObjective(std::unique_ptr<IObjective> objective);
    // The held objective's set-up on the gob; nothing without one.
    void ApplyObjectiveToGob();

    // The object's ObjectiveComp, or null.
    static ObjectiveComp* Of(Gob* gob);

    // The held objective's down-casts; null without an objective or for another class.
    CGetToLocation* AsGetToLocation();
    const CGetToLocation* AsGetToLocation() const;
    CTimeLimit* AsTimeLimit();
    const CTimeLimit* AsTimeLimit() const;
    CWaterControl* AsWaterControl();
    const CWaterControl* AsWaterControl() const;
    CTarget* AsTarget();
    const CTarget* AsTarget() const;
    CSquashQuorbi* AsSquashQuorbi();
    const CSquashQuorbi* AsSquashQuorbi() const;
    CCauseDestruction* AsCauseDestruction();
    const CCauseDestruction* AsCauseDestruction() const;

private:
    std::unique_ptr<IObjective> m_pObjective;
};
} // namespace QUORB
