// Planar water with two moving waves, reflection, refraction and a cube-map sky.
// The parameter order is the one the effect manager's handle table for this file expects.

shared float4x4 g_ViewInverse : ViewInverse;
shared float4x4 g_ViewProjection : ViewProjection;
shared float4 g_LightPos = {0, 100, 0, 1};
shared float g_time;

float4x4 g_World : World;
float4x4 g_WorldView : WorldView;
float4x4 g_WorldViewProjection : WorldViewProjection;
float4x4 g_WorldInverseTranspose : WorldInverseTranspose;
float4 g_MaterialAmbient = {0.2, 0.2, 0.2, 1};
float4 g_MaterialDiffuse = {1, 1, 1, 1};
float4 g_MaterialSpecular = {1, 1, 1, 1};
float g_specular_power = 32;
float g_TileFactor = 1;
float4 g_ModelLightPos = {0, 100, 0, 1};
float4 g_ModelLightDir = {0, -1, 0, 0};

float g_BumpHeight = 0.5;
float g_ReflectionUVDistortion = 0.02;
float g_WaterBlendWeight = 0.5;
float g_HDRMultiplier = 1;
float g_TextureScale = 0.1;
float2 g_BumpSpeed = {0.015, 0.005};
float g_FresnelBias = 0.3;
float g_FresnelPower = 4;
float4 g_ShallowWaterColor : Diffuse <string UIName = "Shallow water";> = {0.0, 0.55, 0.6, 1};
float4 g_DeepWaterColor <string UIName = "Deep water";> = {0.0, 0.15, 0.3, 1};
float g_WaveAmp = 1;
float g_WaveFreq = 0.1;

struct Wave
{
    float m_freq;  // radians per world unit
    float m_amp;   // world units
    float m_phase; // radians per second
    float2 m_dir;  // on the water plane, unit length
};

Wave g_Waves[2] = {
    {1.0, 0.5, 0.5, {-1, 0}},
    {2.0, 0.25, 1.3, {-0.7, 0.7}},
};

texture g_NormalMap <string ResourceName = "WaterNormals.png";>;
texture g_ReflectionMap;
texture g_RefractionMap;
float g_WaterAlpha = 0.8;
texture g_CubeMap;
float g_BumpScale = 0.2;
float2 g_dir1 = {1, 0};
float2 g_dir2 = {0, 1};

sampler2D s_NormalMap = sampler_state
{
    Texture = <g_NormalMap>;
    MinFilter = Linear;
    MagFilter = Linear;
    MipFilter = Linear;
};
sampler2D s_ReflectionMap = sampler_state { Texture = <g_ReflectionMap>; MinFilter = Linear; MagFilter = Linear; AddressU = Clamp; AddressV = Clamp; };
sampler2D s_RefractionMap = sampler_state { Texture = <g_RefractionMap>; MinFilter = Linear; MagFilter = Linear; AddressU = Clamp; AddressV = Clamp; };
samplerCUBE s_CubeMap = sampler_state { Texture = <g_CubeMap>; MinFilter = Linear; MagFilter = Linear; };

glsl vertex VS_Water
{
    out vec2 v_bumpUV0;
    out vec2 v_bumpUV1;
    out vec4 v_screen;
    out vec3 v_toEye;
    out vec3 v_normal;

    void main()
    {
        vec4 position = in_Position;
        vec3 normal = vec3(0.0, 1.0, 0.0);
        for (int i = 0; i < 2; ++i)
        {
            float angle = dot(g_Waves[i].m_dir, position.xz) * g_Waves[i].m_freq * g_WaveFreq +
                          g_Waves[i].m_phase * g_time;
            float amp = g_Waves[i].m_amp * g_WaveAmp;
            position.y += amp * sin(angle);
            normal.xz -= g_Waves[i].m_dir * amp * g_Waves[i].m_freq * g_WaveFreq * cos(angle);
        }
        vec2 uv = in_TexCoord0 * g_TextureScale * g_TileFactor;
        v_bumpUV0 = uv + g_dir1 * g_BumpSpeed.x * g_time;
        v_bumpUV1 = uv * 2.0 + g_dir2 * g_BumpSpeed.y * g_time;
        vec4 world = mul(position, g_World);
        v_toEye = g_ViewInverse[3].xyz - world.xyz;
        v_normal = normalize(mul(vec4(normalize(normal), 0.0), g_WorldInverseTranspose).xyz);
        plat_Position = mul(position, g_WorldViewProjection);
        v_screen = plat_Position;
    }
}

glsl fragment PS_Water
{
    in vec2 v_bumpUV0;
    in vec2 v_bumpUV1;
    in vec4 v_screen;
    in vec3 v_toEye;
    in vec3 v_normal;

    void main()
    {
        vec3 bump = (tex2D(s_NormalMap, v_bumpUV0).xyz + tex2D(s_NormalMap, v_bumpUV1).xyz - 1.0) * g_BumpHeight;
        vec3 normal = normalize(v_normal + vec3(bump.x, 0.0, bump.y) * g_BumpScale);
        vec3 toEye = normalize(v_toEye);
        // Clip space to texture space: the device's render targets are kept top-down.
        vec2 screen = v_screen.xy / v_screen.w * vec2(0.5, -0.5) + 0.5;
        vec2 distortion = normal.xz * g_ReflectionUVDistortion;
        vec4 reflection = tex2D(s_ReflectionMap, screen + distortion);
        vec4 refraction = tex2D(s_RefractionMap, screen - distortion);
        vec4 sky = texCUBE(s_CubeMap, reflect(-toEye, normal));
        float facing = 1.0 - max(dot(toEye, normal), 0.0);
        float fresnel = clamp(g_FresnelBias + (1.0 - g_FresnelBias) * pow(facing, g_FresnelPower), 0.0, 1.0);
        vec4 water = mix(g_ShallowWaterColor, g_DeepWaterColor, facing);
        vec4 mirrored = mix(reflection, sky, 0.25) * g_HDRMultiplier;
        vec4 colour = mix(mix(refraction, water, g_WaterBlendWeight), mirrored, fresnel);
        vec3 toLight = normalize(g_LightPos.xyz);
        float specular = pow(max(dot(reflect(-toLight, normal), toEye), 0.0), g_specular_power);
        plat_Color = vec4(colour.rgb * g_MaterialDiffuse.rgb + g_MaterialSpecular.rgb * specular, g_WaterAlpha);
    }
}

technique RenderPlanarWaveWater
{
    pass P0
    {
        VertexShader = VS_Water;
        FragmentShader = PS_Water;
        CullMode = None;
        ZWriteEnable = true;
        AlphaBlendEnable = true;
        SrcBlend = SrcAlpha;
        DestBlend = InvSrcAlpha;
    }
}
