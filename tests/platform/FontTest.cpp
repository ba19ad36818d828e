// Fonts: the layout worked out by hand with the headless device's fixed metrics (advance =
// Width, lines Height apart), the real faces' sizes, which file stands in for which face, and
// font files that are missing or damaged.
#include "platform/d3dx9.h"
#include "platform/device_debug.h"
#include "platform/font_face.h"
#include "platform/frame_driver.h"
#include "platform/headless.h"
#include "platform/image_codec.h"

#include "LogCapture.h"
#include "TestSupport.h"

#include <gtest/gtest.h>

#include <cwchar>
#include <filesystem>
#include <fstream>

using namespace plat;

namespace
{
class FontTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        headless::Reset();
        DXUTInit(false, false, false, true);
        ASSERT_TRUE(SUCCEEDED(DXUTCreateDevice(D3DADAPTER_DEFAULT, true, 320, 240)));
        device = DXUTGetD3D9Device();
    }
    void TearDown() override
    {
        detail::SetFontFolders({});
        headless::Reset();
    }

    ID3DXFont* Make(const wchar_t* face, int height, UINT width, UINT weight = 400)
    {
        D3DXFONT_DESCW desc;
        desc.Height = height;
        desc.Width = width;
        desc.Weight = weight;
        std::wcsncpy(desc.FaceName, face, 31);
        ID3DXFont* font = nullptr;
        EXPECT_TRUE(SUCCEEDED(D3DXCreateFontIndirectW(device, &desc, &font)));
        return font;
    }

    int Textures() const
    {
        int n = 0;
        for (const auto& r : headless::Resources())
            n += r.kind == devicedebug::ResourceKind::Texture && !r.implicit && r.live;
        return n;
    }

    IDirect3DDevice9* device = nullptr;
};

std::string SystemFont(const char* name)
{
    return detail::FindFontFile(name);
}

void Copy(const std::string& from, const std::string& to)
{
    std::filesystem::copy_file(from, to, std::filesystem::copy_options::overwrite_existing);
}
} // namespace

TEST_F(FontTest, LayoutWithFixedMetricsAsWorkedOutByHand)
{
    ID3DXFont* font = Make(L"Arial", 16, 10); // 10 pixels a character, lines 16 apart
    struct Case
    {
        const char* name;
        const wchar_t* text;
        int boxWidth;
        DWORD flags;
        int right, bottom, height; // the rectangle after the call, from (10, 20)
    };
    const DWORD wrap = DT_WORDBREAK | DT_CALCRECT;
    const Case cases[] = {
        {"one line: right at the end of the text", L"Hello", 0, DT_CALCRECT, 60, 36, 16},
        {"wrap at 200", L"aaaa bbbb cccc dddd eeee", 200, wrap, 210, 52, 32},
        {"a word longer than the box stays whole", L"tiny enormousword ok", 50, wrap, 130, 68, 48},
        {"a zero-width box does not wrap", L"a b c d", 0, wrap, 80, 36, 16},
        {"tabs stop every 8 mean widths", L"a\tb", 0, DT_CALCRECT | DT_EXPANDTABS, 100, 36, 16},
        {"an unexpanded tab is a character", L"a\tb", 0, DT_CALCRECT, 40, 36, 16},
        {"breaks; a final one adds no line", L"one\ntwo\n", 200, DT_CALCRECT, 210, 52, 32},
        {"an empty line between breaks counts", L"one\n\nthree", 200, DT_CALCRECT, 210, 68, 48},
        {"a lone break is one empty line", L"\n", 0, DT_CALCRECT, 10, 36, 16},
        {"no text, no lines", L"", 0, DT_CALCRECT, 10, 20, 0},
        {"white space at a wrap is dropped", L"aaaaaaaaa      bbbbbbbbb", 100, wrap, 110, 52, 32},
    };
    for (const Case& c : cases)
    {
        SCOPED_TRACE(c.name);
        RECT r{10, 20, 10 + c.boxWidth, 20};
        EXPECT_EQ(font->DrawTextW(nullptr, c.text, -1, &r, c.flags, 0xFF000000u), c.height);
        EXPECT_EQ(r.left, 10);
        EXPECT_EQ(r.top, 20);
        EXPECT_EQ(r.right, c.right);
        EXPECT_EQ(r.bottom, c.bottom);
    }
    // Drawing returns the same height and leaves the rectangle alone; a count limits the text.
    RECT r{0, 0, 200, 0};
    device->BeginScene();
    EXPECT_EQ(font->DrawTextW(nullptr, L"aaaa bbbb cccc dddd eeee", -1, &r, DT_WORDBREAK, 0xFF000000u), 32);
    EXPECT_EQ(font->DrawTextW(nullptr, L"one\ntwo", 3, &r, 0, 0xFF000000u), 16);
    device->EndScene();
    EXPECT_EQ(r.right, 200);
    EXPECT_EQ(r.bottom, 0);
    EXPECT_EQ(font->DrawTextW(nullptr, nullptr, -1, &r, 0, 0), 0);
    EXPECT_EQ(font->DrawTextW(nullptr, L"x", -1, nullptr, 0, 0), 0);
    font->Release();

    // Without a width the advance is half the height.
    ID3DXFont* narrow = Make(L"Arial", 25, 0);
    RECT n{0, 0, 0, 0};
    narrow->DrawTextW(nullptr, L"abcd", -1, &n, DT_CALCRECT, 0);
    EXPECT_EQ(n.right, 48);
    EXPECT_EQ(n.bottom, 25);
    narrow->Release();
}

TEST_F(FontTest, RealArialMetricsGiveFiveToTwelvePixelsACharacter)
{
    const std::string path = SystemFont("DejaVuSans.ttf");
    ASSERT_FALSE(path.empty()) << "fonts-dejavu-core is not installed";
    std::vector<unsigned char> bytes;
    std::string reason;
    ASSERT_TRUE(detail::ReadWholeFile(path, bytes, reason));
    auto face = detail::FontFace::Load(bytes, reason);
    ASSERT_TRUE(face) << reason;
    // A line of text at the sizes of the game's Arial fonts (16 / 10, 16 / 8) and at the face's
    // own proportions: 5 to 12 pixels a character, and 'a' to 'z' average the asked width.
    const std::string sentence = "Welcome to QUORB: place widgets, then press play!";
    for (int width : {10, 8, 0})
    {
        SCOPED_TRACE(width);
        face->SetSize(16, width);
        int total = 0;
        for (char c : sentence)
            total += face->Advance(face->GlyphIndex(static_cast<std::uint32_t>(c)));
        const double perCharacter = static_cast<double>(total) / static_cast<double>(sentence.size());
        EXPECT_GE(perCharacter, 5.0);
        EXPECT_LE(perCharacter, 12.0);
        int letters = 0;
        for (std::uint32_t c = 'a'; c <= 'z'; ++c)
            letters += face->Advance(face->GlyphIndex(c));
        if (width > 0)
        {
            EXPECT_NEAR(letters / 26.0, width, 0.6);
        }
    }
    face->SetSize(16, 10);
    EXPECT_GE(face->Ascent(), 11);
    EXPECT_LE(face->Ascent(), 14);
    detail::GlyphBitmap glyph;
    ASSERT_TRUE(face->Rasterise(face->GlyphIndex('A'), glyph));
    EXPECT_GT(glyph.width, 4);
    EXPECT_LT(glyph.top, 0); // above the baseline
    int covered = 0;
    for (std::uint8_t c : glyph.coverage)
        covered += c > 128;
    EXPECT_GT(covered, 10);
}

TEST_F(FontTest, EachFaceFindsItsFileAndUnknownOnesAreNamed)
{
    for (const char* file : {"DejaVuSans.ttf", "DejaVuSans-Bold.ttf", "DejaVuSerif.ttf",
                             "DejaVuSerif-Bold.ttf", "LeckerliOne-Regular.ttf"})
        ASSERT_FALSE(SystemFont(file).empty()) << file << " is not installed (scripts/setup installs it)";
    // The game's seven fonts are made without a word.
    testsupport::LogCapture logged;
    const std::tuple<int, UINT, UINT, const wchar_t*> table[] = {{16, 10, 400, L"Arial"},
                                                                 {16, 10, 700, L"Arial"},
                                                                 {16, 10, 400, L"Times New Roman"},
                                                                 {16, 10, 700, L"Times New Roman"},
                                                                 {25, 10, 400, L"Ravie"},
                                                                 {40, 25, 400, L"Ravie"},
                                                                 {16, 8, 400, L"Arial"}};
    std::vector<ID3DXFont*> fonts;
    for (auto [height, width, weight, face] : table)
        fonts.push_back(Make(face, height, width, weight));
    EXPECT_EQ(logged.Text(), "");
    EXPECT_EQ(Textures(), 7) << "one atlas each";
    D3DXFONT_DESCW desc;
    fonts[5]->GetDescW(&desc);
    EXPECT_EQ(desc.Height, 40);
    EXPECT_EQ(desc.Width, 25u);
    EXPECT_STREQ(desc.FaceName, L"Ravie");
    for (ID3DXFont* f : fonts)
        f->Release();

    logged.Clear();
    ID3DXFont* unknown = Make(L"Comic Sans", 16, 10);
    EXPECT_EQ(logged.Lines(),
              std::vector<std::string>{"D3DXCreateFontIndirectW: face \"Comic Sans\": the face is "
                                       "not known; \"DejaVuSans.ttf\" stands in"});
    unknown->Release();
}

TEST_F(FontTest, MissingOrDamagedFilesFallBackAndNoFileMeansFixedMetricsAndNothingDrawn)
{
    const std::string sans = SystemFont("DejaVuSans.ttf");
    ASSERT_FALSE(sans.empty());
    testsupport::TempWorkDir dir;
    std::filesystem::create_directories("fonts");
    Copy(sans, "fonts/DejaVuSans.ttf");
    std::ofstream("fonts/DejaVuSerif.ttf") << "this is not a font";
    detail::SetFontFolders({dir.Path() + "/fonts"});

    struct Case
    {
        const wchar_t* face;
        UINT weight;
        const char* said;
    };
    const Case cases[] = {
        {L"Times New Roman", 700,
         "face \"Times New Roman\": \"DejaVuSerif-Bold.ttf\" is not installed (package fonts-dejavu-core); "
         "\"DejaVuSans.ttf\" stands in"},
        {L"Times New Roman", 400, "DejaVuSerif.ttf\": not a TrueType font; \"DejaVuSans.ttf\" stands in"},
        {L"Ravie", 400,
         "face \"Ravie\": \"LeckerliOne-Regular.ttf\" is not installed (package fonts-leckerli-one)"},
    };
    for (const Case& c : cases)
    {
        SCOPED_TRACE(c.said);
        testsupport::LogCapture logged;
        const int before = Textures();
        ID3DXFont* font = Make(c.face, 16, 10, c.weight);
        ASSERT_EQ(logged.Lines().size(), 1u) << logged.Text();
        EXPECT_NE(logged.Lines()[0].find(c.said), std::string::npos) << logged.Lines()[0];
        EXPECT_EQ(Textures(), before + 1) << "DejaVu Sans drew its glyphs";
        font->Release();
    }

    // No font file at all: measured with fixed metrics, nothing made, nothing drawn.
    std::filesystem::remove_all("fonts");
    std::filesystem::create_directories("fonts");
    detail::SetFontFolders({dir.Path() + "/fonts"});
    testsupport::LogCapture logged;
    ID3DXFont* font = Make(L"Arial", 16, 10);
    const std::string out = logged.Text();
    EXPECT_NE(out.find("measures with fixed metrics and draws nothing"), std::string::npos) << out;
    EXPECT_EQ(Textures(), 0);
    headless::SetCallLogging(true);
    device->BeginScene();
    RECT r{0, 0, 0, 0};
    EXPECT_EQ(font->DrawTextW(nullptr, L"still measured", -1, &r, 0, 0xFF000000u), 16);
    device->EndScene();
    for (const auto& call : headless::CallLog())
        EXPECT_NE(call.kind, devicedebug::CallKind::Draw);
    font->Release();
}

TEST_F(FontTest, DamagedFontBytesAreRefusedWithAReason)
{
    const std::string sans = SystemFont("DejaVuSans.ttf");
    ASSERT_FALSE(sans.empty());
    std::vector<unsigned char> good;
    std::string reason;
    ASSERT_TRUE(detail::ReadWholeFile(sans, good, reason));
    struct Case
    {
        const char* name;
        std::vector<unsigned char> bytes;
        const char* reason;
    };
    std::vector<unsigned char> otto = good;
    otto[0] = 'O';
    otto[1] = 'T';
    otto[2] = 'T';
    otto[3] = 'O';
    std::vector<unsigned char> manyTables = good;
    manyTables[4] = 0xFF; // a table directory far past the end
    const Case cases[] = {
        {"nothing", {}, "too short"},
        {"the first 100 bytes", std::vector<unsigned char>(good.begin(), good.begin() + 100), "past the end"},
        {"half the file",
         std::vector<unsigned char>(good.begin(), good.begin() + static_cast<long>(good.size() / 2)),
         "past the end"},
        {"PostScript outlines", otto, "PostScript outlines are not supported"},
        {"a directory past the end", manyTables, "table directory"},
    };
    for (const Case& c : cases)
    {
        SCOPED_TRACE(c.name);
        std::string why;
        EXPECT_FALSE(detail::FontFace::Load(c.bytes, why));
        EXPECT_NE(why.find(c.reason), std::string::npos) << why;
    }

    // A location table pointing past the glyphs: the face loads, its glyphs draw nothing.
    std::vector<unsigned char> badLoca = good;
    const std::uint32_t tables = (badLoca[4] << 8) | badLoca[5];
    for (std::uint32_t i = 0; i < tables; ++i)
    {
        const std::size_t entry = 12 + 16 * i;
        if (std::string(badLoca.begin() + static_cast<long>(entry),
                        badLoca.begin() + static_cast<long>(entry) + 4) != "loca")
            continue;
        const std::size_t offset = (std::size_t{badLoca[entry + 8]} << 24) | (badLoca[entry + 9] << 16) |
                                   (badLoca[entry + 10] << 8) | badLoca[entry + 11];
        const std::size_t length = (std::size_t{badLoca[entry + 12]} << 24) | (badLoca[entry + 13] << 16) |
                                   (badLoca[entry + 14] << 8) | badLoca[entry + 15];
        std::fill(badLoca.begin() + static_cast<long>(offset),
                  badLoca.begin() + static_cast<long>(offset + length), 0xEE);
    }
    auto face = detail::FontFace::Load(badLoca, reason);
    ASSERT_TRUE(face) << reason;
    detail::GlyphBitmap glyph;
    EXPECT_FALSE(face->Rasterise(face->GlyphIndex('A'), glyph));
    EXPECT_EQ(glyph.width, 0);
}
