#include "CommittedHashes.h"

#include <cstring>

namespace physcene
{
namespace
{
// clang-format off
const CommittedHash kCommitted[] = {
    // The benchmark's matrix at 600 (rain) and 900 (towers) steps, as hashes.txt lists it.
    {"rain_spread_n100 c6k6_shock", 0x10b26af446a6cb56ull, 0},
    {"rain_spread_n500 c6k6_shock", 0x1822f552e12c0c9full, 0},
    {"rain_spread_n1000 c6k6_shock", 0x5199b7654c56935full, 0},
    {"rain_centred_n100 c6k6_shock", 0x2308e1183ad19be4ull, 0},
    {"rain_centred_n500 c6k6_shock", 0xf7258d48475ccdcbull, 0},
    {"rain_centred_n1000 c6k6_shock", 0xa2161ed93c8629abull, 0},
    {"rain_leaf_n100 c6k6_shock", 0x565d524c33090da6ull, 0},
    {"rain_leaf_n500 c6k6_shock", 0x749b7e7761eb8884ull, 0},
    {"rain_leaf_n1000 c6k6_shock", 0xe3fcd2b420e91027ull, 0},
    {"rain_spread_n4000 c6k6_shock", 0xb1b2c09aa6329205ull, 0},
    {"rain_centred_n4000 c6k6_shock", 0x2e7d762684d4fd97ull, 0},
    {"rain_leaf_n4000 c6k6_shock", 0xab18c182e9c6f4c6ull, 0},
    {"rain_spread_n1000 c6k6_shock_sleep", 0xe9d1ee14fd199f36ull, 0},
    {"towers_tower10 c6k6_shock", 0xb102751050cdf094ull, 0},
    {"towers_tower10 c1k1_shock", 0xb7f2cfe853a58758ull, 0},
    {"towers_tower10 c1k1_noshock", 0x3565680a3dd022efull, 0},
    {"towers_tower10 c6k6_noshock", 0xf46691e3c48bde33ull, 0},
    {"towers_tower10 c12k12_shock", 0x3511f54025f13819ull, 0},
    {"towers_tower10 c12k12_noshock", 0x810240cf56db50ffull, 0},
    {"towers_pyramid55 c6k6_shock", 0xa612280421e9843bull, 0},
    {"towers_pyramid55 c1k1_shock", 0xd74d752085627a5cull, 0},
    {"towers_pyramid55 c1k1_noshock", 0x51ac28d3372108cdull, 0},
    {"towers_pyramid55 c6k6_noshock", 0x9d135db0aac6acb1ull, 0},
    {"towers_pyramid55 c12k12_shock", 0x1c307c768cfdb123ull, 0},
    {"towers_pyramid55 c12k12_noshock", 0xa5b3910cdd646b3full, 0},
    {"towers_pyramid210 c6k6_shock", 0x2ebcb8b4b0fa2093ull, 0},
    {"towers_pyramid210 c1k1_shock", 0xd9f4c5b1fd060127ull, 0},
    {"towers_pyramid210 c1k1_noshock", 0x3dcf599cdfc1e5bdull, 0},
    {"towers_pyramid210 c6k6_noshock", 0x928b93a4778e0c84ull, 0},
    {"towers_pyramid210 c12k12_shock", 0x4879769f3bbb8dafull, 0},
    {"towers_pyramid210 c12k12_noshock", 0x173881a1a44c6020ull, 0},
    {"towers_tower10_m0.1 c6k6_shock", 0x756018029b5b1252ull, 0},
    {"towers_tower10_m10.0 c6k6_shock", 0xfccaadd66dc27abcull, 0},
    {"accuracy_freefall c6k6_shock", 0xb3ed3c5433255264ull, 0},
    {"accuracy_bounce c6k6_shock", 0x9b33fdcad0df10d0ull, 0},
    {"accuracy_slide c6k6_shock", 0x0e4b8598c108ccfeull, 0},
    {"accuracy_frictionless c6k6_shock", 0x8d6ae47a7f913c9cull, 0},
    {"accuracy_pendulum c6k6_shock", 0x1642f1d69eec9ab2ull, 0},
    // Shorter runs and other sizes of the same scenes, which the physics tests replay.
    {"rain_centred_n100 c6k6_shock steps300", 0x0c1c68b7892d82c8ull, 0},
    {"rain_leaf_n100 c6k6_shock steps300", 0x7096188be89c8ee1ull, 0},
    {"rain_leaf_n200 c6k6_shock steps120", 0x75d5f42d2772d01full, 0},
    {"rain_spread_n300 c6k6_shock steps120", 0xf7e491b81d39386eull, 0},
    {"rain_spread_n100 c6k6_shock_sleep", 0xa3dfad7133c49ae2ull, 0xdab0bc30b2aac95bull},
    {"rain_leaf_n100 c6k6_shock_sleep steps300", 0x0f1ca06aecde6702ull, 0xd3df0e39135103a3ull},
    {"towers_tower10 c1k1_shock steps300", 0x4abf0263e5dde9e2ull, 0},
    {"towers_tower10 c1k1_noshock steps300", 0xd4d1d044824f20e6ull, 0},
    {"towers_tower10 c6k6_shock steps300", 0x5a25d5cd66e5023cull, 0},
    {"towers_tower10 c6k6_noshock steps300", 0xf25e5469579f75c9ull, 0},
    {"towers_tower10 c12k12_shock steps300", 0x10b49590d9fd9533ull, 0},
    {"towers_tower10 c12k12_noshock steps300", 0x05d2881e6a90ca9cull, 0},
    {"towers_tower10_m0.1 c6k6_shock steps300", 0xb7786f07a5cde72full, 0},
    {"towers_tower10_m10.0 c6k6_shock steps300", 0xbc4588e8b7d9accdull, 0},
    {"towers_pyramid55 c6k6_shock steps150", 0xc1e240e92c78a7d6ull, 0},
    {"towers_pyramid55 c12k12_noshock steps60", 0xbc7ac4a3a472f462ull, 0},
    {"towers_pyramid210 c6k6_shock steps30", 0x8fa1518245df91baull, 0},
    // The acceptance scenes of the physics tests (SceneHashesTest), recording callbacks.
    {"acceptance: a dropped ball lands, rests and freezes", 0xf96fb16a5df26ccaull, 0x03f8e69907e3c55cull},
    {"acceptance: an elastic ball bounces", 0xad4805a782d29cf0ull, 0xcbf29ce484222325ull},
    {"acceptance: a box of mass 0.1 rests", 0x49481ed857cdc346ull, 0xcbf29ce484222325ull},
    {"acceptance: a box of mass 1.0 rests", 0x2bd54659d815dbd5ull, 0xcbf29ce484222325ull},
    {"acceptance: a box of mass 10.0 rests", 0xc8634e07fbdb8fd3ull, 0xcbf29ce484222325ull},
    {"acceptance: a stack of five stands without freezing", 0xa8ca6c6d66d2bb5full, 0xcbf29ce484222325ull},
    {"acceptance: a frozen stack wakes under a dropped ball", 0x972136f752613b52ull, 0xb56560814e1c940cull},
    {"acceptance: spheres meeting head on swap their velocities", 0x34311b2fb681faf6ull, 0xcbf29ce484222325ull},
    {"acceptance: a trigger reports without pushing", 0x5eced4f3ffe40377ull, 0xcbf29ce484222325ull},
    {"acceptance: a ball that ignores the ground falls out of the world", 0xcbf29ce484222325ull, 0xcbf29ce484222325ull},
    {"acceptance: a box slides to a stop", 0xce8c4236eebe2f03ull, 0xcbf29ce484222325ull},
    {"acceptance: a box slides without friction", 0xd4102fe2829dc25eull, 0xcbf29ce484222325ull},
    {"acceptance: a bad hull type never collides", 0x5701dd337698393dull, 0xcbf29ce484222325ull},
    {"acceptance: killing a frozen body that another remembers", 0x8c63981ead01bbcaull, 0xc5599e6df377f9e4ull},
    {"acceptance: an immovable block holds a ball", 0xad6605a97c861e10ull, 0xc5adcbed6aad5eeaull},
    {"acceptance: a spinning body turns about its world axis", 0xda9c5a17b6c6e32dull, 0xcbf29ce484222325ull},
    {"acceptance: a ball and a box slide off a sloping slab", 0x313fd0290d99673eull, 0xcbf29ce484222325ull},
};
// clang-format on
} // namespace

const CommittedHash* FindCommittedHash(const std::string& run)
{
    for (const CommittedHash& entry : kCommitted)
        if (run == entry.run)
            return &entry;
    return nullptr;
}
} // namespace physcene
