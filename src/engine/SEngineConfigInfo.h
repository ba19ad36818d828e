// The engine configuration: how graphics opens the window and device, where its files live,
// which effects it loads, the fog and the scene light. Filled by the game's loader from
// "dorvo_engine_config.xml" and read once by graphics at start-up.
#pragma once

#include "platform/d3d9types.h"

#include <cstdint>
#include <string>
#include <vector>

namespace dorvo
{
// One light for graphics' light table: the light and the slot it takes.
struct SEngineLight
{
    plat::D3DLIGHT9 light;
    std::uint32_t index = 0;
};

struct SEngineConfigInfo
{
    // True until a configuration file's "Graphics" element was read; graphics then uses its
    // built-in defaults (windowed 800 x 600, solid fill) instead of the window fields below.
    bool useDefaults = true;

    std::vector<std::string> fxFiles;
    std::vector<std::string> postProcessFxFiles;
    std::vector<SEngineLight> lights;

    float fogColor[4] = {0.0f, 0.0f, 0.0f, 0.0f}; // r, g, b, a
    float fogStart = 0.0f;                        // world units
    float fogEnd = 0.0f;                          // world units
    float fogDensity = 0.0f;

    bool deviceOption = true; // never read from the file; graphics' own default
    bool wireframe = false;
    bool fullScreen = false;
    int screenWidth = 800;  // pixels
    int screenHeight = 600; // pixels

    std::string meshPath;
    std::string fxPath;
    std::string texturePath;
    std::string soundsPath;
};
} // namespace dorvo
