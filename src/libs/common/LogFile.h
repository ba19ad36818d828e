// The run-time log "Log.xml": an XML document with a stylesheet line and an empty "RunTimeLog"
// root, written once when the console is created. The console owns the one log; the file is
// kept open for the life of the object.
#pragma once

#include <fstream>
#include <string>

namespace common
{
// The log's file name, relative to the working directory.
extern const char* const g_logFileName;

class CLogFile
{
public:
    CLogFile();
    virtual ~CLogFile();

    CLogFile(const CLogFile&) = delete;
    CLogFile& operator=(const CLogFile&) = delete;

    const std::string& GetFileName() const { return m_fileName; }
    // False when the file could not be created; the console works regardless.
    bool IsGood() const { return m_stream.good(); }

private:
    std::string m_fileName;
    std::fstream m_stream;
};
} // namespace common
