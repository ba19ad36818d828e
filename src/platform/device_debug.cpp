#include "platform/device_debug.h"

#include "platform/device_base.h"

namespace plat::devicedebug
{
const char* KindName(ResourceKind kind)
{
    switch (kind)
    {
    case ResourceKind::Texture:
        return "texture";
    case ResourceKind::DepthStencilSurface:
        return "depth-stencil surface";
    case ResourceKind::VertexBuffer:
        return "vertex buffer";
    case ResourceKind::IndexBuffer:
        return "index buffer";
    case ResourceKind::VertexDeclaration:
        return "vertex declaration";
    }
    return "resource";
}

const char* CallName(CallKind kind)
{
    switch (kind)
    {
    case CallKind::BeginScene:
        return "BeginScene";
    case CallKind::EndScene:
        return "EndScene";
    case CallKind::Clear:
        return "Clear";
    case CallKind::Draw:
        return "Draw";
    case CallKind::StretchRect:
        return "StretchRect";
    case CallKind::SpriteBegin:
        return "SpriteBegin";
    case CallKind::SpriteDraw:
        return "SpriteDraw";
    case CallKind::SpriteEnd:
        return "SpriteEnd";
    case CallKind::DrawText:
        return "DrawText";
    case CallKind::Line:
        return "Line";
    case CallKind::SaveSurface:
        return "SaveSurface";
    case CallKind::Present:
        return "Present";
    case CallKind::EffectLost:
        return "EffectLost";
    case CallKind::EffectReset:
        return "EffectReset";
    case CallKind::SetStreamSource:
        return "SetStreamSource";
    case CallKind::SetIndices:
        return "SetIndices";
    }
    return "?";
}

std::vector<ResourceInfo> Resources(IDirect3DDevice9* device)
{
    std::vector<ResourceInfo> resources;
    if (detail::DeviceBase* d = detail::AsDevice(device))
        for (const auto& entry : d->Link()->registry)
            resources.push_back(entry.second);
    return resources;
}

unsigned LiveDefaultResources(IDirect3DDevice9* device)
{
    unsigned count = 0;
    for (const ResourceInfo& info : Resources(device))
        if (info.live && info.pooled && info.pool == D3DPOOL_DEFAULT && !info.implicit)
            ++count;
    return count;
}

void SetCallLogging(IDirect3DDevice9* device, bool on)
{
    if (detail::DeviceBase* d = detail::AsDevice(device))
        d->SetLogging(on);
}

const std::vector<LoggedCall>& CallLog(IDirect3DDevice9* device)
{
    static const std::vector<LoggedCall> none;
    detail::DeviceBase* d = detail::AsDevice(device);
    return d ? d->CallLog() : none;
}

void ClearCallLog(IDirect3DDevice9* device)
{
    if (detail::DeviceBase* d = detail::AsDevice(device))
        d->CallLog().clear();
}

DeviceStatistics Statistics(IDirect3DDevice9* device)
{
    detail::DeviceBase* d = detail::AsDevice(device);
    return d ? d->Statistics() : DeviceStatistics();
}

void ResetStatistics(IDirect3DDevice9* device)
{
    if (detail::DeviceBase* d = detail::AsDevice(device))
        d->Statistics() = DeviceStatistics();
}

unsigned CreationNumber(IDirect3DResource9* resource)
{
    if (auto* s = dynamic_cast<detail::TextureSurface*>(resource))
        return s->GetTexture().Creation();
    if (auto* core = dynamic_cast<detail::ResourceCore*>(resource))
        return core->Creation();
    return 0;
}

std::string TextureFile(IDirect3DBaseTexture9* texture)
{
    detail::Texture* t = detail::AsTexture(texture);
    return t ? t->Info().file : std::string();
}
} // namespace plat::devicedebug
