#include "game/NodeDataComp.h"

namespace QUORB
{
const char* const NodeDataComp::kTypeName = "NodeDataComp";
} // namespace QUORB
