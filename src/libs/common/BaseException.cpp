#include "common/BaseException.h"

#include "platform/files.h"

#include <fstream>

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
    std::ofstream out(plat::ResolvePath(ExceptionLogFileName()), std::ios::out | std::ios::app);
    if (!out.good())
    {
        return;
    }
    out << GetName() << " Thrown\n"
        << "In file: " << m_file << "\nLine #" << m_line << "\n"
        << std::string(55, '*') << "\n";
}
} // namespace common
