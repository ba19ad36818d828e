// An effect's parameter handles in the fixed order the effect manager keeps for its file, so
// the device core can set parameters by index. Indices 0 to 10 mean the same in every effect;
// from 11 on each file lists its own. A slot the file does not declare holds the null handle,
// which every effect call ignores.
#pragma once

#include "platform/d3dx9.h"

#include <vector>

namespace dorvo
{
namespace gfx
{
using FXHandleTable = std::vector<plat::D3DXHANDLE>;

// The slots every effect's table starts with.
enum ECommonHandle : unsigned
{
    FXH_World,                 // semantic "World"
    FXH_WorldView,             // semantic "WorldView"
    FXH_WorldViewProjection,   // semantic "WorldViewProjection"
    FXH_WorldInverseTranspose, // semantic "WorldInverseTranspose"
    FXH_MaterialAmbient,       // "g_MaterialAmbient"
    FXH_MaterialDiffuse,       // "g_MaterialDiffuse"
    FXH_MaterialSpecular,      // "g_MaterialSpecular"
    FXH_SpecularPower,         // "g_specular_power"
    FXH_TileFactor,            // "g_TileFactor"
    FXH_ModelLightPos,         // "g_ModelLightPos"
    FXH_ModelLightDir,         // "g_ModelLightDir"
    FXH_CommonCount
};
} // namespace gfx
} // namespace dorvo
