// The texture cache on the headless device: holders counted per name, the texture shared and its
// own count following, names changed and released, a file that cannot be loaded.
#include "engine/gfx/core/CTextureManager.h"

#include "GfxTestWorld.h"
#include "LogCapture.h"
#include "engine/gfx/core/CTextureHandle.h"
#include "engine/gfx/sprites/CSprite.h"

#include <gtest/gtest.h>

#include <filesystem>

using dorvo::gfx::CSprite;
using dorvo::gfx::CTextureHandle;
using dorvo::gfx::CTextureManager;

namespace
{
constexpr char kSlider[] = "hud/Slider.png";

class TextureCacheTest : public gfxtest::HeadlessGfx
{
protected:
    void SetUp() override
    {
        HeadlessGfx::SetUp();
        ASSERT_TRUE(gfxtest::WritePng(std::string(kTextureFolder) + kSlider, 16, 64,
                                      [](unsigned, unsigned) { return 0xFF808080u; }));
        ASSERT_TRUE(gfxtest::WritePng(std::string(kTextureFolder) + "hud/Other.png", 8, 8,
                                      [](unsigned, unsigned) { return 0xFF102030u; }));
    }

    // The texture's own reference count.
    static plat::ULONG CountOf(plat::IDirect3DTexture9* texture)
    {
        texture->AddRef();
        return texture->Release();
    }

    CTextureManager& cache = CTextureManager::Instance();
};
} // namespace

TEST_F(TextureCacheTest, ThreeHoldersShareOneTextureUntilTheLastLetsGo)
{
    const std::size_t entries = cache.GetEntryCount();
    {
        CSprite first(kSlider);
        plat::IDirect3DTexture9* texture = first.GetTexture().GetTexture();
        ASSERT_NE(texture, nullptr);
        EXPECT_EQ(first.GetTextureWidth(), 16);
        EXPECT_EQ(first.GetTextureHeight(), 64);
        auto second = std::make_unique<CSprite>(kSlider);
        auto third = std::make_unique<CSprite>(kSlider);
        EXPECT_EQ(second->GetTexture().GetTexture(), texture);
        EXPECT_EQ(third->GetTexture().GetTexture(), texture);
        EXPECT_EQ(cache.GetCount(kSlider), 3);
        EXPECT_EQ(cache.GetEntryCount(), entries + 1);
        EXPECT_EQ(CountOf(texture), 3u);

        unsigned loads = 0;
        for (const plat::devicedebug::ResourceInfo& info : plat::headless::Resources())
            if (info.file == std::string(kTextureFolder) + kSlider)
                ++loads;
        EXPECT_EQ(loads, 1u) << "loaded once, from the texture folder";

        second.reset();
        third.reset();
        EXPECT_EQ(cache.GetCount(kSlider), 1);
        EXPECT_EQ(CountOf(texture), 1u);
    }
    EXPECT_EQ(cache.GetCount(kSlider), 0);
    EXPECT_EQ(cache.GetEntryCount(), entries);
    for (const plat::devicedebug::ResourceInfo& info : plat::headless::Resources())
    {
        if (info.file == std::string(kTextureFolder) + kSlider)
        {
            EXPECT_FALSE(info.live) << "the last holder released the texture";
        }
    }
}

TEST_F(TextureCacheTest, LoadingTheSameNameDoesNothingAndAnotherNameReleasesTheOldFirst)
{
    CTextureHandle handle;
    handle.Load(kSlider);
    plat::IDirect3DTexture9* slider = handle.GetTexture();
    handle.Load(kSlider);
    EXPECT_EQ(cache.GetCount(kSlider), 1);
    EXPECT_EQ(CountOf(slider), 1u);

    CTextureHandle keeper;
    keeper.Load(kSlider);
    handle.Load("hud/Other.png");
    EXPECT_EQ(cache.GetCount(kSlider), 1) << "only the keeper holds it now";
    EXPECT_EQ(cache.GetCount("hud/Other.png"), 1);
    EXPECT_EQ(handle.GetWidth(), 8u);

    // Released twice (by hand, then by the destructor): counted once.
    handle.Release();
    handle.Release();
    EXPECT_EQ(handle.GetTexture(), nullptr);
    EXPECT_EQ(handle.GetFileName(), "");
    EXPECT_EQ(cache.GetCount("hud/Other.png"), 0);
    handle.Load("");
    EXPECT_EQ(cache.GetCount(""), 0) << "an empty name is no texture";
    EXPECT_EQ(cache.GetCount(kSlider), 1);
}

TEST_F(TextureCacheTest, AFileThatFailsToLoadIsNamedOnceAndCountedWithoutATexture)
{
    const std::string missing = "hud/NoSuchImage.png";
    testsupport::LogCapture logged;
    {
        CSprite first(missing);
        CSprite second(missing);
        EXPECT_EQ(first.GetTexture().GetTexture(), nullptr);
        EXPECT_EQ(first.GetTextureWidth(), 0);
        EXPECT_EQ(first.GetTexture().GetHeight(), 0u);
        EXPECT_EQ(cache.GetCount(missing), 2);

        const int centre[2] = {0, 0};
        first.AddGridAnimation("Frame", 16, 16, 1, 0, 0, 50, centre, false);
        DrawLogged(first);
        EXPECT_TRUE(gfxtest::CallsOf(plat::devicedebug::CallKind::SpriteDraw).empty()) << "nothing drawn";
    }
    const std::string err = logged.Text();
    EXPECT_EQ(cache.GetCount(missing), 0);
    std::size_t lines = 0;
    for (std::size_t at = err.find(missing); at != std::string::npos; at = err.find(missing, at + 1))
        ++lines;
    EXPECT_EQ(lines, 1u) << err;
    EXPECT_NE(err.find("textures/hud/NoSuchImage.png"), std::string::npos) << err;
}

// Texture names come from data: one that leaves the texture folder is never opened, and one that
// leads to a device is refused by the reader; either is said once and drawn white.
TEST_F(TextureCacheTest, NamesOutsideTheTextureFolderOrOfNoFileAreNamedOnceAndNeverRead)
{
    std::filesystem::create_symlink("/dev/zero", std::string(kTextureFolder) + "hud/Zero.png");
    const struct
    {
        const char* name;
        const char* line;
    } cases[] = {
        {"/etc/passwd",
         "CTextureManager::Acquire: /etc/passwd: the name leaves the texture folder; it is drawn white"},
        {"../../../../etc/passwd", "CTextureManager::Acquire: ../../../../etc/passwd: the name leaves the "
                                   "texture folder; it is drawn white"},
        {"hud/Zero.png", "D3DXCreateTextureFromFileW: textures/hud/Zero.png: it is a device, not a regular "
                         "file; no texture is made"},
    };
    for (const auto& c : cases)
    {
        SCOPED_TRACE(c.name);
        testsupport::LogCapture logged;
        {
            CTextureHandle first, second;
            first.Load(c.name);
            second.Load(c.name);
            EXPECT_EQ(first.GetTexture(), nullptr);
            EXPECT_EQ(cache.GetCount(c.name), 2);
        }
        const std::string err = logged.Text();
        EXPECT_EQ(logged.Lines(), std::vector<std::string>{c.line});
    }
}

TEST_F(TextureCacheTest, WithoutADeviceTheLoadIsRefusedWithALine)
{
    gfx.Release();
    testsupport::LogCapture logged;
    {
        CTextureHandle handle;
        handle.Load(kSlider);
        EXPECT_EQ(handle.GetTexture(), nullptr);
    }
    const std::string err = logged.Text();
    EXPECT_NE(err.find("no device"), std::string::npos) << err;
    // Release let the cache go; this is a fresh one.
    EXPECT_EQ(CTextureManager::Instance().GetCount(kSlider), 0);
}
