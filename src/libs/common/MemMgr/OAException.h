// The exception of the object allocator: an error code and a message on top of the base
// exception's source file and line. Thrown by value from CObjectAllocator.
#pragma once

#include "common/BaseException.h"

#include <cstdint>
#include <string>

namespace MemMgr
{
class COAException : public common::CBaseException
{
public:
    enum EErrorCode : std::int32_t
    {
        E_NO_MEMORY = 0,       // the system has no memory for a page
        E_NO_PAGES = 1,        // no free block and the page limit reached
        E_CORRUPTED_BLOCK = 2, // not the start of a block, or its pad bytes overwritten
        E_BAD_ADDRESS = 3,     // the address lies on no page
        E_MULTIPLE_FREE = 4,   // the block is already free
    };

    COAException(std::int32_t code, const std::string& message, const char* file, int line);

    const char* what() const noexcept override;
    const char* GetName() const override;
    virtual std::int32_t GetErrorCode() const;

private:
    std::int32_t m_errorCode;
    std::string m_message;
};
} // namespace MemMgr
