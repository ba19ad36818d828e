#include "engine/gfx/core/ISharedEffectParameters.h"

namespace dorvo
{
namespace gfx
{
namespace
{
const char* const kNames[SP_Count] = {
    "ViewInverse",     "View",           "ViewProjection", "g_LightType",    "g_LightPos",
    "g_LightDir",      "g_LightFalloff", "g_LightRange",   "g_LightAmbient", "g_LightDiffuse",
    "g_LightSpecular", "g_fogstart",     "g_fogend",       "g_fogdensity",   "g_fogcolor",
    "g_time",          "g_ElapsedTime",  "g_ShadowColor",  "g_ProjMat",
};
} // namespace

const char* SharedParameterName(ESharedParameter parameter)
{
    return parameter < SP_Count ? kNames[parameter] : nullptr;
}

ISharedEffectParameters::~ISharedEffectParameters() = default;
} // namespace gfx
} // namespace dorvo
