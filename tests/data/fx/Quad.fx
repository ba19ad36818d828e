// Test effect: quads drawn in their texture's own colours, in one flat colour, or straight from
// pre-transformed vertices through the device's pass-through; and a two-pass technique whose
// states Begin saves and End restores. The techniques carry annotations of every kind.

shared float4x4 g_ViewProjection : ViewProjection;
shared float g_time;

float4x4 g_World : World;
float4 g_Colour <string UIName = "Colour"; float4 UIMax = {1, 1, 1, 1}; int Order = 3;> = {1, 1, 1, 1};
int g_Mode = 2;
bool g_Enabled = true;
float2 g_Offsets[3] = {{1, 2}, {3, 4}, {5, 6}};
texture g_Texture1;

sampler2D s_Texture1 = sampler_state
{
    Texture = <g_Texture1>;
    MinFilter = Point;
    MagFilter = Point;
    AddressU = Clamp;
    AddressV = Clamp;
};

glsl vertex VS_World
{
    out vec2 v_uv;
    void main()
    {
        v_uv = in_TexCoord0;
        plat_Position = mul(mul(in_Position, g_World), g_ViewProjection);
    }
}

glsl fragment PS_Texel
{
    in vec2 v_uv;
    void main()
    {
        plat_Color = tex2D(s_Texture1, v_uv);
    }
}

glsl fragment PS_Flat
{
    void main()
    {
        plat_Color = g_Enabled ? g_Colour : vec4(g_Offsets[g_Mode], g_time, 1.0);
    }
}

glsl fragment PS_ScreenTexel
{
    void main()
    {
        plat_Color = tex2D(s_Texture1, plat_TexCoord0) * plat_VertexColor;
    }
}

technique Texel <string Desc = "texels as they are";>
{
    pass P0
    {
        VertexShader = VS_World;
        FragmentShader = PS_Texel;
        CullMode = None;
        ZEnable = true;
        ZWriteEnable = true;
    }
}

technique Flat
{
    pass P0
    {
        VertexShader = VS_World;
        FragmentShader = PS_Flat;
        CullMode = None;
        ZEnable = true;
        ZWriteEnable = true;
    }
}

// Annotated like a post-processing step.
technique ScreenTexel <int SrcTex0Usage = 1; float ScrQuadScaleX = 0.5; string Param0Name = "g_Colour";
                       int Param0Size = 4; float4 Param0DefaultVal = {1, 0.5, 0.25, 1}; bool Saved = true;>
{
    pass
    {
        FragmentShader = PS_ScreenTexel;
        CullMode = None;
        ZEnable = false;
    }
}

technique TwoPasses
{
    pass Solid <float Strength = 0.75;>
    {
        VertexShader = VS_World;
        FragmentShader = PS_Flat;
        CullMode = None;
        ZEnable = false;
    }
    pass Blended
    {
        VertexShader = VS_World;
        FragmentShader = PS_Flat;
        ZWriteEnable = false;
        AlphaBlendEnable = true;
        SrcBlend = SrcAlpha;
        DestBlend = InvSrcAlpha;
    }
}
