#include "game/GobIDComp.h"

namespace QUORB
{
const char* const GobIDComp::kTypeName = "GobIDComp";
} // namespace QUORB
