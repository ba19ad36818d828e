// Pictures for the sphere meshes (balls, nodes, props): a sphere map is wrapped with u running
// once around, from -x (so u = 0.5 faces +x, the side a star object shows the room), and v from
// the top pole (0) to the bottom one (1). Drawing through the sphere's own directions keeps
// details round on the ball and the map seamless in u.
#pragma once

#include "Raster.h"

namespace texgen
{

struct Dir3
{
    float x = 0.0f;
    float y = 0.0f;
    float z = 0.0f;
};

// The point of the unit sphere that the meshes give texture coordinates (u, v); y is up.
Dir3 SphereDirection(float u, float v);

// Lays `picture` on the sphere map like a sticker: its centre on the point with texture
// coordinates (u, v), upright (its top towards the top pole; keep it off the poles) and `across` radians
// wide, seen from outside the ball. The picture is sampled four times a map pixel, so drawing it at about
// twice the map's density keeps its edges smooth.
void PasteOnSphere(Image& map, const Image& picture, float u, float v, float across);

} // namespace texgen
