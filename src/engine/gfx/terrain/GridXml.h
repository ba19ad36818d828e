// The grid record of the terrain and water components: how many rows of vertices, how many in
// each row, how far apart and the grid's centre, stored as a "Grid" element with the caller's
// name in its "name" attribute and the four values "NumVertsPerRow", "NumVertsPerCol",
// "CellSpacing" and "Center", read back by position.
#pragma once

#include "common/math/Vector3.h"

#include <string>

class TiXmlNode;

namespace dorvo
{
namespace gfx
{
struct SGrid
{
    int numVertsPerRow = 0;   // rows of vertices (the terrain lays them along z)
    int numVertsPerCol = 0;   // vertices in each row (along x)
    float cellSpacing = 0.0f; // world units between neighbouring vertices
    math::Vector3 center{0.0f, 0.0f, 0.0f};
};

// False, writing nothing, for a null parent or one that is not an element.
bool WriteGrid(TiXmlNode* parent, const SGrid& grid, const std::string& name);
// The first four child elements in order, whatever their names; a child that is missing or
// unreadable leaves its field as it was. False, grid unchanged, when the node is missing or not
// an element.
bool ReadGrid(const TiXmlNode* node, SGrid& grid);
} // namespace gfx
} // namespace dorvo
