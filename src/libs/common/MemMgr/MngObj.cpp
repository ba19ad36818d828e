#include "common/MemMgr/MngObj.h"

#include "common/MemMgr/AllocatorRegistry.h"

namespace MemMgr
{
CMngObj::~CMngObj() = default;

void* CMngObj::operator new(std::size_t size)
{
    return AllocatorRegistry::Allocate(size);
}

void CMngObj::operator delete(void* object, std::size_t size)
{
    AllocatorRegistry::Free(object, size);
}
} // namespace MemMgr
