// Test effect sharing the camera with Quad.fx through the pool: a quad in one tint colour.

shared float4x4 g_ViewProjection : ViewProjection;
shared float g_time = 7;

float4x4 g_World : World;
float4 g_Tint = {0, 1, 0, 1};

glsl vertex VS_World
{
    void main()
    {
        plat_Position = mul(mul(in_Position, g_World), g_ViewProjection);
    }
}

glsl fragment PS_Tint
{
    void main()
    {
        plat_Color = g_Tint;
    }
}

technique Tint
{
    pass P0
    {
        VertexShader = VS_World;
        FragmentShader = PS_Tint;
        CullMode = None;
        ZEnable = false;
    }
}
