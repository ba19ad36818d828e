// the puzzle objective an objective object carries. For now the component keeps its saved XML (KeptXmlComp)
// so templates that name it load.
#pragma once

#include "game/KeptXmlComp.h"

namespace QUORB
{
class ObjectiveComp : public KeptXmlComp<ObjectiveComp>
{
public:
    static const char* const kTypeName; // "ObjectiveComp"
};
} // namespace QUORB
