// Textured, lit surfaces with a scrolling texture, and a screen-quad tint.
/* Shared parameters hold one value for every effect of the pool; the engine
   writes them once a frame. */
shared float4x4 g_ViewInverse : ViewInverse;
shared float4x4 g_ViewProjection : ViewProjection;
shared int g_LightType = 3;
shared float4 g_LightPos = {0, 100, 0, 1};
shared float4 g_LightAmbient = {0.2, 0.2, 0.2, 1};
shared float4 g_LightDiffuse = {0.8, 0.8, 0.8, 1};
shared float g_time;

float4x4 g_World : World;
float4x4 g_WorldViewProjection : WorldViewProjection;
float4x4 g_WorldInverseTranspose : WorldInverseTranspose;
float4 g_MaterialDiffuse <string UIName = "Diffuse"; float4 UIMax = {1, 1, 1, 1};> = {1, 1, 1, 1};
float g_TileFactor = 1.0f;
float2 g_UVAniDir = float2(0.1, 0);
bool g_Lit = true;

struct Ripple
{
    float m_freq;
    float m_amp;
    float2 m_dir;
};
Ripple g_Ripples[2] = {
    {1.5, 0.02, {1, 0}},
    {3.0, 0.01, {0, 1}},
};

texture g_Texture1 <string ResourceName = "White.png";>;

sampler2D s_Texture1 = sampler_state
{
    Texture = <g_Texture1>;
    MinFilter = Linear;
    MagFilter = Linear;
    MipFilter = Linear;
    AddressU = Wrap;
    AddressV = Wrap;
};

glsl vertex VS_Lit
{
    out vec2 v_uv;
    out vec3 v_normal;
    void main()
    {
        vec2 uv = in_TexCoord0 * g_TileFactor + g_UVAniDir * g_time;
        for (int i = 0; i < 2; ++i)
            uv += g_Ripples[i].m_dir * g_Ripples[i].m_amp * sin(g_Ripples[i].m_freq * g_time);
        v_uv = uv;
        v_normal = normalize(mul(vec4(in_Normal, 0.0), g_WorldInverseTranspose).xyz);
        plat_Position = mul(in_Position, g_WorldViewProjection);
    }
}

glsl fragment PS_Lit
{
    in vec2 v_uv;
    in vec3 v_normal;
    void main()
    {
        vec3 toLight = normalize(g_LightPos.xyz); // a directional light: its direction
        float diffuse = g_Lit ? max(dot(normalize(v_normal), toLight), 0.0) : 1.0;
        vec4 light = g_LightAmbient + g_LightDiffuse * diffuse;
        plat_Color = tex2D(s_Texture1, v_uv) * g_MaterialDiffuse * vec4(light.rgb, 1.0);
    }
}

glsl fragment PS_Tint
{
    void main()
    {
        plat_Color = tex2D(s_Texture1, plat_TexCoord0) * plat_VertexColor * g_MaterialDiffuse;
    }
}

technique TextureMapping <string Desc = "lit and textured"; int Passes = 2;>
{
    pass P0
    {
        VertexShader = VS_Lit;
        FragmentShader = PS_Lit;
        CullMode = CCW;
        ZEnable = true;
        ZWriteEnable = true;
        AlphaBlendEnable = false;
    }
    pass P1 <float Strength = 0.5;>
    {
        VertexShader = VS_Lit;
        FragmentShader = PS_Lit;
        ZWriteEnable = false;
        AlphaBlendEnable = true;
        SrcBlend = SrcAlpha;
        DestBlend = InvSrcAlpha;
    }
}

// Pre-transformed screen quads: no vertex block, the device's pass-through stands in.
technique ScreenTint
{
    pass
    {
        FragmentShader = PS_Tint;
        CullMode = None;
        ZEnable = false;
        FillMode = Solid;
    }
}
