// A process-wide mutex found by name (the same name gives the same mutex), owning the
// platform handle. The event manager guards its thread-safe queue with the one named
// "Event System"; lock it with ScopedMutexLock.
#pragma once

#include "platform/win32.h"

#include <string>

namespace common
{
class CNamedMutex
{
public:
    explicit CNamedMutex(const std::wstring& name);
    ~CNamedMutex();
    CNamedMutex(const CNamedMutex&) = delete;
    CNamedMutex& operator=(const CNamedMutex&) = delete;

    // Null when the platform could not create the mutex.
    plat::HANDLE GetHandle() const { return m_handle; }

private:
    plat::HANDLE m_handle;
};
} // namespace common
