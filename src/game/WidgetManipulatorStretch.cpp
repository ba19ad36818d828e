// Stretching a new platform, bar or accelerator while its button is held: the drag operations of
// the creating state. Not built yet: a new widget keeps the length and direction it was created
// with (a click's shortest widget, or the stretch of the press).
#include "game/WidgetManipulator.h"

namespace QUORB
{
void WidgetManipulator::DragPlatform() {}

void WidgetManipulator::DragBar() {}

void WidgetManipulator::DragAccelerator() {}

void WidgetManipulator::StretchNewWidget(const std::string&) {}
} // namespace QUORB
