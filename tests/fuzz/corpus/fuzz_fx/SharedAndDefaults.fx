shared float4 g_LightPos = {0, 10, 0, 1};
struct Fog { float start; float end; };
shared Fog g_Fog = {{1}, 2};
int g_Type <string Name = "light \"type\""; float4 V = float4(1, 2, 3, 4);> = -3;
bool g_On[2] = {true, 0};
