#include "common/NamedMutex.h"

#include "common/Assert.h"

namespace common
{
CNamedMutex::CNamedMutex(const std::wstring& name) : m_handle(plat::CreateMutexW(nullptr, 0, name.c_str()))
{
    DORVO_ASSERT(m_handle != nullptr, "CNamedMutex::CNamedMutex - the mutex could not be created.");
}

CNamedMutex::~CNamedMutex()
{
    if (m_handle)
    {
        plat::CloseHandle(m_handle);
    }
}
} // namespace common
