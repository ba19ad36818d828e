// Files the menus layer's menu classes in the game's menu table under their game-object names.
// The program entry calls it once, before the game starts; menus not filed stay placeholders.
#pragma once

namespace QUORB
{
void RegisterMenuTypes();
} // namespace QUORB
