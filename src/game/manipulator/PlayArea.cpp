#include "game/manipulator/PlayArea.h"

namespace QUORB
{
const math::AABB PlayArea(math::Vector3(-45.0f, -25.0f, -45.0f), math::Vector3(45.0f, 45.0f, 45.0f));

bool IsInsidePlayArea(const math::Vector3& point)
{
    return point.x >= PlayArea.min.x && point.x <= PlayArea.max.x && point.y >= PlayArea.min.y &&
           point.y <= PlayArea.max.y && point.z >= PlayArea.min.z && point.z <= PlayArea.max.z;
}
} // namespace QUORB
