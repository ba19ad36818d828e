// Any document through the GUI skin reader: a skin it accepts is written and read back, and the
// colours must then stay the same from one write to the next, up to the rounding of the channel
// scale (times 255 written, divided by 255 read). A skin it refuses leaves the colours as they were.
// Bounded run: 40000 inputs
#include "FuzzSupport.h"

#include "engine/gfx/gui/GameSkin.h"

#include <tinyxml.h>

#include <cmath>
#include <cstring>
#include <string>

namespace
{
bool Same(float a, float b)
{
    if (std::isnan(a) || std::isnan(b) || std::isinf(a) || std::isinf(b))
        return (std::isnan(a) && std::isnan(b)) || a == b;
    return std::fabs(a - b) <= 1e-6f * std::fmax(1.0f, std::fabs(a));
}

bool SameSkin(const plat::D3DXCOLOR (&a)[5], const plat::D3DXCOLOR (&b)[5])
{
    for (int i = 0; i < 5; ++i)
        if (!Same(a[i].r, b[i].r) || !Same(a[i].g, b[i].g) || !Same(a[i].b, b[i].b) || !Same(a[i].a, b[i].a))
            return false;
    return true;
}

// Written under a fresh element and read back.
bool RoundTrip(const plat::D3DXCOLOR (&in)[5], plat::D3DXCOLOR (&out)[5])
{
    TiXmlElement holder("Settings");
    if (!dorvo::gfx::WriteGameSkin(&holder, in, "skin"))
        return false;
    return dorvo::gfx::ReadGameSkin(holder.FirstChildElement(), out);
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
    TiXmlDocument doc;
    doc.Parse(std::string(reinterpret_cast<const char*>(data), size).c_str());
    const plat::D3DXCOLOR before(0.25f, 0.5f, 0.75f, 1.0f);
    for (const TiXmlElement* element = doc.RootElement(); element; element = element->NextSiblingElement())
    {
        plat::D3DXCOLOR colors[5] = {before, before, before, before, before};
        if (!dorvo::gfx::ReadGameSkin(element, colors))
        {
            for (const plat::D3DXCOLOR& color : colors)
                FUZZ_CHECK(std::memcmp(&color, &before, sizeof color) == 0,
                           "a refused skin changed the colours");
            continue;
        }
        plat::D3DXCOLOR once[5];
        plat::D3DXCOLOR twice[5];
        FUZZ_CHECK(RoundTrip(colors, once), "a skin read could not be written and read back");
        FUZZ_CHECK(RoundTrip(once, twice), "a written skin could not be read back");
        FUZZ_CHECK(SameSkin(once, twice), "the colours changed between two writes");
    }
    return 0;
}
