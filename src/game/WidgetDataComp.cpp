#include "game/WidgetDataComp.h"

namespace QUORB
{
const char* const WidgetDataComp::kTypeName = "WidgetDataComp";
} // namespace QUORB
