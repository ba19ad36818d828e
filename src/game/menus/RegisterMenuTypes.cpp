#include "game/menus/RegisterMenuTypes.h"

#include "game/menus/CreateProfileMenu.h"
#include "game/menus/CreditsMenu.h"
#include "game/menus/OptionsMenu.h"
#include "game/menus/ProfileMenu.h"

namespace QUORB
{
void RegisterMenuTypes()
{
    // Each menu class goes here under its game-object name as it is built; names without a class
    // keep the game's placeholder.
    RegisterMenuType<OptionsMenu>("OptionsMenu");
    RegisterMenuType<CreditsMenu>("CreditsMenu");
    RegisterMenuType<CreateProfileMenu>("CreateProfileMenu");
    RegisterMenuType<ProfileMenu>("ProfileMenu");
}
} // namespace QUORB
