// Root of the foundation's exception family: unrecoverable conditions carry the source file
// and line where they were thrown. Thrown by value, caught by reference; nothing catches them
// at the top, so one that escapes ends the process. LogToFile appends a report to the
// exception log ("exception.txt") when a caller asks for it; it is never called automatically.
#pragma once

#include <exception>
#include <string>

namespace common
{
// The exception log file name, "exception.txt" unless changed. A function rather than a
// global string so an exception thrown during static initialisation still finds it.
std::string& ExceptionLogFileName();

class CBaseException : public std::exception
{
public:
    // file: the thrower's source file (usually __FILE__); line: its line.
    CBaseException(const char* file, int line);
    CBaseException(const CBaseException& other) = default;
    CBaseException& operator=(const CBaseException& other) = default;
    ~CBaseException() override;

    const char* what() const noexcept override;
    virtual const char* GetName() const;
    // Appends "<name> Thrown", "In file: <file>", "Line #<line>" and a line of 55 asterisks.
    // A log that cannot be opened is skipped silently: the exception matters more than its log.
    virtual void LogToFile() const;

    const std::string& GetFile() const { return m_file; }
    int GetLine() const { return m_line; }

private:
    std::string m_file;
    int m_line;
};
} // namespace common
