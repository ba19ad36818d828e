// The values every scene effect shares through the effect pool: camera, light, fog and time.
// The device core writes them (each frame, at every view or projection change and for the
// light) through this interface; the effect manager implements it over the pool's shared
// effect and its parameter handles. Until one is installed the core writes nowhere.
#pragma once

#include "platform/d3dx9.h"

namespace dorvo
{
namespace gfx
{
// The shared parameters in the effect manager's handle order.
enum ESharedParameter : unsigned
{
    SP_ViewInverse,
    SP_View,
    SP_ViewProjection,
    SP_LightType,
    SP_LightPos,
    SP_LightDir,
    SP_LightFalloff,
    SP_LightRange,
    SP_LightAmbient,
    SP_LightDiffuse,
    SP_LightSpecular,
    SP_FogStart,
    SP_FogEnd,
    SP_FogDensity,
    SP_FogColor,
    SP_Time,
    SP_ElapsedTime,
    SP_ShadowColor,
    SP_ProjMat,
    SP_Count
};

// The parameter's name in the effect files ("ViewInverse" ... "g_ProjMat"); null past the end.
const char* SharedParameterName(ESharedParameter parameter);

class ISharedEffectParameters
{
public:
    virtual ~ISharedEffectParameters();

    virtual void SetMatrix(ESharedParameter parameter, const plat::D3DXMATRIX& value) = 0;
    virtual void SetInt(ESharedParameter parameter, int value) = 0;
    virtual void SetFloat(ESharedParameter parameter, float value) = 0;
    // Positions take 3 floats, colours 4.
    virtual void SetFloatArray(ESharedParameter parameter, const float* values, unsigned count) = 0;
};
} // namespace gfx
} // namespace dorvo
