// Plain records of the Direct3D 9 model that the engine keeps: colours, vectors, lights.
// Only the members the engine reads or writes are declared.
#pragma once

#include <cstdint>

namespace plat
{
struct D3DCOLORVALUE
{
    float r = 0.0f, g = 0.0f, b = 0.0f, a = 0.0f;
};

struct D3DVECTOR
{
    float x = 0.0f, y = 0.0f, z = 0.0f;
};

enum D3DLIGHTTYPE : std::uint32_t
{
    D3DLIGHT_POINT = 1,
    D3DLIGHT_SPOT = 2,
    D3DLIGHT_DIRECTIONAL = 3,
};

struct D3DLIGHT9
{
    D3DLIGHTTYPE Type = D3DLIGHT_POINT;
    D3DCOLORVALUE Diffuse;
    D3DCOLORVALUE Specular;
    D3DCOLORVALUE Ambient;
    D3DVECTOR Position;
    D3DVECTOR Direction;
    float Range = 0.0f;
    float Falloff = 0.0f;
    float Attenuation0 = 0.0f;
    float Attenuation1 = 0.0f;
    float Attenuation2 = 0.0f;
    float Theta = 0.0f; // inner cone, radians
    float Phi = 0.0f;   // outer cone, radians
};
} // namespace plat
