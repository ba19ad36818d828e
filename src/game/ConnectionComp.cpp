#include "game/ConnectionComp.h"

namespace QUORB
{
const char* const ConnectionComp::kTypeName = "ConnectionComp";
} // namespace QUORB
