#include "engine/gfx/core/CAtmosphereManager.h"

#include "common/Singleton.h"

namespace dorvo
{
namespace gfx
{
CAtmosphereManager& CAtmosphereManager::Instance()
{
    return *common::Singleton<CAtmosphereManager>::Instance();
}

CAtmosphereManager::~CAtmosphereManager()
{
    SetEnvironmentMap(nullptr);
}

void CAtmosphereManager::SetEnvironmentMap(plat::IDirect3DTexture9* map)
{
    if (map)
        map->AddRef();
    if (m_pEnvironmentMap)
        m_pEnvironmentMap->Release();
    m_pEnvironmentMap = map;
}
} // namespace gfx
} // namespace dorvo
