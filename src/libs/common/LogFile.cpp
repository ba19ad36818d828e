#include "common/LogFile.h"

#include "platform/files.h"
#include "platform/win32.h"

namespace common
{
const char* const g_logFileName = "Log.xml";

CLogFile::CLogFile() : m_fileName(g_logFileName)
{
    const std::string path = plat::ResolvePath(m_fileName);
    {
        // Opening for writing empties an old log or creates the file, so the read-write open
        // below finds it.
        std::ofstream create(path, std::ios::out | std::ios::trunc);
    }
    m_stream.open(path, std::ios::in | std::ios::out);
    if (!m_stream.good())
        return;
    plat::OutputDebugStringA(("CLogFile: " + m_fileName + ": Runtime Log Begin\n").c_str());
    m_stream << "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n"
             << "<?xml-stylesheet type=\"text/xsl\" href=\"LogXSLT.xsl\"?>\n"
             << "<RunTimeLog>\n"
             << "</RunTimeLog>\n";
    m_stream.flush();
}

CLogFile::~CLogFile() = default;
} // namespace common
