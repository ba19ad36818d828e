// Registers the component types of the engine core with the GobManager. The game's start-up
// calls it once, after GobManager::RegisterConsoleCommands and before any template is loaded.
#pragma once

void RegisterCoreComponentTypes();
