// The hull class of cloth. It has no shape and nothing creates one (no "HullType" names it):
// cloth collides with nothing. The class exists so that the collision detector's table keeps
// a row and a column for cloth, whose pair tests answer "no collision".
#pragma once

#include "engine/phy/CollisionHull.h"

namespace dorvo
{
namespace phy
{
class ClothHull : public CollisionHull
{
public:
    ClothHull();
    ~ClothHull() override;

    // Nothing to save or load: both answer false and touch nothing.
    bool Serialize(TiXmlNode* parent) override;
    bool Deserialize(const TiXmlNode* node) override;

    int& GetClassIndex() override;
    static int& StaticClassIndex();
};
} // namespace phy
} // namespace dorvo
