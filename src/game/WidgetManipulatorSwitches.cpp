// Gravity switches, magnets and hard nodes: their create operations, the turning of a switch or
// magnet while it is created or adjusted, and the collision callbacks with which switches,
// magnets and accelerators act on the star object. Only the hard node is built yet (made at the
// press point); the others make or do nothing, and the callbacks act on nothing.
#include "game/WidgetManipulator.h"

#include "engine/GobManager.h"
#include "engine/POVComp.h"
#include "engine/phy/CollisionFunctorData.h"

namespace QUORB
{
void WidgetManipulator::CreateGravitySwitch(Gob*&, math::Vector3, math::Quaternion, math::Vector3,
                                            const math::Vector3*)
{
}

void WidgetManipulator::CreateMagnet(Gob*&, math::Vector3, math::Quaternion, math::Vector3,
                                     const math::Vector3*)
{
}

void WidgetManipulator::CreateHardNode(Gob*& out, math::Vector3 position, math::Quaternion orientation,
                                       math::Vector3, const math::Vector3*)
{
    out = GobManager::Instance().CreateGobAtPos("HardNode", position, true);
    if (POVComp* pov = GetPOVComp(out))
        pov->SetOrientation(orientation, true);
}

void WidgetManipulator::DragGravitySwitch() {}

void WidgetManipulator::DragMagnet() {}

void WidgetManipulator::AdjustGravitySwitch() {}

void WidgetManipulator::AdjustMagnet() {}

void WidgetManipulator::SnapToFaceAxis(math::Vector3&, const math::Vector3&, const math::Vector3&) {}

void WidgetManipulator::SetGravitySwitchGlow(Gob*) {}

void WidgetManipulator::RestoreGravitySwitchEffect(std::uint32_t) {}

bool WidgetManipulator::OnGravitySwitchCollision(dorvo::phy::CollisionFunctorData, unsigned int)
{
    return false;
}

bool WidgetManipulator::OnMagneticField(dorvo::phy::CollisionFunctorData, unsigned int)
{
    return false;
}

bool WidgetManipulator::OnMagnetCollision(dorvo::phy::CollisionFunctorData, unsigned int)
{
    return false;
}

bool WidgetManipulator::OnAcceleratorCollision(dorvo::phy::CollisionFunctorData, unsigned int)
{
    return false;
}
} // namespace QUORB
