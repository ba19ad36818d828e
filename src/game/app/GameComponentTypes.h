// Registers the game's six component types with the GobManager, in the order the game's
// start-up files them: "ConstructionQuadComp", "WidgetDataComp", "GobIDComp", "ConnectionComp",
// "NodeDataComp", "ObjectiveComp". A type that has a creator already keeps it.
#pragma once

namespace QUORB
{
void RegisterGameComponentTypes();
} // namespace QUORB
