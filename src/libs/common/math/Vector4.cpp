#include "common/math/Vector4.h"

#include <ostream>

namespace math
{
std::ostream& operator<<(std::ostream& out, const Vector4& v)
{
    return out << "(" << v.x << ", " << v.y << ", " << v.z << ", " << v.w << ")";
}
} // namespace math
