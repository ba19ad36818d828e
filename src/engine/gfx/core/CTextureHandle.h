// One holder's share of a texture from the texture cache: the file name (relative to the
// texture folder) and the shared Direct3D texture, null when none is loaded or the file could
// not be read. A handle counts once in the cache from Load to Release (or its destruction).
#pragma once

#include "platform/d3d9.h"

#include <string>

namespace dorvo
{
namespace gfx
{
class CTextureHandle
{
public:
    CTextureHandle() = default;
    // Gives the texture back to the cache.
    ~CTextureHandle();

    CTextureHandle(const CTextureHandle&) = delete;
    CTextureHandle& operator=(const CTextureHandle&) = delete;

    // Nothing when the name is the one held. Otherwise the held texture goes back to the cache
    // and, for a non-empty name, the cache hands over that file's texture.
    void Load(const std::string& fileName);
    // After a Load whose file could not be read: the handle shows the cache's white texture in
    // its place (not counted: the cache keeps it), its name unchanged. Models use it so a
    // missing texture shows as the plain material instead of nothing.
    void UseWhiteIfMissing();
    // Gives the texture back to the cache and forgets the name, so a second release (or the
    // destructor after one) changes nothing.
    void Release();

    const std::string& GetFileName() const { return m_fileName; }
    // Not add-referenced; null without a texture.
    plat::IDirect3DTexture9* GetTexture() const { return m_pTexture; }
    // Pixels of the top level; 0 without a texture.
    unsigned GetWidth() const;
    unsigned GetHeight() const;

private:
    friend class CTextureManager;

    std::string m_fileName;
    plat::IDirect3DTexture9* m_pTexture = nullptr;
};
} // namespace gfx
} // namespace dorvo
