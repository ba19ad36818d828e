#include "engine/gfx/scene/CSceneGraphMgr.h"

#include "engine/gfx/scene/CDefaultSceneGraphMgrImp.h"

namespace dorvo
{
namespace gfx
{
CSceneGraphMgr::CSceneGraphMgr(std::unique_ptr<ACSceneGraphMgrImp> implementation)
    : m_pImp(implementation ? std::move(implementation) : std::make_unique<CDefaultSceneGraphMgrImp>())
{
}

CSceneGraphMgr::~CSceneGraphMgr() = default;
} // namespace gfx
} // namespace dorvo
