// Any bytes as a texture file and as a font file: through the decoders directly and through
// D3DXCreateTextureFromFileW and D3DXCreateFontIndirectW on the headless device, which must
// refuse what they cannot read (one line each) and never crash, hang or read out of bounds. A
// decoded image has a size within the limit asked for and a pixel for each place; a texture made
// from a file is within the texture side limit.
// Bounded run: 2000 inputs
#include "FuzzSupport.h"

#include "platform/d3dx9.h"
#include "platform/font_face.h"
#include "platform/frame_driver.h"
#include "platform/image_codec.h"

#include <cwchar>
#include <filesystem>
#include <string>
#include <vector>

extern "C" int LLVMFuzzerInitialize(int*, char***)
{
    fuzzsupport::Init();
    fuzzsupport::InWorkFolder here;
    std::filesystem::create_directories("fonts");
    plat::detail::SetFontFolders({std::filesystem::absolute("fonts").string()});
    plat::DXUTInit(false, false, false, false);
    if (plat::FAILED(plat::DXUTCreateDevice(plat::D3DADAPTER_DEFAULT, true, 64, 64)))
        fuzzsupport::Fail("the headless device cannot be made");
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    fuzzsupport::InWorkFolder here;
    using namespace plat;
    IDirect3DDevice9* device = DXUTGetD3D9Device();

    // The decoders on their own.
    constexpr UINT kMaxSide = 2048;
    detail::DecodedImage image;
    std::string reason;
    if (detail::DecodeImage(data, size, kMaxSide, image, reason))
    {
        FUZZ_CHECK(image.width >= 1 && image.width <= kMaxSide && image.height >= 1 &&
                       image.height <= kMaxSide,
                   "decoded " + std::to_string(image.width) + " x " + std::to_string(image.height));
        FUZZ_CHECK(image.pixels.size() == static_cast<std::size_t>(image.width) * image.height,
                   "a decoded image without a pixel for each place");
    }
    else
        FUZZ_CHECK(fuzzsupport::IsOneLine(reason), "the image's refusal is not one line: " + reason);
    reason.clear();
    if (auto face = detail::FontFace::Load(std::vector<unsigned char>(data, data + size), reason))
    {
        for (int height : {16, 40})
        {
            face->SetSize(height, height / 2);
            for (std::uint32_t c = 0; c < 256; ++c)
            {
                const unsigned glyph = face->GlyphIndex(c);
                face->Advance(glyph);
                detail::GlyphBitmap bitmap;
                if (face->Rasterise(glyph, bitmap))
                    FUZZ_CHECK(bitmap.width >= 0 && bitmap.height >= 0 &&
                                   bitmap.coverage.size() ==
                                       static_cast<std::size_t>(bitmap.width) * bitmap.height,
                               "a glyph's coverage does not match its size");
            }
        }
    }
    else
        FUZZ_CHECK(fuzzsupport::IsOneLine(reason), "the font's refusal is not one line: " + reason);

    // The same bytes as files, through the public calls.
    const std::string bytes(reinterpret_cast<const char*>(data), size);
    fuzzsupport::WriteFile("Input.png", bytes);
    IDirect3DTexture9* texture = nullptr;
    if (SUCCEEDED(D3DXCreateTextureFromFileW(device, L"Input.png", &texture)))
    {
        D3DSURFACE_DESC desc;
        texture->GetLevelDesc(0, &desc);
        FUZZ_CHECK(desc.Width <= kMaxTextureFileSide && desc.Height <= kMaxTextureFileSide,
                   "a texture past the side limit was made: " + std::to_string(desc.Width) + " x " +
                       std::to_string(desc.Height));
        texture->Release();
    }
    fuzzsupport::WriteFile("fonts/DejaVuSans.ttf", bytes);
    D3DXFONT_DESCW desc;
    desc.Height = 16;
    desc.Width = 10;
    std::wcscpy(desc.FaceName, L"Arial");
    ID3DXFont* font = nullptr;
    if (SUCCEEDED(D3DXCreateFontIndirectW(device, &desc, &font)))
    {
        RECT r{0, 0, 60, 0};
        device->BeginScene();
        font->DrawTextW(nullptr, L"Fuzz \xE9\xFF\t?", -1, &r, DT_WORDBREAK | DT_EXPANDTABS, 0xFF000000u);
        device->EndScene();
        font->Release();
    }
    return 0;
}
