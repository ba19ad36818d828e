// Base of classes whose objects come from the pooled allocators (the scene-graph nodes):
// new and delete go through AllocatorRegistry by the object's size. The destructor is virtual
// so delete through a base pointer frees with the dynamic type's size.
#pragma once

#include <cstddef>

namespace MemMgr
{
class CMngObj
{
public:
    virtual ~CMngObj();

    static void* operator new(std::size_t size);
    static void operator delete(void* object, std::size_t size);
};
} // namespace MemMgr
