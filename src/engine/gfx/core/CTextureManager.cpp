#include "engine/gfx/core/CTextureManager.h"

#include "common/Singleton.h"
#include "engine/gfx/core/CDorvoGfx.h"
#include "engine/gfx/core/CGFXCore.h"
#include "engine/gfx/core/CTextureHandle.h"
#include "platform/files.h"
#include "platform/log.h"

#include <cstdint>

namespace dorvo
{
namespace gfx
{
CTextureManager& CTextureManager::Instance()
{
    return *common::Singleton<CTextureManager>::Instance();
}

CTextureManager::~CTextureManager()
{
    for (auto& entry : m_entries)
        for (int i = 0; i < entry.second.count && entry.second.texture; ++i)
            entry.second.texture->Release();
    if (m_pWhite)
        m_pWhite->Release();
}

plat::IDirect3DTexture9* CTextureManager::GetWhiteTexture()
{
    if (m_pWhite)
        return m_pWhite;
    plat::IDirect3DDevice9* device = CGFXCore::Instance().GetDevice();
    if (!device)
        return nullptr;
    plat::IDirect3DTexture9* texture = nullptr;
    if (plat::FAILED(device->CreateTexture(1, 1, 1, 0, plat::D3DFMT_A8R8G8B8, plat::D3DPOOL_MANAGED, &texture,
                                           nullptr)) ||
        !texture)
        return nullptr;
    plat::D3DLOCKED_RECT locked;
    if (plat::FAILED(texture->LockRect(0, &locked, nullptr, 0)))
    {
        texture->Release();
        return nullptr;
    }
    *static_cast<std::uint32_t*>(locked.pBits) = 0xFFFFFFFFu;
    texture->UnlockRect(0);
    m_pWhite = texture;
    return m_pWhite;
}

void CTextureManager::Acquire(CTextureHandle& handle)
{
    auto found = m_entries.find(handle.m_fileName);
    if (found != m_entries.end())
    {
        SEntry& entry = found->second;
        ++entry.count;
        handle.m_pTexture = entry.texture;
        if (entry.texture)
            entry.texture->AddRef();
        return;
    }
    SEntry entry;
    entry.fileName = handle.m_fileName;
    entry.count = 1;
    const std::string path = CDorvoGfx::Instance().GetTexturePath() + handle.m_fileName;
    CGFXCore& core = CGFXCore::Instance();
    // Names come from data: one that leaves the texture folder is never opened (said once, as
    // the entry stays filed under the name).
    if (!plat::IsConfinedName(handle.m_fileName))
        DORVO_LOG("CTextureManager::Acquire: %.64s: the name leaves the texture folder; it is drawn white",
                  handle.m_fileName.c_str());
    else if (!core.GetDevice())
        DORVO_LOG(
            "CTextureManager::Acquire: %s: there is no device to load the texture on; it is drawn white",
            path.c_str());
    else
        core.CreateTextureFromFile(path, &entry.texture); // says itself why a file failed
    handle.m_pTexture = entry.texture;
    m_entries.emplace(handle.m_fileName, std::move(entry));
}

void CTextureManager::Release(CTextureHandle& handle)
{
    auto found = m_entries.find(handle.m_fileName);
    if (found == m_entries.end())
        return;
    SEntry& entry = found->second;
    if (entry.texture)
        entry.texture->Release();
    if (--entry.count <= 0)
        m_entries.erase(found);
}

int CTextureManager::GetCount(const std::string& fileName) const
{
    auto found = m_entries.find(fileName);
    return found == m_entries.end() ? 0 : found->second.count;
}
} // namespace gfx
} // namespace dorvo
