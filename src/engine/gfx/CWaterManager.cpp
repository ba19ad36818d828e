#include "engine/gfx/CWaterManager.h"

#include "common/Singleton.h"

namespace dorvo
{
namespace gfx
{
CWaterManager& CWaterManager::Instance()
{
    return *common::Singleton<CWaterManager>::Instance();
}
} // namespace gfx
} // namespace dorvo
