#include "engine/gfx/core/CTextureHandle.h"

#include "engine/gfx/core/CTextureManager.h"

namespace dorvo
{
namespace gfx
{
CTextureHandle::~CTextureHandle()
{
    Release();
}

void CTextureHandle::Load(const std::string& fileName)
{
    if (fileName == m_fileName)
        return;
    Release();
    if (fileName.empty())
        return;
    m_fileName = fileName;
    CTextureManager::Instance().Acquire(*this);
}

void CTextureHandle::UseWhiteIfMissing()
{
    if (!m_pTexture && !m_fileName.empty())
        m_pTexture = CTextureManager::Instance().GetWhiteTexture();
}

void CTextureHandle::Release()
{
    if (m_fileName.empty())
        return;
    CTextureManager::Instance().Release(*this);
    m_pTexture = nullptr;
    m_fileName.clear();
}

unsigned CTextureHandle::GetWidth() const
{
    plat::D3DSURFACE_DESC desc;
    return m_pTexture && plat::SUCCEEDED(m_pTexture->GetLevelDesc(0, &desc)) ? desc.Width : 0;
}

unsigned CTextureHandle::GetHeight() const
{
    plat::D3DSURFACE_DESC desc;
    return m_pTexture && plat::SUCCEEDED(m_pTexture->GetLevelDesc(0, &desc)) ? desc.Height : 0;
}
} // namespace gfx
} // namespace dorvo
