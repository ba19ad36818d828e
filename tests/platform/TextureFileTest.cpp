// Texture files: PNG and JPG fixtures written here, loaded with their mip chains through the
// path helper, and every kind of bad file refused with one line naming it and the reason.
#include "platform/d3dx9.h"
#include "platform/device_debug.h"
#include "platform/frame_driver.h"
#include "platform/headless.h"

#include "LogCapture.h"
#include "TestSupport.h"

#include <gtest/gtest.h>
#include <stb_image_write.h>

#include <cstdio>
#include <filesystem>
#include <fstream>
#include <vector>

using namespace plat;

namespace
{
class TextureFileTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        headless::Reset();
        DXUTInit(false, false, false, true);
        ASSERT_TRUE(SUCCEEDED(DXUTCreateDevice(D3DADAPTER_DEFAULT, true, 64, 48)));
        device = DXUTGetD3D9Device();
    }
    void TearDown() override { headless::Reset(); }

    IDirect3DDevice9* device = nullptr;
    testsupport::TempWorkDir dir;
};

void WriteBytes(const std::string& name, const std::vector<unsigned char>& bytes)
{
    std::filesystem::create_directories(std::filesystem::path(name).parent_path().empty()
                                            ? std::filesystem::path(".")
                                            : std::filesystem::path(name).parent_path());
    std::ofstream(name, std::ios::binary)
        .write(reinterpret_cast<const char*>(bytes.data()), static_cast<std::streamsize>(bytes.size()));
}

std::vector<unsigned char> ReadBytes(const std::string& name)
{
    std::ifstream in(name, std::ios::binary);
    return std::vector<unsigned char>(std::istreambuf_iterator<char>(in), {});
}

std::vector<std::uint32_t> Level(IDirect3DTexture9* texture, UINT level)
{
    D3DSURFACE_DESC desc;
    texture->GetLevelDesc(level, &desc);
    D3DLOCKED_RECT locked;
    std::vector<std::uint32_t> out;
    texture->LockRect(level, &locked, nullptr, D3DLOCK_READONLY);
    for (UINT y = 0; y < desc.Height; ++y)
    {
        const auto* row =
            reinterpret_cast<const std::uint32_t*>(static_cast<const char*>(locked.pBits) + y * locked.Pitch);
        out.insert(out.end(), row, row + desc.Width);
    }
    texture->UnlockRect(level);
    return out;
}
} // namespace

TEST_F(TextureFileTest, PngLoadsWithItsAlphaAndFullMipChainThroughThePathHelper)
{
    // 4 x 2, RGBA: red, green, blue, white; then four greys, the last half transparent.
    const unsigned char rgba[] = {255, 0,  0,  255, 0,  255, 0,  255, 0,  0,  255, 255, 255, 255, 255, 255,
                                  10,  10, 10, 255, 20, 20,  20, 255, 30, 30, 30,  255, 40,  40,  40,  128};
    std::filesystem::create_directories("Art");
    ASSERT_TRUE(stbi_write_png("Art/Fixture.png", 4, 2, 4, rgba, 16));
    IDirect3DTexture9* texture = nullptr;
    ASSERT_TRUE(SUCCEEDED(D3DXCreateTextureFromFileW(device, L"art\\FIXTURE.png", &texture)));
    ASSERT_NE(texture, nullptr);
    EXPECT_EQ(texture->GetLevelCount(), 3u); // 4 x 2, 2 x 1, 1 x 1
    D3DSURFACE_DESC desc;
    texture->GetLevelDesc(0, &desc);
    EXPECT_EQ(desc.Format, D3DFMT_A8R8G8B8);
    EXPECT_EQ(desc.Pool, D3DPOOL_MANAGED);
    EXPECT_EQ(desc.Width, 4u);
    EXPECT_EQ(desc.Height, 2u);
    EXPECT_EQ(Level(texture, 0),
              (std::vector<std::uint32_t>{0xFFFF0000u, 0xFF00FF00u, 0xFF0000FFu, 0xFFFFFFFFu, 0xFF0A0A0Au,
                                          0xFF141414u, 0xFF1E1E1Eu, 0x80282828u}));
    // Each level the rounded mean of the 2 x 2 above it.
    EXPECT_EQ(Level(texture, 1), (std::vector<std::uint32_t>{0xFF474708u, 0xDF515191u}));
    EXPECT_EQ(devicedebug::TextureFile(texture), "art\\FIXTURE.png");
    texture->Release();
}

TEST_F(TextureFileTest, JpgAndOpaquePngLoadWithoutAlpha)
{
    std::vector<unsigned char> rgb(16 * 16 * 3);
    for (std::size_t i = 0; i < rgb.size(); i += 3)
    {
        rgb[i] = 200;
        rgb[i + 1] = 120;
        rgb[i + 2] = 40;
    }
    ASSERT_TRUE(stbi_write_jpg("flat.jpg", 16, 16, 3, rgb.data(), 95));
    ASSERT_TRUE(stbi_write_png("flat.png", 16, 16, 3, rgb.data(), 48));
    for (const wchar_t* name : {L"flat.jpg", L"flat.png"})
    {
        IDirect3DTexture9* texture = nullptr;
        ASSERT_TRUE(SUCCEEDED(D3DXCreateTextureFromFileW(device, name, &texture)));
        D3DSURFACE_DESC desc;
        texture->GetLevelDesc(0, &desc);
        EXPECT_EQ(desc.Format, D3DFMT_X8R8G8B8);
        EXPECT_EQ(texture->GetLevelCount(), 5u);
        const std::uint32_t p = Level(texture, 0)[17];
        EXPECT_EQ(p >> 24, 0xFFu);
        EXPECT_NEAR(static_cast<int>((p >> 16) & 0xFF), 200, 3);
        EXPECT_NEAR(static_cast<int>((p >> 8) & 0xFF), 120, 3);
        EXPECT_NEAR(static_cast<int>(p & 0xFF), 40, 3);
        texture->Release();
    }
}

TEST_F(TextureFileTest, BadFilesGiveNoTextureAndOneLineNamingFileAndReason)
{
    std::vector<unsigned char> rgb(32 * 32 * 3, 90);
    ASSERT_TRUE(stbi_write_png("good.png", 32, 32, 3, rgb.data(), 96));
    ASSERT_TRUE(stbi_write_jpg("good.jpg", 32, 32, 3, rgb.data(), 90));
    const std::vector<unsigned char> png = ReadBytes("good.png"), jpg = ReadBytes("good.jpg");
    WriteBytes("empty.png", {});
    WriteBytes("half.png",
               std::vector<unsigned char>(png.begin(), png.begin() + static_cast<long>(png.size() / 2)));
    WriteBytes("half.jpg",
               std::vector<unsigned char>(jpg.begin(), jpg.begin() + static_cast<long>(jpg.size() / 2)));
    WriteBytes("cut.jpg", std::vector<unsigned char>(jpg.begin(), jpg.end() - 40));
    WriteBytes("notes.png", {'h', 'e', 'l', 'l', 'o', '\n'});
    WriteBytes("bitmap.png", {'B', 'M', 0x3A, 0, 0, 0, 0, 0, 0, 0, 0x36, 0, 0, 0, 0x28, 0, 0, 0});
    // A PNG header claiming an image 100000 pixels wide.
    WriteBytes("wide.png",
               {0x89, 'P', 'N', 'G', 0x0D, 0x0A, 0x1A, 0x0A, 0, 0, 0, 13,  'I', 'H', 'D', 'R', 0, 1, 0x86,
                0xA0, 0,   0,   0,   10,   8,    6,    0,    0, 0, 0, 0,   0,   0,   0,   0,   0, 0, 'I',
                'D',  'A', 'T', 0,   0,    0,    0,    0,    0, 0, 0, 'I', 'E', 'N', 'D', 0,   0, 0, 0});
    // An unknown critical chunk whose type holds a line break, which the decoder's message quotes.
    std::vector<unsigned char> oddChunk(png.begin(), png.begin() + 33);
    const std::vector<unsigned char> chunk = {0, 0, 0, 0, 'I', 'D', '\r', '\n', 0, 0, 0, 0};
    oddChunk.insert(oddChunk.end(), chunk.begin(), chunk.end());
    oddChunk.insert(oddChunk.end(), png.begin() + 33, png.end());
    WriteBytes("odd-chunk.png", oddChunk);
    struct Case
    {
        const wchar_t* file;
        const char* reason;
    };
    const Case cases[] = {
        {L"missing.png", "does not exist"},
        {L"empty.png", "the file is empty"},
        {L"half.png", "damaged or truncated"},
        {L"half.jpg", "damaged or truncated"},
        {L"cut.jpg", "damaged or truncated"},
        {L"notes.png", "not a PNG or JPG image"},
        {L"bitmap.png", "not a PNG or JPG image"},
        {L"wide.png", "100000 x 10 pixels"},
        {L"odd-chunk.png", "(ID?? PNG chunk not known)"},
    };
    for (const Case& c : cases)
    {
        const std::string name = ToNarrow(c.file);
        SCOPED_TRACE(name);
        IDirect3DTexture9* texture = reinterpret_cast<IDirect3DTexture9*>(1);
        testsupport::LogCapture logged;
        EXPECT_TRUE(FAILED(D3DXCreateTextureFromFileW(device, c.file, &texture)));
        EXPECT_EQ(texture, nullptr);
        ASSERT_EQ(logged.Lines().size(), 1u) << logged.Text();
        const std::string& out = logged.Lines()[0];
        EXPECT_EQ(out.find("D3DXCreateTextureFromFileW: " + name + ": "), 0u) << out;
        EXPECT_NE(out.find(c.reason), std::string::npos) << out;
        EXPECT_NE(out.find("; no texture is made"), std::string::npos) << out;
    }
    // Nothing was made for any of them.
    EXPECT_EQ(headless::Resources().size(), 2u);
}

// A shared texture cannot cost gigabytes: an image wider or taller than the side limit is
// refused from its header (a 16384-pixel-wide strip decodes in a moment but is no texture the
// game has), and once the live textures made from files hold the budget the next one is
// refused with one line, until one of them is released.
TEST_F(TextureFileTest, TexturesPastTheSideLimitOrTheBudgetAreRefusedWithOneLine)
{
    std::vector<unsigned char> strip(std::size_t{16384} * 4 * 3, 200);
    ASSERT_TRUE(stbi_write_png("strip.png", 16384, 4, 3, strip.data(), 16384 * 3));
    ASSERT_TRUE(stbi_write_png("tall.png", 4, 16384, 3, strip.data(), 4 * 3));
    std::vector<unsigned char> rgb(64 * 64 * 3, 90);
    for (const char* name : {"a.png", "b.png", "c.png", "d.png"})
        ASSERT_TRUE(stbi_write_png(name, 64, 64, 3, rgb.data(), 64 * 3));
    const std::uint64_t cost = 64 * 64 * 4 + 64 * 64 * 4 / 3; // the first level and its mip chain
    const std::uint64_t saved = SetTextureFileBudget(3 * cost);

    testsupport::LogCapture logged;
    for (const wchar_t* file : {L"strip.png", L"tall.png"})
    {
        IDirect3DTexture9* texture = nullptr;
        EXPECT_TRUE(FAILED(D3DXCreateTextureFromFileW(device, file, &texture)));
        EXPECT_EQ(texture, nullptr);
    }
    EXPECT_EQ(
        logged.Lines(),
        (std::vector<std::string>{
            "D3DXCreateTextureFromFileW: strip.png: the image is 16384 x 4 pixels, more than the 2048 a "
            "side a texture may have; no texture is made",
            "D3DXCreateTextureFromFileW: tall.png: the image is 4 x 16384 pixels, more than the 2048 a "
            "side a texture may have; no texture is made"}));
    logged.Clear();

    IDirect3DTexture9* held[3] = {};
    for (int i = 0; i < 3; ++i)
        ASSERT_TRUE(SUCCEEDED(
            D3DXCreateTextureFromFileW(device, std::wstring(1, L'a' + i).append(L".png").c_str(), &held[i])));
    IDirect3DTexture9* fourth = nullptr;
    EXPECT_TRUE(FAILED(D3DXCreateTextureFromFileW(device, L"d.png", &fourth)));
    EXPECT_EQ(fourth, nullptr);
    EXPECT_EQ(logged.Lines(),
              std::vector<std::string>{"D3DXCreateTextureFromFileW: d.png: its 22 KB with the 64 KB of the "
                                       "textures already loaded would pass the 64 KB all textures may take; "
                                       "no texture is made"});
    held[0]->Release();
    EXPECT_TRUE(SUCCEEDED(D3DXCreateTextureFromFileW(device, L"d.png", &fourth)));
    ASSERT_NE(fourth, nullptr);
    fourth->Release();
    held[1]->Release();
    held[2]->Release();
    SetTextureFileBudget(saved);
    EXPECT_EQ(TextureFileBudget(), kTextureFileBudgetBytes);
}
