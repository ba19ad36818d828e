#include "common/BaseException.h"

#include "platform/files.h"

#include <string>

namespace common
{
std::string& ExceptionLogFileName()
{
    static std::string name = "exception.txt";
    return name;
}

CBaseException::CBaseException(const char* file, int line) : m_file(file ? file : ""), m_line(line) {}

CBaseException::~CBaseException() = default;

const char* CBaseException::what() const noexcept
{
    return "Base Exception Thrown";
}

const char* CBaseException::GetName() const
{
    return "Base Exception";
}

void CBaseException::LogToFile() const
{
    // Through the one writer: the record never lands outside the run folder or in a FIFO.
    std::string error;
    plat::AppendRunFile(ExceptionLogFileName(),
                        std::string(GetName()) + " Thrown\nIn file: " + m_file + "\nLine #" +
                            std::to_string(m_line) + "\n" + std::string(55, '*') + "\n",
                        plat::SaveKind::Log, error);
}
} // namespace common
