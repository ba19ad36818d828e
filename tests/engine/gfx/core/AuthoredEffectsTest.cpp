// The committed scene effects under data/fx and the rules their authors keep: the engine
// configuration lists them, each loads headless into one pool beside Dummy.fx without a word
// and fills its whole handle table, technique names are unique across the listed files, the
// shared parameters are Dummy.fx's, no shader reads the light direction nobody writes, and
// each technique has exactly one pass, its colour pass. (Compiling and linking on OpenGL is in
// EffectPixelTest.)
#include "EffectTestWorld.h"

#include "LogCapture.h"
#include "platform/fx_parser.h"

#include <gtest/gtest.h>
#include <tinyxml.h>

#include <filesystem>
#include <map>
#include <set>
#include <string>
#include <vector>

using dorvo::gfx::CFXManager;

namespace
{
const std::string kConfig = "data/files/xmlfiles/dorvo_engine_config.xml";

// The effect list of the committed engine configuration, in document order.
std::vector<std::string> ConfiguredEffects(std::string* folder = nullptr)
{
    TiXmlDocument doc;
    EXPECT_TRUE(doc.LoadFile(testsupport::RepoPath(kConfig).c_str())) << kConfig;
    const TiXmlElement* graphics =
        TiXmlHandle(&doc).FirstChild("EngineConfig").FirstChild("Graphics").ToElement();
    std::vector<std::string> files;
    if (!graphics)
        return files;
    if (folder && graphics->FirstChildElement("FXRelativePath"))
        *folder = graphics->FirstChildElement("FXRelativePath")->GetText();
    if (const TiXmlElement* list = graphics->FirstChildElement("FXFiles"))
        for (const TiXmlElement* e = list->FirstChildElement(); e; e = e->NextSiblingElement())
            files.push_back(e->GetText() ? e->GetText() : "");
    return files;
}

plat::FxEffectDesc Parse(const std::string& name)
{
    plat::FxEffectDesc desc;
    std::string error;
    EXPECT_TRUE(plat::ParseFxFile(testsupport::RepoPath("data/fx/" + name), desc, error)) << error;
    return desc;
}

// Every scene effect under data/fx, Dummy.fx among them; the post-processing files (technique
// "PostProcess", or the final pass's "RenderScrQuad") are loaded apart and have rules of their own.
std::vector<std::string> CommittedEffects()
{
    std::vector<std::string> names;
    for (const auto& entry : std::filesystem::directory_iterator(testsupport::RepoPath("data/fx")))
    {
        if (entry.path().extension() != ".fx")
            continue;
        const std::string name = entry.path().filename().string();
        const plat::FxEffectDesc desc = Parse(name);
        if (desc.FindTechnique("PostProcess") || desc.FindTechnique("RenderScrQuad"))
            continue;
        names.push_back(name);
    }
    return names;
}

// Each listed file's techniques: the model one, its cloth twin and, for the plain texture, the overlay.
const std::map<std::string, std::vector<std::string>> kTechniques = {
    {"TextureMapping.fx", {"TextureMapping", "ClothTextureMapping"}},
    {"PickedEffect.fx", {"PickedEffect", "ClothPickedEffect"}},
    {"Glow.fx", {"Glow", "ClothGlow"}},
    {"AnimatedGlow.fx", {"AnimatedGlow", "ClothAnimatedGlow"}},
    {"TextureMappingNoLight.fx",
     {"TextureMappingNoLight", "ClothTextureMappingNoLight", "OverlayTextureMappingNoLight"}},
    {"Particle.fx", {"RenderParticle"}},
    {"Terrain.fx", {"RenderTerrain"}},
    {"Membrane.fx", {"Membrane", "ClothMembrane"}},
    {"Water2.fx", {"RenderPlanarWater"}},
};

using AuthoredEffectsTest = fxtest::HeadlessEffects;
} // namespace

TEST_F(AuthoredEffectsTest, TheConfiguredEffectsLoadBesideDummyWithEveryHandleFound)
{
    std::string folder;
    const std::vector<std::string> listed = ConfiguredEffects(&folder);
    EXPECT_EQ(folder, "../../../../data/fx/") << "the game's working folder is four levels down";
    EXPECT_EQ(listed, (std::vector<std::string>{"TextureMapping.fx", "PickedEffect.fx", "Glow.fx",
                                                "AnimatedGlow.fx", "TextureMappingNoLight.fx", "Particle.fx",
                                                "Terrain.fx", "Membrane.fx", "Water2.fx"}));

    // Every committed file, listed or not, loads into the pool after Dummy.fx.
    std::vector<std::string> all = CommittedEffects();
    EXPECT_EQ(all.size(), 10u) << ::testing::PrintToString(all);
    CFXManager manager;
    testsupport::LogCapture logged;
    const bool created = manager.Create(testsupport::RepoPath("data/fx") + "/");
    manager.LoadEffects(all);
    const std::string err = logged.Text();
    EXPECT_TRUE(created);
    EXPECT_TRUE(err.empty()) << err;
    EXPECT_EQ(manager.GetEffectCount(), all.size());

    for (unsigned i = 0; i < manager.GetSharedHandles().size(); ++i)
        EXPECT_NE(manager.GetSharedHandles()[i], nullptr) << "shared slot " << i;
    const std::map<std::string, std::size_t> sizes = {{"TextureMapping.fx", 14},
                                                      {"PickedEffect.fx", 13},
                                                      {"Glow.fx", 13},
                                                      {"AnimatedGlow.fx", 14},
                                                      {"TextureMappingNoLight.fx", 12},
                                                      {"Particle.fx", 13},
                                                      {"Terrain.fx", 16},
                                                      {"Membrane.fx", 13},
                                                      {"Water2.fx", 39}};
    for (const auto& [file, size] : sizes)
    {
        SCOPED_TRACE(file);
        const dorvo::gfx::FXHandleTable* handles = manager.GetHandles(file);
        ASSERT_NE(handles, nullptr);
        EXPECT_EQ(handles->size(), size);
        for (unsigned i = 0; i < handles->size(); ++i)
            EXPECT_NE((*handles)[i], nullptr) << "slot " << i;
    }
    manager.Release();
}

TEST(AuthoredEffects, TechniqueNamesAreUniqueAcrossTheListAndEachHasOneColourPass)
{
    std::map<std::string, std::string> owner; // technique -> file
    for (const std::string& file : ConfiguredEffects())
    {
        SCOPED_TRACE(file);
        const plat::FxEffectDesc desc = Parse(file);
        std::vector<std::string> names;
        for (const plat::FxTechniqueDesc& technique : desc.techniques)
        {
            names.push_back(technique.name);
            const auto taken = owner.emplace(technique.name, file);
            EXPECT_TRUE(taken.second) << technique.name << " is also in " << taken.first->second;
            // One pass each, so post-processing adds no scene draws: the edges are found from
            // the colour picture, not from a pass of their own.
            ASSERT_EQ(technique.passes.size(), 1u) << technique.name;
            // The colour pass draws models: its vertex stage transforms them and it tests depth.
            const plat::FxPassDesc& colour = technique.passes.front();
            EXPECT_FALSE(colour.vertexBlock.empty()) << technique.name;
            bool depthTested = false;
            for (const plat::FxStateAssignment& state : colour.states)
                depthTested |= state.state == plat::FxRenderState::ZEnable && state.value == 1;
            EXPECT_TRUE(depthTested) << technique.name;
        }
        const auto expected = kTechniques.find(file);
        ASSERT_NE(expected, kTechniques.end());
        EXPECT_EQ(names, expected->second);
    }
}

TEST(AuthoredEffects, SharedParametersAreDummysAndNoShaderReadsTheUnwrittenLightDirection)
{
    const plat::FxEffectDesc dummy = Parse("Dummy.fx");
    ASSERT_EQ(dummy.parameters.size(), 19u);
    std::map<std::string, const plat::FxParameterDesc*> shared;
    for (unsigned i = 0; i < 19; ++i)
    {
        const plat::FxParameterDesc& p = dummy.parameters[i];
        EXPECT_TRUE(p.shared) << p.name;
        shared[p.name] = &p;
    }
    EXPECT_EQ(dummy.parameters[0].semantic, "ViewInverse");
    EXPECT_EQ(dummy.parameters[1].semantic, "View");
    EXPECT_EQ(dummy.parameters[2].semantic, "ViewProjection");
    EXPECT_TRUE(dummy.techniques.empty());

    for (const std::string& file : CommittedEffects())
    {
        SCOPED_TRACE(file);
        const plat::FxEffectDesc desc = Parse(file);
        for (const plat::FxParameterDesc& p : desc.parameters)
        {
            const auto found = shared.find(p.name);
            if (found == shared.end())
            {
                EXPECT_FALSE(p.shared) << p.name << " is shared but Dummy.fx does not declare it";
                continue;
            }
            EXPECT_TRUE(p.shared) << p.name;
            EXPECT_EQ(p.typeName, found->second->typeName) << p.name;
            EXPECT_EQ(p.semantic, found->second->semantic) << p.name;
        }
        for (const plat::FxGlslBlock& block : desc.blocks)
            EXPECT_EQ(block.code.find("g_LightDir"), std::string::npos) << block.name;
        if (file != "Dummy.fx")
            for (const char* unset : {"g_ModelLightPos", "g_ModelLightDir"})
            {
                const plat::FxParameterDesc* p = desc.FindParameter(unset);
                ASSERT_NE(p, nullptr) << unset;
                EXPECT_TRUE(p->hasDefault) << unset << ": nobody sets it, so its default must do";
            }
    }
}
