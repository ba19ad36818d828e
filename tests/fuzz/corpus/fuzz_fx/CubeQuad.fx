texture t;
samplerCUBE s = sampler_state { Texture = t; MipFilter = None; AddressW = Mirror; };
glsl fragment PS { /* } */ void main() { plat_Color = texCUBE(s, vec3(1.0)); } }
technique Q { pass { FragmentShader = PS; FillMode = Wireframe; } }
