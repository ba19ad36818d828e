#include "engine/RegisterCoreComponentTypes.h"

#include "engine/DefaultCompCreator.h"
#include "engine/GridComp.h"
#include "engine/POVComp.h"

// In this order; a further engine type is one more line with its header included above.
void RegisterCoreComponentTypes()
{
    RegisterComponentType<POVComp>("POVComp");
    RegisterComponentType<GridComp>("GridComp");
}
