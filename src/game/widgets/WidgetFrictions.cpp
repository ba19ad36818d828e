#include "game/widgets/WidgetFrictions.h"

#include "common/XmlUtil.h"
#include "engine/phy/CollisionComp.h"
#include "engine/phy/FiniteXml.h"
#include "game/room/FindComp.h"

namespace QUORB
{
void WidgetFrictions::SetStatic(Gob* gob, float friction)
{
    staticFriction = friction;
    if (auto* collision = FindComp<dorvo::phy::CollisionComp>(gob))
        collision->staticFriction = friction;
}

void WidgetFrictions::SetKinetic(Gob* gob, float friction)
{
    kineticFriction = friction;
    if (auto* collision = FindComp<dorvo::phy::CollisionComp>(gob))
        collision->kineticFriction = friction;
}

void WidgetFrictions::ApplyTo(Gob* gob) const
{
    if (auto* collision = FindComp<dorvo::phy::CollisionComp>(gob))
    {
        collision->staticFriction = staticFriction;
        collision->kineticFriction = kineticFriction;
    }
}

bool WidgetFrictions::Write(TiXmlNode* element) const
{
    return XmlWriteFloat(element, staticFriction, "StaticFriction") &&
           XmlWriteFloat(element, kineticFriction, "KineticFriction");
}

void WidgetFrictions::Read(const TiXmlNode* first, const std::string& typeName)
{
    if (first == nullptr)
        return;
    dorvo::phy::XmlReadFiniteFloat(first, &staticFriction, typeName, "StaticFriction");
    if (const TiXmlNode* kinetic = XmlNextSiblingElement(first))
        dorvo::phy::XmlReadFiniteFloat(kinetic, &kineticFriction, typeName, "KineticFriction");
}
} // namespace QUORB
