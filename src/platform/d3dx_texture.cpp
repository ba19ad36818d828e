// Texture files in and out: D3DXCreateTextureFromFileW and D3DXSaveSurfaceToFileW.
#include "platform/d3dx9.h"

#include "platform/device_base.h"
#include "platform/files.h"
#include "platform/image_codec.h"
#include "platform/log.h"

#include <cstdio>
#include <cstring>

namespace plat
{
namespace
{
void Report(const char* function, const std::string& file, const std::string& reason, const char* instead)
{
    DORVO_LOG("%s: %s: %s; %s", function, file.c_str(), reason.c_str(), instead);
}
} // namespace

HRESULT D3DXCreateTextureFromFileW(IDirect3DDevice9* device, const wchar_t* fileName,
                                   IDirect3DTexture9** texture)
{
    if (texture)
        *texture = nullptr;
    detail::DeviceBase* d = detail::AsDevice(device);
    if (!d || !fileName || !texture)
        return D3DERR_INVALIDCALL;
    const std::string name = ToNarrow(fileName);
    std::vector<unsigned char> bytes;
    std::string reason;
    detail::DecodedImage image;
    if (!detail::ReadWholeFile(name, bytes, reason) ||
        !detail::DecodeImage(bytes.data(), bytes.size(),
                             std::min(d->Caps().MaxTextureWidth, d->Caps().MaxTextureHeight), image, reason))
    {
        Report("D3DXCreateTextureFromFileW", name, reason, "no texture is made");
        return D3DXERR_INVALIDDATA;
    }
    IDirect3DTexture9* made = nullptr;
    const HRESULT hr = device->CreateTexture(image.width, image.height, 0, 0,
                                             image.hasAlpha ? D3DFMT_A8R8G8B8 : D3DFMT_X8R8G8B8,
                                             D3DPOOL_MANAGED, &made, nullptr);
    if (FAILED(hr))
    {
        Report("D3DXCreateTextureFromFileW", name, "the device cannot make the texture",
               "no texture is made");
        return hr;
    }
    // The full mip chain, each level from the one above.
    std::vector<std::uint32_t> level = std::move(image.pixels), next;
    UINT w = image.width, h = image.height;
    for (UINT i = 0; i < made->GetLevelCount(); ++i)
    {
        if (i > 0)
        {
            UINT nw = 0, nh = 0;
            detail::HalveImage(level, w, h, next, nw, nh);
            level.swap(next);
            w = nw;
            h = nh;
        }
        D3DLOCKED_RECT locked;
        if (SUCCEEDED(made->LockRect(i, &locked, nullptr, 0)))
        {
            std::memcpy(locked.pBits, level.data(), level.size() * sizeof(std::uint32_t));
            made->UnlockRect(i);
        }
    }
    detail::AsTexture(made)->Info().file = name;
    *texture = made;
    return S_OK;
}

HRESULT D3DXSaveSurfaceToFileW(const wchar_t* fileName, D3DXIMAGE_FILEFORMAT format,
                               IDirect3DSurface9* surface, const void* palette, const RECT* sourceRect)
{
    auto* s = dynamic_cast<detail::TextureSurface*>(surface);
    detail::DeviceBase* device = s ? s->GetTexture().Device() : nullptr;
    if (!fileName || !device || format != D3DXIFF_PNG || palette || sourceRect)
        return D3DERR_INVALIDCALL;
    const std::string name = ToNarrow(fileName);
    if (device->IsLogging())
    {
        devicedebug::LoggedCall call;
        call.kind = devicedebug::CallKind::SaveSurface;
        call.name = name;
        call.target = s->GetTexture().Creation();
        device->Log(std::move(call));
    }
    std::vector<std::uint32_t> pixels;
    std::vector<unsigned char> png;
    if (!device->ReadSurface(*s, pixels) || !detail::EncodePng(pixels, s->Width(), s->Height(), png))
    {
        Report("D3DXSaveSurfaceToFileW", name, "the surface cannot be read", "nothing is written");
        return E_FAIL;
    }
    std::FILE* file = OpenFile(name, "wb");
    if (!file)
    {
        Report("D3DXSaveSurfaceToFileW", name, "the file cannot be opened for writing", "nothing is written");
        return E_FAIL;
    }
    const bool written = std::fwrite(png.data(), 1, png.size(), file) == png.size();
    const bool closed = std::fclose(file) == 0;
    if (!written || !closed)
    {
        Report("D3DXSaveSurfaceToFileW", name, "writing the file failed", "the file may be incomplete");
        return E_FAIL;
    }
    return S_OK;
}
} // namespace plat
