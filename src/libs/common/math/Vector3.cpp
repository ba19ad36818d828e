#include "common/math/Vector3.h"

#include <ostream>

namespace math
{
std::ostream& operator<<(std::ostream& out, const Vector3& v)
{
    return out << "(" << v.x << ", " << v.y << ", " << v.z << ")";
}
} // namespace math
