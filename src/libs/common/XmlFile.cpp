#include "common/XmlFile.h"

#include "platform/files.h"

#include <tinyxml.h>

#include <cstddef>
#include <filesystem>

namespace
{
// Bytes that end the parser's buffer: more than the longest character TinyXML may step over.
constexpr std::size_t kPadding = 4;

std::string At(const std::string& source, int line)
{
    return source + ":" + std::to_string(line) + ": ";
}

// The line of the first byte that is not part of well-formed UTF-8 (overlong forms, surrogates
// and values past U+10FFFF included), or of a NUL byte, which would end the text early; 0 when
// the whole text is good.
int FirstBadUtf8Line(const std::string& text)
{
    int line = 1;
    const std::size_t size = text.size();
    for (std::size_t i = 0; i < size;)
    {
        const unsigned char c = static_cast<unsigned char>(text[i]);
        if (c == '\n')
            ++line;
        if (c == 0)
            return line;
        if (c < 0x80)
        {
            ++i;
            continue;
        }
        std::size_t length = 0;
        unsigned char low = 0x80, high = 0xBF; // allowed range of the second byte
        if (c >= 0xC2 && c <= 0xDF)
            length = 2;
        else if (c >= 0xE0 && c <= 0xEF)
        {
            length = 3;
            if (c == 0xE0)
                low = 0xA0;
            else if (c == 0xED)
                high = 0x9F;
        }
        else if (c >= 0xF0 && c <= 0xF4)
        {
            length = 4;
            if (c == 0xF0)
                low = 0x90;
            else if (c == 0xF4)
                high = 0x8F;
        }
        else
            return line;
        if (i + length > size)
            return line;
        for (std::size_t k = 1; k < length; ++k)
        {
            const unsigned char next = static_cast<unsigned char>(text[i + k]);
            const unsigned char from = k == 1 ? low : 0x80;
            const unsigned char to = k == 1 ? high : 0xBF;
            if (next < from || next > to)
                return line;
        }
        i += length;
    }
    return 0;
}

bool StartsWith(const std::string& text, std::size_t at, const char* prefix, bool ignoreCase = false)
{
    for (std::size_t k = 0; prefix[k] != '\0'; ++k)
    {
        if (at + k >= text.size())
            return false;
        char c = text[at + k];
        if (ignoreCase && c >= 'A' && c <= 'Z')
            c = static_cast<char>(c - 'A' + 'a');
        if (c != prefix[k])
            return false;
    }
    return true;
}

// Walks the text the way TinyXML will and finds the first line where elements open more than
// kMaxXmlDepth deep, or where the file's items (elements, comments, declarations and the other
// "<" items TinyXML makes a node of) pass `maxItems`: `tooMany` tells which. 0 when neither
// happens, so the tree TinyXML builds is bounded before it is built. Where the walk cannot be sure what
// TinyXML sees (inside quoted values) it only counts openings, so it may overestimate the depth of a damaged
// file but never underestimates it: TinyXML stops at its first error, and until then the two agree on
// comments, CDATA, declarations, other "<!" and "<?" items, start tags and end tags.
int FirstTooLargeLine(const std::string& text, std::size_t maxItems, bool& tooMany)
{
    int line = 1;
    int depth = 0;
    std::size_t items = 0;
    tooMany = false;
    const std::size_t size = text.size();
    std::size_t i = 0;
    auto advance = [&](std::size_t to)
    {
        for (; i < to && i < size; ++i)
            if (text[i] == '\n')
                ++line;
    };
    auto skipPast = [&](const char* end)
    {
        const std::size_t found = text.find(end, i);
        advance(found == std::string::npos ? size : found + std::char_traits<char>::length(end));
    };
    // A quoted stretch of a tag: every '<' that TinyXML might take as an opening counts.
    auto skipQuoted = [&](char quote) -> bool
    {
        advance(i + 1);
        while (i < size && text[i] != quote)
        {
            if (text[i] == '<' && i + 1 < size && text[i + 1] != '/' && ++depth > kMaxXmlDepth)
                return false;
            advance(i + 1);
        }
        advance(i + 1);
        return true;
    };

    while (i < size)
    {
        if (text[i] != '<')
        {
            advance(i + 1);
            continue;
        }
        if (!StartsWith(text, i, "</") && ++items > maxItems)
        {
            tooMany = true;
            return line;
        }
        if (StartsWith(text, i, "<!--"))
            skipPast("-->");
        else if (StartsWith(text, i, "<![CDATA["))
            skipPast("]]>");
        else if (StartsWith(text, i, "<?xml", true))
        {
            // A declaration: quoted values may hold '>'.
            advance(i + 5);
            while (i < size && text[i] != '>')
            {
                if (text[i] == '"' || text[i] == '\'')
                {
                    if (!skipQuoted(text[i]))
                        return line;
                }
                else
                    advance(i + 1);
            }
            advance(i + 1);
        }
        else if (StartsWith(text, i, "</"))
        {
            if (depth > 0)
                --depth;
            skipPast(">");
        }
        else if (i + 1 < size && (text[i + 1] == '!' || text[i + 1] == '?'))
            skipPast(">"); // TinyXML reads these up to the first '>'
        else
        {
            // A start tag (or something TinyXML takes for unknown, counted all the same).
            const int tagLine = line;
            if (++depth > kMaxXmlDepth)
                return tagLine;
            advance(i + 1);
            char previous = '<';
            while (i < size && text[i] != '>')
            {
                if (text[i] == '"' || text[i] == '\'')
                {
                    if (!skipQuoted(text[i]))
                        return line;
                    previous = '"';
                    continue;
                }
                previous = text[i];
                advance(i + 1);
            }
            if (i < size && previous == '/')
                --depth; // <a/> holds nothing
            advance(i + 1);
        }
    }
    return 0;
}
} // namespace

bool XmlParseText(const std::string& text, const std::string& sourceName, TiXmlDocument& document,
                  std::string& error, const XmlLimits& limits)
{
    document.Clear();
    document.ClearError();
    if (text.size() > limits.maxBytes)
    {
        error = sourceName + ": " + std::to_string(text.size()) + " bytes, more than the " +
                std::to_string(limits.maxBytes) + " bytes " + limits.kind + " may hold";
        return false;
    }
    if (const int line = FirstBadUtf8Line(text))
    {
        error = At(sourceName, line) + "not valid UTF-8";
        return false;
    }
    bool tooMany = false;
    if (const int line = FirstTooLargeLine(text, limits.maxItems, tooMany))
    {
        error =
            At(sourceName, line) + (tooMany ? "more than the " + std::to_string(limits.maxItems) +
                                                  " elements " + limits.kind + " may hold"
                                            : "elements nested deeper than " + std::to_string(kMaxXmlDepth));
        return false;
    }
    std::string padded = text;
    padded.append(kPadding, '\0');
    document.Parse(padded.c_str(), nullptr, TIXML_ENCODING_UTF8);
    if (document.Error())
    {
        const int row = document.ErrorRow();
        error = row > 0 ? At(sourceName, row) + document.ErrorDesc()
                        : sourceName + ": " + document.ErrorDesc() + " (position unknown)";
        document.Clear();
        return false;
    }
    return true;
}

bool XmlLoadFile(const std::string& fileName, TiXmlDocument& document, std::string& error,
                 const XmlLimits& limits)
{
    document.Clear();
    // A file past the limit is refused before a byte of it is read.
    std::error_code ec;
    const std::uintmax_t size = std::filesystem::file_size(plat::ResolvePath(fileName), ec);
    if (!ec && size > limits.maxBytes)
    {
        error = fileName + ": " + std::to_string(size) + " bytes, more than the " +
                std::to_string(limits.maxBytes) + " bytes " + limits.kind + " may hold";
        return false;
    }
    std::string text;
    if (!plat::ReadDataFile(fileName, plat::DataKind::Text, text, error))
        return false;
    return XmlParseText(text, fileName, document, error, limits);
}
