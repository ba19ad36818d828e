// The run-time log "Log.xml": an XML document with a stylesheet line (the shipped
// "LogXSLT.xsl", copied beside it into the run folder) and a "RunTimeLog" root holding one "Line"
// element per line of the log. The console owns the one log; the program hands it the log's lines
// (TakeLogLines). The document is closed after every line, so it is well-formed XML whenever it is
// read, and it stops growing at kMaxBytes with a last line that says so.
#pragma once

#include <cstddef>
#include <fstream>
#include <mutex>
#include <string>

namespace common
{
// The log's file name, relative to the working directory.
extern const char* const g_logFileName;

class CLogFile
{
public:
    // The most the file holds; lines past it go to the log's handler only.
    static constexpr std::size_t kMaxBytes = 1u << 20;

    CLogFile();
    virtual ~CLogFile();

    CLogFile(const CLogFile&) = delete;
    CLogFile& operator=(const CLogFile&) = delete;

    const std::string& GetFileName() const { return m_fileName; }
    // False when the file could not be created; the console works regardless.
    bool IsGood() const { return m_stream.good(); }

    // Adds the line as the root's last "Line" element. Markup characters are escaped and bytes
    // that are no UTF-8 character (or none XML allows) show as '?', so what a line quotes from
    // data cannot break the document. Safe from any thread.
    void Write(const std::string& line);
    // Every line of the log (plat::WriteLogLine) from now on is written here too, until this
    // object goes; a second log file taking the lines replaces the first.
    void TakeLogLines();

private:
    // Writes the element and the closing tag after the last element; false when the stream fails.
    bool Append(const std::string& element);

    std::string m_fileName;
    std::fstream m_stream;
    std::mutex m_mutex;           // the sound device's thread writes lines too
    std::streamoff m_rootEnd = 0; // where "</RunTimeLog>" begins
    bool m_full = false;          // the last line, saying the log is full, is written
};
} // namespace common
