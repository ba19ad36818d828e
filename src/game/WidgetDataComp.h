// the widget-data record of a widget or star object (friction, density, magnetism, speed, strength). For now
// the component keeps its saved XML (KeptXmlComp) so templates that name it load.
#pragma once

#include "game/KeptXmlComp.h"

namespace QUORB
{
class WidgetDataComp : public KeptXmlComp<WidgetDataComp>
{
public:
    static const char* const kTypeName; // "WidgetDataComp"
};
} // namespace QUORB
