// the link between two objects that live and die together (a widget or star object and its field, a water
// objective and its end marker). For now the component keeps its saved XML (KeptXmlComp) so templates that
// name it load.
#pragma once

#include "game/KeptXmlComp.h"

namespace QUORB
{
class GobIDComp : public KeptXmlComp<GobIDComp>
{
public:
    static const char* const kTypeName; // "GobIDComp"
};
} // namespace QUORB
