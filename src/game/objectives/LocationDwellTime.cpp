#include "game/objectives/LocationDwellTime.h"

namespace QUORB
{
float LocationDwellTime = 3.0f;
} // namespace QUORB
