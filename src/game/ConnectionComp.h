// the two end nodes of a platform, bar or accelerator segment. For now the component keeps its saved XML
// (KeptXmlComp) so templates that name it load.
#pragma once

#include "game/KeptXmlComp.h"

namespace QUORB
{
class ConnectionComp : public KeptXmlComp<ConnectionComp>
{
public:
    static const char* const kTypeName; // "ConnectionComp"
};
} // namespace QUORB
