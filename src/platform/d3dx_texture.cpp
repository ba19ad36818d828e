// Texture files in and out: D3DXCreateTextureFromFileW and D3DXSaveSurfaceToFileW.
#include "platform/d3dx9.h"

#include "platform/device_base.h"
#include "platform/files.h"
#include "platform/image_codec.h"
#include "platform/log.h"

#include <algorithm>
#include <cstring>
#include <filesystem>

namespace plat
{
namespace
{
void Report(const char* function, const std::string& file, const std::string& reason, const char* instead)
{
    DORVO_LOG("%s: %s: %s; %s", function, file.c_str(), reason.c_str(), instead);
}

std::uint64_t s_textureFileBudget = kTextureFileBudgetBytes;

// What a texture of this size holds with its mip chain: a third more than its first level.
std::uint64_t TextureCost(UINT width, UINT height)
{
    const std::uint64_t first = std::uint64_t{width} * height * 4;
    return first + first / 3;
}

// What the device's live textures made from files hold.
std::uint64_t FileTexturesHeld(const detail::DeviceBase& device)
{
    std::uint64_t held = 0;
    for (const auto& entry : device.Link()->registry)
    {
        const devicedebug::ResourceInfo& info = entry.second;
        if (info.live && info.kind == devicedebug::ResourceKind::Texture && !info.file.empty())
            held += TextureCost(info.width, info.height);
    }
    return held;
}

std::string Megabytes(std::uint64_t bytes)
{
    if (bytes < (std::uint64_t{1} << 20))
        return std::to_string((bytes + 1023) / 1024) + " KB";
    const std::uint64_t tenths = (bytes * 10 + (std::uint64_t{1} << 19)) >> 20;
    return std::to_string(tenths / 10) + "." + std::to_string(tenths % 10) + " MB";
}
} // namespace

std::uint64_t TextureFileBudget()
{
    return s_textureFileBudget;
}

std::uint64_t SetTextureFileBudget(std::uint64_t bytes)
{
    const std::uint64_t previous = s_textureFileBudget;
    s_textureFileBudget = bytes != 0 ? bytes : kTextureFileBudgetBytes;
    return previous;
}

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
    detail::ImageHeader header;
    const UINT maxSide =
        std::min({d->Caps().MaxTextureWidth, d->Caps().MaxTextureHeight, UINT{kMaxTextureFileSide}});
    // The header first: a texture past the side limit or the budget costs its file's bytes only.
    bool fits = false;
    std::error_code ec;
    const std::uintmax_t fileBytes = std::filesystem::file_size(ResolvePath(name), ec);
    if (!ec && fileBytes > kMaxTextureFileBytes)
        reason = std::to_string(fileBytes >> 20) + " MB, more than the " +
                 std::to_string(kMaxTextureFileBytes >> 20) + " MB a texture file may hold";
    else if (detail::ReadWholeFile(name, bytes, reason) &&
             detail::ReadImageHeader(bytes.data(), bytes.size(), header, reason))
    {
        const std::uint64_t cost = TextureCost(header.width, header.height);
        const std::uint64_t held = FileTexturesHeld(*d);
        if (header.width > maxSide || header.height > maxSide)
            reason = "the image is " + std::to_string(header.width) + " x " + std::to_string(header.height) +
                     " pixels, more than the " + std::to_string(maxSide) + " a side a texture may have";
        else if (held + cost > s_textureFileBudget)
            reason = "its " + Megabytes(cost) + " with the " + Megabytes(held) +
                     " of the textures already loaded would pass the " + Megabytes(s_textureFileBudget) +
                     " all textures may take";
        else
            fits = true;
    }
    if (!fits)
    {
        Report("D3DXCreateTextureFromFileW", name, reason, "no texture is made");
        return D3DXERR_INVALIDDATA;
    }
    IDirect3DTexture9* made = nullptr;
    const HRESULT hr = device->CreateTexture(header.width, header.height, 0, 0,
                                             header.hasAlpha ? D3DFMT_A8R8G8B8 : D3DFMT_X8R8G8B8,
                                             D3DPOOL_MANAGED, &made, nullptr);
    if (FAILED(hr))
    {
        Report("D3DXCreateTextureFromFileW", name, "the device cannot make the texture",
               "no texture is made");
        return hr;
    }
    // The file is decoded straight into the first level and each further level is made from the
    // one above it, so no copy of the pixels is held beside the texture's own.
    D3DLOCKED_RECT top;
    bool decoded = SUCCEEDED(made->LockRect(0, &top, nullptr, 0));
    if (!decoded)
        reason = "the texture cannot be written";
    else
    {
        decoded = static_cast<std::size_t>(top.Pitch) == std::size_t{header.width} * 4 &&
                  detail::DecodeImageInto(bytes.data(), bytes.size(), header,
                                          static_cast<std::uint32_t*>(top.pBits), reason);
        made->UnlockRect(0);
    }
    std::vector<unsigned char>().swap(bytes);
    if (!decoded)
    {
        made->Release();
        Report("D3DXCreateTextureFromFileW", name, reason, "no texture is made");
        return D3DXERR_INVALIDDATA;
    }
    for (UINT i = 1; i < made->GetLevelCount(); ++i)
    {
        D3DSURFACE_DESC above;
        D3DLOCKED_RECT from, to;
        made->GetLevelDesc(i - 1, &above);
        if (FAILED(made->LockRect(i - 1, &from, nullptr, D3DLOCK_READONLY)))
            break;
        if (SUCCEEDED(made->LockRect(i, &to, nullptr, 0)))
        {
            detail::HalveImage(static_cast<const std::uint32_t*>(from.pBits), above.Width, above.Height,
                               static_cast<std::uint32_t*>(to.pBits));
            made->UnlockRect(i);
        }
        made->UnlockRect(i - 1);
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
    std::string error;
    if (!SaveRunFile(name, std::string(png.begin(), png.end()), SaveKind::Image, error))
    {
        DORVO_LOG("D3DXSaveSurfaceToFileW: %s; nothing is written", error.c_str());
        return E_FAIL;
    }
    return S_OK;
}
} // namespace plat
