// a node's joins to the widgets that meet at it. For now the component keeps its saved XML (KeptXmlComp) so
// templates that name it load.
#pragma once

#include "game/KeptXmlComp.h"

namespace QUORB
{
class NodeDataComp : public KeptXmlComp<NodeDataComp>
{
public:
    static const char* const kTypeName; // "NodeDataComp"
};
} // namespace QUORB
