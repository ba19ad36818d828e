// The link between two objects that live and die together: a widget or star object and its
// charge or magnetic field, a water objective and its end marker. The owning side kills the
// linked object when it is destroyed and, each frame, carries it along (position, orientation,
// scale as its flags say). The linked id is never saved: the code that makes the pair writes
// each object's id into the other's component.
#pragma once

#include "engine/ComponentBase.h"

#include <cstdint>

class Gob;

namespace QUORB
{
class GobIDComp : public ComponentBase<GobIDComp>
{
public:
    static const char* const kTypeName; // "GobIDComp"

    // No link, every flag false.
    GobIDComp() = default;
    // An owner kills the linked object.
    ~GobIDComp() override;

    // <Component name="GobIDComp"> with bool IsOwner, SharePosition, ShareOrientation,
    // ShareScale. False for a null or non-element parent.
    bool Serialize(TiXmlNode* parent) override;
    // The four flags in that order from the first child on; a missing one keeps its value.
    // False for a null or non-element node.
    bool Deserialize(const TiXmlNode* node) override;
    // An owner with a live linked object moves it along: the shared position, the shared
    // orientation or else one built from the focused room face, the shared scale (x and z
    // swapped on the right and left faces); then it re-files the linked object once.
    void Update(float dt) override;

    std::uint32_t GetLinkedID() const { return m_linkedID; }
    void SetLinkedID(std::uint32_t id) { m_linkedID = id; }
    // The live linked object, or null.
    Gob* GetLinkedGob() const;

    bool IsOwner() const { return m_isOwner; }
    void SetIsOwner(bool owner) { m_isOwner = owner; }
    bool GetSharePosition() const { return m_sharePosition; }
    void SetSharePosition(bool share) { m_sharePosition = share; }
    bool GetShareOrientation() const { return m_shareOrientation; }
    void SetShareOrientation(bool share) { m_shareOrientation = share; }
    bool GetShareScale() const { return m_shareScale; }
    void SetShareScale(bool share) { m_shareScale = share; }

    // The object's GobIDComp, or null.
    static GobIDComp* Of(Gob* gob);

private:
    std::uint32_t m_linkedID = 0;
    bool m_isOwner = false;
    bool m_sharePosition = false;
    bool m_shareOrientation = false;
    bool m_shareScale = false;
};
} // namespace QUORB
