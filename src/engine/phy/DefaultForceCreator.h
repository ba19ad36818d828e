// The creator of force class T, kept by the dynamics engine under the force's type name. One
// static creator per class lives for the whole run; the engine keeps only a pointer to it.
//
//   static DefaultForceCreator<Gravity> s_gravity;
//   DynamicsEngine::Instance().RegisterForceCreator("Gravity", &s_gravity);
#pragma once

#include "engine/DefaultCreator.h"
#include "engine/phy/Force.h"

namespace dorvo
{
namespace phy
{
template <class T> class DefaultForceCreator : public DefaultCreator<Force>
{
public:
    // A new force with its default values, owned by the caller.
    Force* Create() override { return new T(); }
};
} // namespace phy
} // namespace dorvo
