// Holds a platform mutex for the lifetime of a scope: waits without time-out on construction,
// releases on destruction. Does not own the handle (see CNamedMutex); a null handle
// is waited on and released by nobody.
#pragma once

#include "platform/win32.h"

namespace common
{
class ScopedMutexLock
{
public:
    explicit ScopedMutexLock(plat::HANDLE mutex);
    ~ScopedMutexLock();
    ScopedMutexLock(const ScopedMutexLock&) = delete;
    ScopedMutexLock& operator=(const ScopedMutexLock&) = delete;

private:
    plat::HANDLE m_mutex;
    bool m_owned; // the wait succeeded, so the destructor releases
};
} // namespace common
