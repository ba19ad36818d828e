// Any bytes as a texture file and as a font file: through the decoders directly and through
// D3DXCreateTextureFromFileW and D3DXCreateFontIndirectW on the headless device, which must
// refuse what they cannot read (one line each) and never crash, hang or read out of bounds.
#include "platform/d3dx9.h"
#include "platform/font_face.h"
#include "platform/frame_driver.h"
#include "platform/image_codec.h"

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cwchar>
#include <filesystem>
#include <string>
#include <unistd.h>
#include <vector>

namespace
{
std::string g_folder;

void WriteFile(const std::string& path, const std::uint8_t* data, std::size_t size)
{
    if (std::FILE* f = std::fopen(path.c_str(), "wb"))
    {
        if (size > 0)
            std::fwrite(data, 1, size, f);
        std::fclose(f);
    }
}
} // namespace

extern "C" int LLVMFuzzerInitialize(int*, char***)
{
    ::setenv("DORVO_HEADLESS", "1", 1);
    g_folder =
        (std::filesystem::temp_directory_path() / ("dorvo-fuzz-texture-font-" + std::to_string(::getpid())))
            .string();
    std::filesystem::create_directories(g_folder + "/fonts");
    plat::detail::SetFontFolders({g_folder + "/fonts"});
    plat::DXUTInit(false, false, false, false);
    if (plat::FAILED(plat::DXUTCreateDevice(plat::D3DADAPTER_DEFAULT, true, 64, 64)))
        std::abort();
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    using namespace plat;
    IDirect3DDevice9* device = DXUTGetD3D9Device();

    // The decoders on their own.
    detail::DecodedImage image;
    std::string reason;
    detail::DecodeImage(data, size, 2048, image, reason);
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
                face->Rasterise(glyph, bitmap);
            }
        }
    }

    // The same bytes as files, through the public calls.
    WriteFile(g_folder + "/input.png", data, size);
    IDirect3DTexture9* texture = nullptr;
    if (SUCCEEDED(D3DXCreateTextureFromFileW(device, ToWide(g_folder + "/input.png").c_str(), &texture)))
        texture->Release();
    WriteFile(g_folder + "/fonts/DejaVuSans.ttf", data, size);
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
