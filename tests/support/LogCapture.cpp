#include "LogCapture.h"

#include "platform/log.h"

#include <algorithm>
#include <mutex>

namespace testsupport
{
namespace
{
LogCapture* s_current = nullptr;
// Lines may come from the sound device's thread.
std::mutex s_mutex;
} // namespace

LogCapture::LogCapture()
{
    std::lock_guard<std::mutex> lock(s_mutex);
    m_outer = s_current;
    s_current = this;
    m_previousHandler = plat::SetLogHandler(&LogCapture::Record);
}

LogCapture::~LogCapture()
{
    std::lock_guard<std::mutex> lock(s_mutex);
    s_current = m_outer;
    plat::SetLogHandler(m_previousHandler);
}

void LogCapture::Record(const std::string& line)
{
    std::lock_guard<std::mutex> lock(s_mutex);
    if (s_current)
        s_current->m_lines.push_back(line);
}

std::string LogCapture::Text() const
{
    std::string text;
    for (const std::string& line : m_lines)
        text += line + '\n';
    return text;
}

std::string LogCapture::Find(const std::string& part) const
{
    const auto found =
        std::find_if(m_lines.begin(), m_lines.end(),
                     [&](const std::string& line) { return line.find(part) != std::string::npos; });
    return found != m_lines.end() ? *found : std::string();
}

bool LogCapture::Contains(const std::string& part) const
{
    return std::any_of(m_lines.begin(), m_lines.end(),
                       [&](const std::string& line) { return line.find(part) != std::string::npos; });
}

std::size_t LogCapture::CountOf(const std::string& part) const
{
    return static_cast<std::size_t>(std::count_if(m_lines.begin(), m_lines.end(),
                                                  [&](const std::string& line)
                                                  { return line.find(part) != std::string::npos; }));
}
} // namespace testsupport
