// Something that changes the scene light as time goes on (a flicker, a day cycle). The lights
// manager owns its updaters and runs them every frame; the game itself makes none.
#pragma once

#include "platform/d3d9types.h"

namespace dorvo
{
namespace gfx
{
class ILightUpdater
{
public:
    virtual ~ILightUpdater();
    // time: seconds since start; dt: seconds since the last frame.
    virtual void Update(plat::D3DLIGHT9& light, double time, float dt) = 0;
};
} // namespace gfx
} // namespace dorvo
