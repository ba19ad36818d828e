#include "platform/text_layout.h"

#include "platform/d3dx9.h"

#include <algorithm>

namespace plat::detail
{
namespace
{
bool IsSpace(wchar_t c)
{
    return c == L' ' || c == L'\t';
}

class LineBuilder
{
public:
    LineBuilder(DWORD format, const TextMetrics& metrics, TextLayout& layout)
        : m_expandTabs((format & DT_EXPANDTABS) != 0), m_metrics(metrics), m_layout(layout),
          m_tabStop(std::max(1, 8 * metrics.MeanWidth()))
    {
    }

    // Where the pen would stand after the characters, from x.
    int Measure(const wchar_t* begin, const wchar_t* end, int x) const
    {
        for (const wchar_t* c = begin; c != end; ++c)
            x = Step(*c, x);
        return x;
    }

    void Place(const wchar_t* begin, const wchar_t* end)
    {
        for (const wchar_t* c = begin; c != end; ++c)
        {
            if (!(*c == L'\t' && m_expandTabs))
                m_layout.glyphs.push_back({static_cast<std::uint32_t>(*c), m_x, m_line});
            m_x = Step(*c, m_x);
        }
    }

    void EndLine()
    {
        m_layout.lineWidths.push_back(m_x);
        m_layout.widest = std::max(m_layout.widest, m_x);
        ++m_line;
        m_x = 0;
    }

    int X() const { return m_x; }

private:
    int Step(wchar_t c, int x) const
    {
        if (c == L'\t' && m_expandTabs)
            return (x / m_tabStop + 1) * m_tabStop;
        return x + m_metrics.Advance(static_cast<std::uint32_t>(c));
    }

    bool m_expandTabs;
    const TextMetrics& m_metrics;
    TextLayout& m_layout;
    int m_tabStop;
    int m_x = 0;
    int m_line = 0;
};

void LayOutParagraph(const wchar_t* begin, const wchar_t* end, int boxWidth, bool wrap, LineBuilder& line)
{
    if (!wrap)
    {
        line.Place(begin, end);
        line.EndLine();
        return;
    }
    // Alternating runs of white space and words; a wrap falls between them.
    const wchar_t* p = begin;
    bool lineEmpty = true;
    while (p != end)
    {
        const wchar_t* spaceEnd = p;
        while (spaceEnd != end && IsSpace(*spaceEnd))
            ++spaceEnd;
        const wchar_t* wordEnd = spaceEnd;
        while (wordEnd != end && !IsSpace(*wordEnd))
            ++wordEnd;
        if (wordEnd == spaceEnd)
        {
            line.Place(p, spaceEnd); // white space at the paragraph's end stays on its line
            break;
        }
        const int after = line.Measure(spaceEnd, wordEnd, line.Measure(p, spaceEnd, line.X()));
        if (!lineEmpty && after > boxWidth)
        {
            line.EndLine();
            line.Place(spaceEnd, wordEnd);
        }
        else
            line.Place(p, wordEnd);
        lineEmpty = false;
        p = wordEnd;
    }
    line.EndLine();
}
} // namespace

void LayOutText(const wchar_t* text, std::size_t length, int boxWidth, DWORD format,
                const TextMetrics& metrics, TextLayout& layout)
{
    layout = TextLayout();
    if (!text || length == 0)
        return;
    const bool wrap = (format & DT_WORDBREAK) && boxWidth > 0;
    LineBuilder line(format, metrics, layout);
    std::vector<wchar_t> paragraph;
    const wchar_t* end = text + length;
    const wchar_t* start = text;
    for (const wchar_t* p = text;; ++p)
    {
        if (p != end && *p != L'\n')
            continue;
        paragraph.clear();
        for (const wchar_t* c = start; c != p; ++c)
            if (*c != L'\r')
                paragraph.push_back(*c);
        if (p == end && start == end && start != text)
            break; // the text ended with "\n": no further line
        LayOutParagraph(paragraph.data(), paragraph.data() + paragraph.size(), boxWidth, wrap, line);
        if (p == end)
            break;
        start = p + 1;
    }
}
} // namespace plat::detail
