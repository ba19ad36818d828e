#include "common/FaultTally.h"

#include "platform/log.h"

#include <cctype>

namespace common
{
namespace
{
FaultTally* s_current = nullptr;

// The opening of a kind for the closing line: enough to recognise it, never long.
std::string Excerpt(const std::string& line)
{
    constexpr std::size_t kShown = 48;
    return line.size() <= kShown ? line : line.substr(0, kShown) + "...";
}
} // namespace

FaultTally::FaultTally(std::string where, std::string source)
    : m_where(std::move(where)), m_source(std::move(source)), m_outer(s_current)
{
    s_current = this;
}

FaultTally::~FaultTally()
{
    Flush();
    s_current = m_outer;
}

FaultTally* FaultTally::Current()
{
    return s_current;
}

void FaultTally::Report(const std::string& kind, const std::string& line, const std::string& where)
{
    Kind& entry = m_kinds[kind];
    if (entry.shown < kShownPerKind)
    {
        if (entry.shown++ == 0)
        {
            entry.where = where;
            entry.excerpt = Excerpt(kind);
        }
        plat::WriteLogLine(line);
        return;
    }
    ++entry.more;
}

void FaultTally::Flush()
{
    for (const auto& entry : m_kinds)
    {
        const Kind& kind = entry.second;
        if (kind.more == 0)
            continue;
        DORVO_LOG("%s: %s: and %zu more like %s(%s); they are not shown", m_where.c_str(), m_source.c_str(),
                  kind.more, kind.where.empty() ? "" : (kind.where + " ").c_str(), kind.excerpt.c_str());
    }
    m_kinds.clear();
}

std::string FaultTally::KindOf(const std::string& text)
{
    std::string kind;
    bool quoted = false;
    for (const char c : text)
    {
        if (c == '"')
        {
            quoted = !quoted;
            kind += '"';
        }
        else if (!quoted && !std::isdigit(static_cast<unsigned char>(c)))
            kind += c;
    }
    return kind;
}
} // namespace common
