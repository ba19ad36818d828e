// Splits effect-file text into tokens for the effect parser, counting lines and skipping
// comments; GLSL blocks are read raw, by brace depth. Errors are thrown as FxSyntaxError and
// turned into "<file>:<line>: <what>" by the parser. Used only by the effect parser.
#pragma once

#include <cstddef>
#include <string>

namespace plat
{
struct FxSyntaxError
{
    int line;
    std::string what;
};

struct FxToken
{
    enum Kind
    {
        End,
        Identifier,
        Number, // as written: digits, '.', exponent, an optional 'f' suffix; no sign
        String, // the text between the quotes, escapes resolved
        Symbol, // one character of {}()[]<>;:=,+-
    };
    Kind kind = End;
    std::string text;
    int line = 1;

    bool Is(char symbol) const { return kind == Symbol && text.size() == 1 && text[0] == symbol; }
    bool IsWord(const char* word) const { return kind == Identifier && text == word; }
};

class FxLexer
{
public:
    // Refuses text holding a NUL byte: GLSL sources are handed on as C strings.
    explicit FxLexer(const std::string& text);

    FxToken Next();

    // Right after a '{' token: everything up to its matching '}', which is consumed. Braces
    // inside GLSL comments do not count. `what` names the block in the error when the file
    // ends first; `openLine` is where the block opened.
    std::string ReadBlock(int openLine, const std::string& what);

private:
    char At(std::size_t offset) const
    {
        return m_pos + offset < m_text.size() ? m_text[m_pos + offset] : '\0';
    }
    // Skips white space and comments, counting lines.
    void SkipSpace();
    FxToken ReadNumber();
    FxToken ReadString();

    const std::string& m_text;
    std::size_t m_pos = 0;
    int m_line = 1;
};
} // namespace plat
