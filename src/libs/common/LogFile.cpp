#include "common/LogFile.h"

#include "platform/files.h"
#include "platform/log.h"
#include "platform/win32.h"

namespace common
{
const char* const g_logFileName = "Log.xml";

namespace
{
const char kClosing[] = "</RunTimeLog>\n";
// Room kept below the limit for the line that says the log is full.
constexpr std::size_t kFullNoteBytes = 256;

// The log file that takes the log's lines, and the lock that keeps it alive while a line is
// written (the sound device's thread writes lines too).
std::mutex& TakerMutex()
{
    static std::mutex mutex;
    return mutex;
}
CLogFile* s_taker = nullptr;

void WriteToTaker(const std::string& line)
{
    std::lock_guard<std::mutex> lock(TakerMutex());
    if (s_taker != nullptr)
        s_taker->Write(line);
}

bool IsContinuation(unsigned char c)
{
    return (c & 0xc0) == 0x80;
}

// The length of the UTF-8 character at text[i] when it is one XML allows, else 0: no overlong
// form, no surrogate, nothing above U+10FFFF, not U+FFFE or U+FFFF.
std::size_t CharacterLength(const std::string& text, std::size_t i)
{
    const unsigned char c = static_cast<unsigned char>(text[i]);
    std::size_t length = 0;
    unsigned char low = 0x80;
    unsigned char high = 0xbf;
    if (c >= 0xc2 && c <= 0xdf)
        length = 2;
    else if (c >= 0xe0 && c <= 0xef)
    {
        length = 3;
        if (c == 0xe0)
            low = 0xa0;
        else if (c == 0xed)
            high = 0x9f;
    }
    else if (c >= 0xf0 && c <= 0xf4)
    {
        length = 4;
        if (c == 0xf0)
            low = 0x90;
        else if (c == 0xf4)
            high = 0x8f;
    }
    if (length == 0 || i + length > text.size())
        return 0;
    const unsigned char second = static_cast<unsigned char>(text[i + 1]);
    if (second < low || second > high)
        return 0;
    for (std::size_t k = 2; k < length; ++k)
        if (!IsContinuation(static_cast<unsigned char>(text[i + k])))
            return 0;
    if (c == 0xef && second == 0xbf && static_cast<unsigned char>(text[i + 2]) >= 0xbe)
        return 0;
    return length;
}

// The text as XML character data.
std::string XmlText(const std::string& text)
{
    std::string out;
    out.reserve(text.size());
    for (std::size_t i = 0; i < text.size();)
    {
        const unsigned char c = static_cast<unsigned char>(text[i]);
        if (c < 0x80)
        {
            if (c == '&')
                out += "&amp;";
            else if (c == '<')
                out += "&lt;";
            else if (c == '>')
                out += "&gt;";
            else if (c < 0x20 && c != '\t')
                out += '?';
            else
                out += static_cast<char>(c);
            ++i;
            continue;
        }
        const std::size_t length = CharacterLength(text, i);
        if (length == 0)
        {
            out += '?';
            ++i;
            continue;
        }
        out.append(text, i, length);
        i += length;
    }
    return out;
}
} // namespace

CLogFile::CLogFile() : m_fileName(g_logFileName)
{
    const std::string path = plat::ResolvePath(m_fileName);
    {
        // Opening for writing empties an old log or creates the file, so the read-write open
        // below finds it.
        std::ofstream create(path, std::ios::out | std::ios::trunc);
    }
    m_stream.open(path, std::ios::in | std::ios::out | std::ios::binary);
    if (!m_stream.good())
        return;
    plat::OutputDebugStringA(("CLogFile: " + m_fileName + ": Runtime Log Begin\n").c_str());
    m_stream << "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n"
             << "<?xml-stylesheet type=\"text/xsl\" href=\"LogXSLT.xsl\"?>\n"
             << "<RunTimeLog>\n";
    m_rootEnd = m_stream.tellp();
    m_stream << kClosing;
    m_stream.flush();
}

CLogFile::~CLogFile()
{
    std::lock_guard<std::mutex> lock(TakerMutex());
    if (s_taker == this)
    {
        s_taker = nullptr;
        plat::SetLogFileWriter(nullptr);
    }
}

void CLogFile::TakeLogLines()
{
    {
        std::lock_guard<std::mutex> lock(TakerMutex());
        s_taker = this;
        plat::SetLogFileWriter(&WriteToTaker);
    }
    // The line the log began with was said before the file took lines.
    Write("CLogFile: " + m_fileName + ": Runtime Log Begin");
}

void CLogFile::Write(const std::string& line)
{
    std::lock_guard<std::mutex> lock(m_mutex);
    if (m_full || !m_stream.good() || m_rootEnd <= 0)
        return;
    const std::string element = "<Line>" + XmlText(line) + "</Line>\n";
    const std::size_t end = static_cast<std::size_t>(m_rootEnd) + element.size() + sizeof kClosing - 1;
    if (end + kFullNoteBytes <= kMaxBytes)
    {
        Append(element);
        return;
    }
    m_full = true;
    Append("<Line>CLogFile: " + m_fileName + ": the log is full (" + std::to_string(kMaxBytes) +
           " bytes); later lines are not written here</Line>\n");
}

bool CLogFile::Append(const std::string& element)
{
    // The element and the closing tag go out together, over the old closing tag.
    m_stream.seekp(m_rootEnd);
    m_stream << element << kClosing;
    m_stream.flush();
    if (!m_stream.good())
        return false;
    m_rootEnd += static_cast<std::streamoff>(element.size());
    return true;
}
} // namespace common
