#include "engine/phy/ClothHull.h"

namespace dorvo
{
namespace phy
{
ClothHull::ClothHull() = default;

ClothHull::~ClothHull() = default;

bool ClothHull::Serialize(TiXmlNode*)
{
    return false;
}

bool ClothHull::Deserialize(const TiXmlNode*)
{
    return false;
}

int& ClothHull::GetClassIndex()
{
    return StaticClassIndex();
}

int& ClothHull::StaticClassIndex()
{
    static int s_index = -1;
    return s_index;
}
} // namespace phy
} // namespace dorvo
