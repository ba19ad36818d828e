#include "engine/CDorvoGame.h"

#include "common/math/Vector3.h"
#include "engine/GobManager.h"

namespace dorvo
{
Gob* CDorvoGame::SpawnGob(const std::string& templateName, const math::Vector3& position)
{
    return GobManager::Instance().CreateGobAtPos(templateName, position, true);
}
} // namespace dorvo
