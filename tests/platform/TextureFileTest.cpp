// Texture files: PNG and JPG fixtures written here, loaded with their mip chains through the
// path helper, and every kind of bad file refused with one line naming it and the reason.
// Loading holds no copy of the pixels beside the texture's own.
#include "platform/d3dx9.h"
#include "platform/device_debug.h"
#include "platform/frame_driver.h"
#include "platform/headless.h"

#include "LogCapture.h"
#include "TestSupport.h"

#include <gtest/gtest.h>
#include <png.h>
#include <stb_image_write.h>

#include <algorithm>
#include <atomic>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <vector>

#if defined(__SANITIZE_ADDRESS__)
// The address sanitizer's allocator calls these on every allocation and release.
extern "C" int __sanitizer_install_malloc_and_free_hooks(void (*onMalloc)(const volatile void*, std::size_t),
                                                         void (*onFree)(const volatile void*));
extern "C" std::size_t __sanitizer_get_allocated_size(const volatile void* p);
#endif

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

// A PNG of any colour type, bit depth and interlacing, written with libpng. rows: the packed
// bytes of each row as the file stores them (16-bit samples big-endian).
struct PngFixture
{
    const char* file;
    png_uint_32 width;
    png_uint_32 height;
    int depth;
    int colour;
    bool interlaced;
    std::vector<std::vector<png_byte>> rows;
    std::vector<png_color> palette;
    std::vector<png_byte> paletteAlpha;    // tRNS of a palette image
    const png_color_16* transparentColour; // tRNS of a grey or RGB image
};

bool WritePng(const PngFixture& f)
{
    FILE* out = std::fopen(f.file, "wb");
    if (!out)
        return false;
    png_structp png = png_create_write_struct(PNG_LIBPNG_VER_STRING, nullptr, nullptr, nullptr);
    png_infop info = png_create_info_struct(png);
    bool ok = false;
    if (setjmp(png_jmpbuf(png)) == 0)
    {
        png_init_io(png, out);
        png_set_IHDR(png, info, f.width, f.height, f.depth, f.colour,
                     f.interlaced ? PNG_INTERLACE_ADAM7 : PNG_INTERLACE_NONE, PNG_COMPRESSION_TYPE_DEFAULT,
                     PNG_FILTER_TYPE_DEFAULT);
        if (!f.palette.empty())
            png_set_PLTE(png, info, f.palette.data(), static_cast<int>(f.palette.size()));
        if (!f.paletteAlpha.empty())
            png_set_tRNS(png, info, f.paletteAlpha.data(), static_cast<int>(f.paletteAlpha.size()), nullptr);
        if (f.transparentColour)
            png_set_tRNS(png, info, nullptr, 0, const_cast<png_color_16*>(f.transparentColour));
        std::vector<png_bytep> rows;
        for (const auto& row : f.rows)
            rows.push_back(const_cast<png_bytep>(row.data()));
        png_set_rows(png, info, rows.data());
        png_write_png(png, info, PNG_TRANSFORM_IDENTITY, nullptr);
        ok = true;
    }
    png_destroy_write_struct(&png, &info);
    std::fclose(out);
    return ok;
}

#if defined(__SANITIZE_ADDRESS__)
// The heap's peak over a stretch of the program, from the allocator's own hooks.
std::atomic<bool> g_watching{false};
std::atomic<long long> g_held{0};
std::atomic<long long> g_peak{0};

void OnMalloc(const volatile void*, std::size_t size)
{
    if (!g_watching)
        return;
    const long long now = g_held += static_cast<long long>(size);
    long long peak = g_peak;
    while (now > peak && !g_peak.compare_exchange_weak(peak, now))
    {
    }
}

void OnFree(const volatile void* p)
{
    if (g_watching && p)
        g_held -= static_cast<long long>(__sanitizer_get_allocated_size(p));
}
#endif
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
        {L"odd-chunk.png", "(ID[0D][0A]: invalid chunk type)"},
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

// Every kind of PNG comes out as A8R8G8B8 words: palettes with and without transparency, grey of
// 1 and 8 bits, grey with alpha, 16-bit samples (their high byte), a transparent colour (alpha 0
// where it is, which makes the texture one with alpha) and an interlaced image, whose passes must
// land each pixel in its place.
TEST_F(TextureFileTest, PngOfEveryKindLoadsAsA8R8G8B8)
{
    const png_color_16 key = {0, 10, 20, 30, 0};
    std::vector<std::vector<png_byte>> interlacedRows;
    std::vector<std::uint32_t> interlacedPixels;
    for (png_byte y = 0; y < 9; ++y)
    {
        interlacedRows.emplace_back();
        for (png_byte x = 0; x < 11; ++x)
        {
            const png_byte r = static_cast<png_byte>(20 * x), g = static_cast<png_byte>(25 * y),
                           b = static_cast<png_byte>(x * y), a = static_cast<png_byte>(255 - 7 * x - y);
            interlacedRows.back().insert(interlacedRows.back().end(), {r, g, b, a});
            interlacedPixels.push_back(std::uint32_t{a} << 24 | std::uint32_t{r} << 16 |
                                       std::uint32_t{g} << 8 | b);
        }
    }
    struct Case
    {
        PngFixture png;
        D3DFORMAT format;
        std::vector<std::uint32_t> pixels;
    };
    const std::vector<Case> cases = {
        {{"palette.png",
          2,
          1,
          8,
          PNG_COLOR_TYPE_PALETTE,
          false,
          {{0, 1}},
          {{10, 20, 30}, {200, 100, 50}},
          {},
          nullptr},
         D3DFMT_X8R8G8B8,
         {0xFF0A141Eu, 0xFFC86432u}},
        {{"palette-alpha.png",
          2,
          1,
          4,
          PNG_COLOR_TYPE_PALETTE,
          false,
          {{0x01}},
          {{10, 20, 30}, {200, 100, 50}},
          {0x33},
          nullptr},
         D3DFMT_A8R8G8B8,
         {0x330A141Eu, 0xFFC86432u}},
        {{"grey1.png", 3, 1, 1, PNG_COLOR_TYPE_GRAY, false, {{0xA0}}, {}, {}, nullptr},
         D3DFMT_X8R8G8B8,
         {0xFFFFFFFFu, 0xFF000000u, 0xFFFFFFFFu}},
        {{"grey.png", 2, 1, 8, PNG_COLOR_TYPE_GRAY, false, {{0x40, 0xC0}}, {}, {}, nullptr},
         D3DFMT_X8R8G8B8,
         {0xFF404040u, 0xFFC0C0C0u}},
        {{"grey-alpha.png", 1, 1, 8, PNG_COLOR_TYPE_GRAY_ALPHA, false, {{0x40, 0x80}}, {}, {}, nullptr},
         D3DFMT_A8R8G8B8,
         {0x80404040u}},
        {{"rgb16.png",
          1,
          1,
          16,
          PNG_COLOR_TYPE_RGB,
          false,
          {{0x12, 0x34, 0x56, 0x78, 0x9A, 0xBC}},
          {},
          {},
          nullptr},
         D3DFMT_X8R8G8B8,
         {0xFF12569Au}},
        {{"keyed.png", 2, 1, 8, PNG_COLOR_TYPE_RGB, false, {{10, 20, 30, 10, 20, 31}}, {}, {}, &key},
         D3DFMT_A8R8G8B8,
         {0x000A141Eu, 0xFF0A141Fu}},
        {{"interlaced.png", 11, 9, 8, PNG_COLOR_TYPE_RGBA, true, interlacedRows, {}, {}, nullptr},
         D3DFMT_A8R8G8B8,
         interlacedPixels},
    };
    for (const Case& c : cases)
    {
        SCOPED_TRACE(c.png.file);
        ASSERT_TRUE(WritePng(c.png));
        IDirect3DTexture9* texture = nullptr;
        testsupport::LogCapture logged;
        ASSERT_TRUE(SUCCEEDED(D3DXCreateTextureFromFileW(device, ToWide(c.png.file).c_str(), &texture)))
            << logged.Text();
        D3DSURFACE_DESC desc;
        texture->GetLevelDesc(0, &desc);
        EXPECT_EQ(desc.Format, c.format);
        EXPECT_EQ(Level(texture, 0), c.pixels);
        texture->Release();
    }
}

// A texture file is decoded straight into the texture: while it loads, the heap holds the file's
// bytes and the texture's levels, and no other copy of the pixels (a 512 x 512 image is 1 MB).
TEST_F(TextureFileTest, LoadingHoldsNoCopyOfThePixelsBesideTheTexture)
{
#if defined(__SANITIZE_ADDRESS__)
    constexpr int kSide = 512;
    std::vector<unsigned char> rgba(std::size_t{kSide} * kSide * 4);
    for (std::size_t i = 0; i < rgba.size(); ++i)
        rgba[i] = static_cast<unsigned char>((i % 4 == 3) ? 200 : (i / 4 % kSide + i / 4 / kSide + i % 4));
    ASSERT_TRUE(stbi_write_png("big.png", kSide, kSide, 4, rgba.data(), kSide * 4));
    const long long fileBytes = static_cast<long long>(std::filesystem::file_size("big.png"));
    std::vector<unsigned char>().swap(rgba);
    static const bool hooked = __sanitizer_install_malloc_and_free_hooks(&OnMalloc, &OnFree) != 0;
    ASSERT_TRUE(hooked);

    IDirect3DTexture9* texture = nullptr;
    g_held = 0;
    g_peak = 0;
    g_watching = true;
    const HRESULT hr = D3DXCreateTextureFromFileW(device, L"big.png", &texture);
    g_watching = false;
    ASSERT_TRUE(SUCCEEDED(hr));
    const long long levels = kSide * kSide * 4 + kSide * kSide * 4 / 3;
    // The decoder's own state (a few rows and the inflater) is far below a copy of the image.
    EXPECT_LE(g_peak.load(), levels + fileBytes + 256 * 1024) << "the file is " << fileBytes << " bytes";
    texture->Release();
#else
    GTEST_SKIP() << "the heap's peak is watched through the address sanitizer's hooks";
#endif
}
