// The engine's material: what a model, terrain or cloth component hands its effect, and what a
// .X file's Material becomes when a mesh is loaded. Colours are r, g, b, a from 0 to 1.
#pragma once

#include "platform/d3dx9.h"

namespace dorvo
{
namespace gfx
{
struct SMaterial
{
    plat::D3DXCOLOR ambient{1.0f, 1.0f, 1.0f, 1.0f};
    plat::D3DXCOLOR diffuse{1.0f, 1.0f, 1.0f, 1.0f};
    plat::D3DXCOLOR specular{1.0f, 1.0f, 1.0f, 1.0f};
    float specularPower = 255.0f;
};
} // namespace gfx
} // namespace dorvo
