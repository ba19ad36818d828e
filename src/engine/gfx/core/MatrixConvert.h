// How the engine's matrices reach the device: math::Matrix4 and plat::D3DXMATRIX hold the same
// sixteen floats in the same order (row-major, row vectors, translation in the last row), so
// each way is a plain copy. Every matrix graphics hands to the platform goes through here.
#pragma once

#include "common/math/Matrix4.h"
#include "platform/d3dx9.h"

namespace dorvo
{
namespace gfx
{
plat::D3DXMATRIX ToD3DXMatrix(const math::Matrix4& matrix);
math::Matrix4 FromD3DXMatrix(const plat::D3DXMATRIX& matrix);
} // namespace gfx
} // namespace dorvo
