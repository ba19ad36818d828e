#include "platform/log.h"

#include <atomic>
#include <cstdarg>
#include <cstdio>

namespace plat
{
namespace
{
void WriteToStandardError(const std::string& line)
{
    // One call for the line and its break (stdio writes it at once), so lines from two threads
    // never interleave. A finished line holds no NUL: control characters are '?' by then.
    std::fprintf(stderr, "%s\n", line.c_str());
}

// The sound device's thread may write a line while the main thread swaps the handler.
std::atomic<LogHandler> s_handler{&WriteToStandardError};
std::atomic<LogHandler> s_fileWriter{nullptr};

bool IsBreak(char c)
{
    return c == '\n' || c == '\r';
}

bool IsPunctuation(char c)
{
    return c == ';' || c == ',' || c == '.' || c == ':';
}

std::string OneLine(const std::string& text)
{
    std::string line;
    line.reserve(text.size());
    for (std::size_t i = 0; i < text.size(); ++i)
    {
        const unsigned char c = static_cast<unsigned char>(text[i]);
        if (!IsBreak(text[i]))
        {
            const bool control = (c < 0x20 && c != '\t') || c == 0x7f;
            line += control ? '?' : text[i];
            continue;
        }
        while (!line.empty() && (line.back() == ' ' || line.back() == '\t'))
            line.pop_back();
        while (i + 1 < text.size() && (IsBreak(text[i + 1]) || text[i + 1] == ' ' || text[i + 1] == '\t'))
            ++i;
        // A break before punctuation (a quoted message ending in one, then "; ...") joins up.
        if (!line.empty() && i + 1 < text.size() && !IsPunctuation(text[i + 1]))
            line += ' ';
    }
    return line;
}

bool IsContinuationByte(char c)
{
    return (static_cast<unsigned char>(c) & 0xc0) == 0x80;
}

// Past the limit the line keeps its first kLogLineBytes bytes, backed off to the start of a
// UTF-8 character, and says how much is gone.
void CutToLimit(std::string& line)
{
    if (line.size() <= kLogLineBytes)
        return;
    std::size_t keep = kLogLineBytes;
    for (int back = 0; back < 3 && keep > 0 && IsContinuationByte(line[keep]); ++back)
        --keep;
    const std::size_t cut = line.size() - keep;
    line.resize(keep);
    line += " [... " + std::to_string(cut) + " more bytes cut]";
}
} // namespace

LogHandler SetLogHandler(LogHandler handler)
{
    return s_handler.exchange(handler ? handler : &WriteToStandardError);
}

LogHandler SetLogFileWriter(LogHandler writer)
{
    return s_fileWriter.exchange(writer);
}

void WriteLogLine(const std::string& line)
{
    std::string finished = OneLine(line);
    CutToLimit(finished);
    s_handler.load()(finished);
    if (const LogHandler writer = s_fileWriter.load())
        writer(finished);
}

void WriteLog(const char* format, ...)
{
    char small[512];
    std::va_list arguments;
    va_start(arguments, format);
    std::va_list again;
    va_copy(again, arguments);
    const int length = std::vsnprintf(small, sizeof small, format, arguments);
    va_end(arguments);
    std::string line;
    if (length < 0)
        line = format; // a format the C library refuses is still said, as written
    else if (static_cast<std::size_t>(length) < sizeof small)
        line.assign(small, static_cast<std::size_t>(length));
    else
    {
        line.resize(static_cast<std::size_t>(length) + 1);
        std::vsnprintf(&line[0], line.size(), format, again);
        line.resize(static_cast<std::size_t>(length));
    }
    va_end(again);
    WriteLogLine(line);
}
} // namespace plat
