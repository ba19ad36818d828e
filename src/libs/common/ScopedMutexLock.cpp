#include "common/ScopedMutexLock.h"

namespace common
{
ScopedMutexLock::ScopedMutexLock(plat::HANDLE mutex)
    : m_mutex(mutex), m_owned(plat::WaitForSingleObject(mutex, plat::INFINITE) == plat::WAIT_OBJECT_0)
{
}

ScopedMutexLock::~ScopedMutexLock()
{
    // A failed wait (a null handle) owns nothing, and releasing a mutex held by nobody is
    // undefined on the platform.
    if (m_owned)
    {
        plat::ReleaseMutex(m_mutex);
    }
}
} // namespace common
