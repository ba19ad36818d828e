#include "common/MemMgr/OAException.h"

namespace MemMgr
{
COAException::COAException(std::int32_t code, const std::string& message, const char* file, int line)
    : common::CBaseException(file, line), m_errorCode(code), m_message(message)
{
}

const char* COAException::what() const noexcept
{
    return m_message.c_str();
}

const char* COAException::GetName() const
{
    return "COAException";
}

std::int32_t COAException::GetErrorCode() const
{
    return m_errorCode;
}
} // namespace MemMgr
