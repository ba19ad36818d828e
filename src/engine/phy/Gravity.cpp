#include "engine/phy/Gravity.h"

#include "common/math/Vector3.h"
#include "engine/phy/DynamicsEngine.h"

#include <tinyxml.h>

namespace dorvo
{
namespace phy
{
bool Gravity::Serialize(TiXmlNode* parent)
{
    if (parent == nullptr || parent->ToElement() == nullptr)
        return false;
    return parent->InsertEndChild(TiXmlElement("Gravity")) != nullptr;
}

bool Gravity::Deserialize(const TiXmlNode* node)
{
    return node != nullptr && node->ToElement() != nullptr;
}

void Gravity::Apply(float, math::Vector3& force, math::Vector3&, const math::Vector3&,
                    const math::Quaternion&, const math::Vector3&, const math::Vector3&, float mass)
{
    const math::Vector3& g = DynamicsEngine::Instance().gravity;
    force.x += static_cast<float>(static_cast<double>(g.x) * mass);
    force.y += static_cast<float>(static_cast<double>(g.y) * mass);
    force.z += static_cast<float>(static_cast<double>(g.z) * mass);
}
} // namespace phy
} // namespace dorvo
