#include "platform/fx_lexer.h"

#include <algorithm>
#include <cstdio>
#include <cstring>

namespace plat
{
namespace
{
bool IsIdentStart(char c)
{
    return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || c == '_';
}

bool IsDigit(char c)
{
    return c >= '0' && c <= '9';
}

bool IsIdentChar(char c)
{
    return IsIdentStart(c) || IsDigit(c);
}

constexpr std::size_t kMaxNameLength = 256;

std::string DescribeByte(char c)
{
    const unsigned char byte = static_cast<unsigned char>(c);
    if (byte > 32 && byte < 127)
        return std::string("\"") + c + "\"";
    char buffer[8];
    std::snprintf(buffer, sizeof buffer, "0x%02X", byte);
    return std::string("the byte ") + buffer;
}
} // namespace

FxLexer::FxLexer(const std::string& text) : m_text(text)
{
    const std::size_t nul = text.find('\0');
    if (nul == std::string::npos)
        return;
    int line = 1;
    for (std::size_t i = 0; i < nul; ++i)
        if (text[i] == '\n')
            ++line;
    throw FxSyntaxError{line, "the file holds a NUL byte"};
}

void FxLexer::SkipSpace()
{
    while (m_pos < m_text.size())
    {
        const char c = m_text[m_pos];
        if (c == '\n')
        {
            ++m_line;
            ++m_pos;
        }
        else if (c == ' ' || c == '\t' || c == '\r' || c == '\f' || c == '\v')
        {
            ++m_pos;
        }
        else if (c == '/' && At(1) == '/')
        {
            while (m_pos < m_text.size() && m_text[m_pos] != '\n')
                ++m_pos;
        }
        else if (c == '/' && At(1) == '*')
        {
            const int openLine = m_line;
            m_pos += 2;
            while (m_pos < m_text.size() && !(m_text[m_pos] == '*' && At(1) == '/'))
            {
                if (m_text[m_pos] == '\n')
                    ++m_line;
                ++m_pos;
            }
            if (m_pos >= m_text.size())
                throw FxSyntaxError{openLine, "the comment opened here is not closed"};
            m_pos += 2;
        }
        else
        {
            return;
        }
    }
}

FxToken FxLexer::Next()
{
    SkipSpace();
    FxToken token;
    token.line = m_line;
    if (m_pos >= m_text.size())
        return token;

    const char c = m_text[m_pos];
    if (IsIdentStart(c))
    {
        const std::size_t start = m_pos;
        while (m_pos < m_text.size() && IsIdentChar(m_text[m_pos]))
            ++m_pos;
        if (m_pos - start > kMaxNameLength)
            throw FxSyntaxError{m_line,
                                "a name longer than " + std::to_string(kMaxNameLength) + " characters"};
        token.kind = FxToken::Identifier;
        token.text = m_text.substr(start, m_pos - start);
        return token;
    }
    if (IsDigit(c) || (c == '.' && IsDigit(At(1))))
        return ReadNumber();
    if (c == '"')
        return ReadString();
    if (std::strchr("{}()[]<>;:=,+-", c) != nullptr)
    {
        ++m_pos;
        token.kind = FxToken::Symbol;
        token.text = std::string(1, c);
        return token;
    }
    throw FxSyntaxError{m_line, "unexpected " + DescribeByte(c)};
}

FxToken FxLexer::ReadNumber()
{
    FxToken token;
    token.kind = FxToken::Number;
    token.line = m_line;
    const std::size_t start = m_pos;
    while (IsDigit(At(0)))
        ++m_pos;
    if (At(0) == '.')
    {
        ++m_pos;
        while (IsDigit(At(0)))
            ++m_pos;
    }
    if ((At(0) == 'e' || At(0) == 'E') &&
        (IsDigit(At(1)) || ((At(1) == '+' || At(1) == '-') && IsDigit(At(2)))))
    {
        m_pos += 2;
        while (IsDigit(At(0)))
            ++m_pos;
    }
    if (At(0) == 'f' || At(0) == 'F')
        ++m_pos;
    if (IsIdentChar(At(0)) || At(0) == '.')
    {
        while (IsIdentChar(At(0)) || At(0) == '.')
            ++m_pos;
        const std::size_t length = m_pos - start;
        throw FxSyntaxError{m_line, "malformed number \"" +
                                        m_text.substr(start, std::min<std::size_t>(length, 64)) +
                                        (length > 64 ? "...\"" : "\"")};
    }
    token.text = m_text.substr(start, m_pos - start);
    return token;
}

FxToken FxLexer::ReadString()
{
    FxToken token;
    token.kind = FxToken::String;
    token.line = m_line;
    ++m_pos; // opening quote
    while (true)
    {
        if (m_pos >= m_text.size() || m_text[m_pos] == '\n')
            throw FxSyntaxError{token.line, "the string is not closed on its line"};
        const char c = m_text[m_pos++];
        if (c == '"')
            return token;
        if (c != '\\')
        {
            token.text += c;
            continue;
        }
        const char escaped = At(0);
        ++m_pos;
        switch (escaped)
        {
        case '"':
        case '\\':
            token.text += escaped;
            break;
        case 'n':
            token.text += '\n';
            break;
        case 't':
            token.text += '\t';
            break;
        default:
            throw FxSyntaxError{m_line, "unknown escape in a string (use \\\", \\\\, \\n or \\t)"};
        }
    }
}

std::string FxLexer::ReadBlock(int openLine, const std::string& what)
{
    const std::size_t start = m_pos;
    int depth = 1;
    while (m_pos < m_text.size())
    {
        const char c = m_text[m_pos];
        if (c == '\n')
        {
            ++m_line;
            ++m_pos;
        }
        else if (c == '/' && (At(1) == '/' || At(1) == '*'))
        {
            SkipSpace(); // the comment, and any blanks after it
        }
        else if (c == '{')
        {
            ++depth;
            ++m_pos;
        }
        else if (c == '}')
        {
            if (--depth == 0)
            {
                const std::string code = m_text.substr(start, m_pos - start);
                ++m_pos;
                return code;
            }
            ++m_pos;
        }
        else
        {
            ++m_pos;
        }
    }
    throw FxSyntaxError{openLine, what + " is not closed"};
}
} // namespace plat
