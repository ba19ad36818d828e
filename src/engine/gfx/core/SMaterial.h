// A surface's material as the scene effects read it: the colours the light's ambient, diffuse
// and specular parts are multiplied by, and the sharpness of the highlight. Components, meshes
// and the render record hold it by value or point at it; a .X file's Material becomes one when a
// mesh is loaded.
#pragma once

#include "platform/d3dx9.h"

namespace dorvo
{
namespace gfx
{
struct SMaterial
{
    plat::D3DXCOLOR ambient{1.0f, 1.0f, 1.0f, 1.0f}; // r, g, b, a in 0..1
    plat::D3DXCOLOR diffuse{1.0f, 1.0f, 1.0f, 1.0f};
    plat::D3DXCOLOR specular{1.0f, 1.0f, 1.0f, 1.0f};
    float specularPower = 255.0f; // exponent of the highlight, usually 8 to 255
};
} // namespace gfx
} // namespace dorvo
