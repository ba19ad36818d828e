#include "common/OutOfMemException.h"

namespace common
{
COutOfMemException::COutOfMemException(const char* file, int line) : CBaseException(file, line) {}

const char* COutOfMemException::what() const noexcept
{
    return "Out Of Memory !";
}

const char* COutOfMemException::GetName() const
{
    return "Out Of Memory Exception";
}
} // namespace common
