#include "engine/gfx/core/MatrixConvert.h"

#include <cstring>

namespace dorvo
{
namespace gfx
{
static_assert(sizeof(plat::D3DXMATRIX) == sizeof(float) * 16, "sixteen floats each way");

plat::D3DXMATRIX ToD3DXMatrix(const math::Matrix4& matrix)
{
    plat::D3DXMATRIX out;
    std::memcpy(&out.m[0][0], matrix.m, sizeof(out.m));
    return out;
}

math::Matrix4 FromD3DXMatrix(const plat::D3DXMATRIX& matrix)
{
    math::Matrix4 out;
    std::memcpy(out.m, &matrix.m[0][0], sizeof(out.m));
    return out;
}
} // namespace gfx
} // namespace dorvo
