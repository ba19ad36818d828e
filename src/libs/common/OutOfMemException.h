// Thrown when an allocation the program cannot do without fails, for example the creation of
// a singleton manager. Logs like its base, under the name "Out Of Memory Exception".
#pragma once

#include "common/BaseException.h"

namespace common
{
class COutOfMemException : public CBaseException
{
public:
    COutOfMemException(const char* file, int line);

    const char* what() const noexcept override;
    const char* GetName() const override;
};
} // namespace common
