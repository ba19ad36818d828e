#include "game/GameComponentTypes.h"

#include "engine/DefaultCompCreator.h"
#include "game/ConnectionComp.h"
#include "game/ConstructionQuadComp.h"
#include "game/GobIDComp.h"
#include "game/NodeDataComp.h"
#include "game/ObjectiveComp.h"
#include "game/WidgetDataComp.h"

namespace QUORB
{
void RegisterGameComponentTypes()
{
    RegisterComponentType<ConstructionQuadComp>(ConstructionQuadComp::kTypeName);
    RegisterComponentType<WidgetDataComp>(WidgetDataComp::kTypeName);
    RegisterComponentType<GobIDComp>(GobIDComp::kTypeName);
    RegisterComponentType<ConnectionComp>(ConnectionComp::kTypeName);
    RegisterComponentType<NodeDataComp>(NodeDataComp::kTypeName);
    RegisterComponentType<ObjectiveComp>(ObjectiveComp::kTypeName);
}
} // namespace QUORB
