// The texture cache: each texture file is loaded once (from the facade's texture folder) and
// shared by every handle loaded with its name; the entry counts its holders and goes when the
// last one lets go. The cache holds one reference to the Direct3D texture for each holder, so
// the texture's own count follows the entry's. A file that fails to load is said so once, on
// the first load, and leaves a null texture that its holders share and draw nothing with.
#pragma once

#include "platform/d3d9.h"

#include <string>
#include <unordered_map>

namespace dorvo
{
namespace gfx
{
class CTextureHandle;

class CTextureManager
{
public:
    // The one cache of the program, made on first use.
    static CTextureManager& Instance();

    CTextureManager() = default;
    ~CTextureManager();

    CTextureManager(const CTextureManager&) = delete;
    CTextureManager& operator=(const CTextureManager&) = delete;

    // The handle's name loaded or shared: its texture is set and the entry counts one more.
    void Acquire(CTextureHandle& handle);
    // The entry of the handle's name counts one less (and goes at 0); an unknown name does
    // nothing. The handle's own fields are left to it.
    void Release(CTextureHandle& handle);

    // Holders of the name; 0 when there is no entry.
    int GetCount(const std::string& fileName) const;
    std::size_t GetEntryCount() const { return m_entries.size(); }

    // A 1 x 1 opaque white texture, made on first use on the core's device in the managed pool
    // (it outlives device resets); units draw it where a texture file could not be loaded. Not
    // add-referenced; null without a device.
    plat::IDirect3DTexture9* GetWhiteTexture();

private:
    struct SEntry
    {
        std::string fileName;
        plat::IDirect3DTexture9* texture = nullptr; // null when the file could not be loaded
        int count = 0;
    };

    std::unordered_map<std::string, SEntry> m_entries;
    plat::IDirect3DTexture9* m_pWhite = nullptr;
};
} // namespace gfx
} // namespace dorvo
