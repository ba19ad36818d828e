#include "engine/gfx/postprocess/PostProcessIds.h"

#include <array>

namespace dorvo
{
namespace gfx
{
namespace
{
struct SIdEntry
{
    const char* file; // null: the id is a chain or queues nothing
    const char* name; // null: "qpp" does not know it
};

// By id.
constexpr std::array<SIdEntry, kPostProcessIdCount> kIds = {{
    {"DownFilter4x.fx", "downfilter4x"},                 // 0
    {"UpFilter4x.fx", "upfilter4x"},                     // 1
    {"HBloom.fx", "hbloom"},                             // 2
    {"VBloom.fx", "vbloom"},                             // 3
    {"BrightFilter.fx", "brightfilter"},                 // 4
    {"ToneMap.fx", nullptr},                             // 5
    {"Combine.fx", "combine"},                           // 6
    {"Combine4x.fx", "combine4x"},                       // 7
    {nullptr, "bloom"},                                  // 8 (chain)
    {nullptr, nullptr},                                  // 9
    {nullptr, nullptr},                                  // 10
    {nullptr, "bloom2"},                                 // 11 (chain)
    {nullptr, "bloom3"},                                 // 12 (chain)
    {"DownFilter2x.fx", "downfilter2x"},                 // 13
    {"UpFilter2x.fx", "upfilter2x"},                     // 14
    {"UpFilter2xSaveTo0.fx", "upfilter2xsaveto0"},       // 15
    {"UpFilter2xSaveTo1.fx", "upfilter2xsaveto1"},       // 16
    {"UpFilter4xSaveTo0.fx", "upfilter4xsaveto0"},       // 17
    {"UpFilter4xSaveTo1.fx", "upfilter4xsaveto1"},       // 18
    {"SaveTo0.fx", "saveto0"},                           // 19
    {"SaveTo1.fx", "saveto1"},                           // 20
    {"GetSaved0.fx", "getsaved0"},                       // 21
    {"GetSaved1.fx", "getsaved1"},                       // 22
    {"Saved0CombineSaveTo0.fx", "saved0combinesaveto0"}, // 23
    {"Saved1CombineSaveTo1.fx", "saved1combinesaveto1"}, // 24
    {"HBloom5.fx", "hbloom5"},                           // 25
    {"VBloom5.fx", "vbloom5"},                           // 26
    {"HBloom3.fx", "hbloom3"},                           // 27
    {"VBloom3.fx", "vbloom3"},                           // 28
    {"DownFilterTo64x64.fx", nullptr},                   // 29
    {"InitialLum.fx", nullptr},                          // 30
    {"FinalLum.fx", nullptr},                            // 31
    {nullptr, nullptr},                                  // 32
    {"LumFilter.fx", nullptr},                           // 33
    {"ScaleToCurScreenSize.fx", nullptr},                // 34
    {nullptr, nullptr},                                  // 35
    {"ToneMap2.fx", nullptr},                            // 36
    {"LumDownFilter2x.fx", nullptr},                     // 37
    {"LumDownFilter4x.fx", nullptr},                     // 38
    {"Saved0Combine.fx", "saved0combine"},               // 39
    {"Saved0Combine4x.fx", nullptr},                     // 40
    {"Wavy.fx", "wavy"},                                 // 41
    {"EdgeDetection.fx", "edgedetection"},               // 42
    {"RT1.fx", "rt1"},                                   // 43
    {"RT2.fx", "rt2"},                                   // 44
    {"Dilation.fx", "dilation"},                         // 45
    {"EdgeCombine.fx", "edgecombine"},                   // 46
    {"RT3.fx", "rt3"},                                   // 47
    {"HGaussian.fx", "hgaussian"},                       // 48
    {"VGaussian.fx", "vgaussian"},                       // 49
    {"AA2x2.fx", "aa2x2"},                               // 50
}};

const std::vector<unsigned>& ChainOf(unsigned id)
{
    static const std::vector<unsigned> none;
    static const std::vector<unsigned> bloom = {0, 4, 0, 2, 3, 2, 3, 1, 7};
    static const std::vector<unsigned> bloom2 = {4, 0, 2, 3, 2, 3, 7};
    static const std::vector<unsigned> bloom3 = {4,  19, 13, 27, 28, 16, 21, 0, 25, 26, 1,  24,
                                                 21, 0,  0,  2,  3,  2,  3,  1, 1,  24, 22, 6};
    switch (id)
    {
    case 8:
        return bloom;
    case 11:
        return bloom2;
    case 12:
        return bloom3;
    default:
        return none;
    }
}
} // namespace

std::vector<std::string> PostProcessFilesOfId(unsigned id)
{
    std::vector<std::string> files;
    if (id >= kPostProcessIdCount)
        return files;
    if (kIds[id].file)
    {
        files.emplace_back(kIds[id].file);
        return files;
    }
    // Chain elements are ids with a file each.
    for (unsigned element : ChainOf(id))
        files.emplace_back(kIds[element].file);
    return files;
}

bool PostProcessIdOfName(const std::string& name, unsigned& id)
{
    for (unsigned i = 0; i < kPostProcessIdCount; ++i)
        if (kIds[i].name && name == kIds[i].name)
        {
            id = i;
            return true;
        }
    return false;
}
} // namespace gfx
} // namespace dorvo
