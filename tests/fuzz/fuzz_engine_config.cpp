// The engine configuration loader on any file: the record must hold a window size a device can
// make and finite numbers, whatever the file says.
// Bounded run: 3200 inputs
#include "FuzzSupport.h"

#include "game/app/CEngineLoader.h"

#include <cmath>
#include <string>

namespace
{
bool Finite(float value)
{
    return std::isfinite(value);
}

void CheckColour(const plat::D3DCOLORVALUE& c)
{
    FUZZ_CHECK(Finite(c.r) && Finite(c.g) && Finite(c.b) && Finite(c.a), "a light colour is not finite");
}

void CheckVector(const plat::D3DVECTOR& v)
{
    FUZZ_CHECK(Finite(v.x) && Finite(v.y) && Finite(v.z), "a light vector is not finite");
}
} // namespace

extern "C" int LLVMFuzzerInitialize(int*, char***)
{
    fuzzsupport::Init();
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    fuzzsupport::InWorkFolder here;
    fuzzsupport::WriteFile("dorvo_engine_config.xml", std::string(reinterpret_cast<const char*>(data), size));
    QUORB::CEngineLoader loader;
    loader.Load("dorvo_engine_config.xml");
    const dorvo::SEngineConfigInfo& info = *loader.GetData();
    FUZZ_CHECK(info.screenWidth >= 1 && info.screenWidth <= 8192, std::to_string(info.screenWidth));
    FUZZ_CHECK(info.screenHeight >= 1 && info.screenHeight <= 8192, std::to_string(info.screenHeight));
    for (float value : info.fogColor)
        FUZZ_CHECK(Finite(value), "fog colour");
    FUZZ_CHECK(Finite(info.fogStart) && Finite(info.fogEnd) && Finite(info.fogDensity), "fog");
    FUZZ_CHECK(info.lights.size() <= 1, "more than one light");
    for (const dorvo::SEngineLight& record : info.lights)
    {
        const plat::D3DLIGHT9& light = record.light;
        CheckColour(light.Diffuse);
        CheckColour(light.Specular);
        CheckColour(light.Ambient);
        CheckVector(light.Position);
        CheckVector(light.Direction);
        FUZZ_CHECK(Finite(light.Range) && Finite(light.Falloff) && Finite(light.Attenuation0) &&
                       Finite(light.Attenuation1) && Finite(light.Attenuation2) && Finite(light.Theta) &&
                       Finite(light.Phi),
                   "a light number is not finite");
    }
    return 0;
}
