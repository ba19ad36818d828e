// The component of class T on an object, found by the hash of T's type name (so it works before
// the class is registered), or null for a null object or one without it.
#pragma once

#include "common/HashName.h"
#include "engine/Gob.h"

namespace QUORB
{
template <class T> T* FindComp(Gob* gob)
{
    return gob != nullptr ? dynamic_cast<T*>(gob->GetComponent(HashName(T::kTypeName))) : nullptr;
}
} // namespace QUORB
