#include "game/ObjectiveComp.h"

namespace QUORB
{
const char* const ObjectiveComp::kTypeName = "ObjectiveComp";
} // namespace QUORB
