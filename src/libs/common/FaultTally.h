// Keeps a flood of like lines down to a few. A file with ten thousand copies of one mistake is
// one mistake to the reader of the log: each kind of fault is written at most kShownPerKind
// times, the others are counted, and when the tally ends one line per kind says how many more
// there were ("LoadSettingsFile: S.xml: and 9997 more like line 12 (a second game skin ""; the
// first is kept); they are not shown").
//
// A loader opens a tally for the file it reads; readers far below it that report through
// FaultTally::Current() then share it, and without one every line is written.
#pragma once

#include <cstddef>
#include <map>
#include <string>

namespace common
{
class FaultTally
{
public:
    static constexpr std::size_t kShownPerKind = 3;

    // `where` (the loader) and `source` (the file) open the closing lines. The new tally is
    // Current() until it ends.
    FaultTally(std::string where, std::string source);
    ~FaultTally();
    FaultTally(const FaultTally&) = delete;
    FaultTally& operator=(const FaultTally&) = delete;

    // Writes `line` (without its line break) to the log while fewer than kShownPerKind lines of
    // `kind` were written, else counts it. `kind` is a short text the closing line
    // quotes; `where` tells it where the first of its kind was ("line 12"), and may be empty.
    void Report(const std::string& kind, const std::string& line, const std::string& where = std::string());
    // The closing lines for the kinds that went past their limit; the counts start again.
    void Flush();

    // The innermost tally alive, or null.
    static FaultTally* Current();

    // A kind for a free-form line: the text with every quoted part and every number left out, so
    // lines that differ only in the names and values they quote are one kind.
    static std::string KindOf(const std::string& text);

private:
    struct Kind
    {
        std::size_t shown = 0;
        std::size_t more = 0;
        std::string where;
        std::string excerpt;
    };
    std::string m_where;
    std::string m_source;
    std::map<std::string, Kind> m_kinds;
    FaultTally* m_outer;
};
} // namespace common
