#include "game/app/GameComponentTypes.h"

#include "engine/DefaultCompCreator.h"
#include "game/nodes/ConnectionComp.h"
#include "game/nodes/GobIDComp.h"
#include "game/nodes/NodeDataComp.h"
#include "game/objectives/ObjectiveComp.h"
#include "game/widgets/ConstructionQuadComp.h"
#include "game/widgets/WidgetDataComp.h"

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
