// While a LogCapture is alive, the lines written to the log (platform/log.h) are recorded
// instead of printed, so a test reads what the program said without touching standard error.
// Captures nest: the innermost one alive records, and each gives the log back to the one
// before it when it ends.
#pragma once

#include <cstddef>
#include <string>
#include <vector>

namespace testsupport
{
class LogCapture
{
public:
    LogCapture();
    ~LogCapture();
    LogCapture(const LogCapture&) = delete;
    LogCapture& operator=(const LogCapture&) = delete;

    // The lines in the order they were written, without line breaks.
    const std::vector<std::string>& Lines() const { return m_lines; }
    // Every line followed by a line break, for a message when an expectation fails.
    std::string Text() const;
    void Clear() { m_lines.clear(); }

    // The first line containing `part`, or "" when there is none.
    std::string Find(const std::string& part) const;
    bool Contains(const std::string& part) const;
    // How many lines contain `part`.
    std::size_t CountOf(const std::string& part) const;

private:
    static void Record(const std::string& line);

    std::vector<std::string> m_lines;
    LogCapture* m_outer;
    void (*m_previousHandler)(const std::string&);
};
} // namespace testsupport
