#include "engine/phy/Force.h"

namespace dorvo
{
namespace phy
{
Force::~Force() = default;

void Force::Attach(PhysicsComp*) {}
} // namespace phy
} // namespace dorvo
