#include "common/ValueText.h"

#include "common/math/Vector3.h"

#include <cctype>
#include <cfloat>
#include <climits>
#include <cmath>
#include <cstdlib>

namespace common
{
std::vector<std::string> Tokenize(const std::string& text, const std::string& delimiters)
{
    std::vector<std::string> tokens;
    if (text.empty())
        return tokens;
    std::string current;
    bool allDelimiters = true;
    for (char c : text)
    {
        if (delimiters.find(c) != std::string::npos)
        {
            tokens.push_back(current);
            current.clear();
        }
        else
        {
            current.push_back(c);
            allDelimiters = false;
        }
    }
    if (!current.empty() || allDelimiters)
        tokens.push_back(current);
    return tokens;
}

namespace
{
size_t SkipBlanks(const std::string& text)
{
    size_t i = 0;
    while (i < text.size() && std::isspace(static_cast<unsigned char>(text[i])))
        ++i;
    return i;
}

bool IsDigit(char c)
{
    return c >= '0' && c <= '9';
}

bool InFloatRange(double value)
{
    return std::isfinite(value) && std::fabs(value) <= FLT_MAX;
}

// The vector's three parts, when the text has matching brackets and exactly three parts.
bool SplitVector(const std::string& text, std::vector<std::string>& parts)
{
    if (text.size() < 2)
        return false;
    const char open = text.front();
    const char close = text.back();
    if (!((open == '[' && close == ']') || (open == '<' && close == '>') || (open == '(' && close == ')')))
        return false;
    parts = Tokenize(text.substr(1, text.size() - 2), ",");
    return parts.size() == 3;
}
} // namespace

int TextToInt(const std::string& text, bool* inRange)
{
    size_t i = SkipBlanks(text);
    bool negative = false;
    if (i < text.size() && (text[i] == '+' || text[i] == '-'))
        negative = text[i++] == '-';
    long long value = 0;
    bool fits = true;
    for (; i < text.size() && IsDigit(text[i]); ++i)
    {
        value = value * 10 + (text[i] - '0');
        if (value > static_cast<long long>(INT_MAX) + 1)
        {
            fits = false;
            value = static_cast<long long>(INT_MAX) + 1;
        }
    }
    if (negative)
        value = -value;
    if (value > INT_MAX)
    {
        fits = false;
        value = INT_MAX;
    }
    if (inRange)
        *inRange = fits;
    return static_cast<int>(value);
}

double TextToDouble(const std::string& text)
{
    // Copy out only the decimal prefix so the library's hex, "inf" and "nan" forms never apply.
    size_t i = SkipBlanks(text);
    const size_t start = i;
    if (i < text.size() && (text[i] == '+' || text[i] == '-'))
        ++i;
    size_t digits = 0;
    for (; i < text.size() && IsDigit(text[i]); ++i)
        ++digits;
    if (i < text.size() && text[i] == '.')
        for (++i; i < text.size() && IsDigit(text[i]); ++i)
            ++digits;
    if (digits == 0)
        return 0.0;
    if (i < text.size() && (text[i] == 'e' || text[i] == 'E'))
    {
        size_t j = i + 1;
        if (j < text.size() && (text[j] == '+' || text[j] == '-'))
            ++j;
        if (j < text.size() && IsDigit(text[j]))
        {
            while (j < text.size() && IsDigit(text[j]))
                ++j;
            i = j;
        }
    }
    const std::string number = text.substr(start, i - start);
    return std::strtod(number.c_str(), nullptr);
}

bool IsIntegerText(const std::string& text)
{
    if (text.find('.') != std::string::npos)
        return false;
    bool inRange = true;
    const int value = TextToInt(text, &inRange);
    return inRange && (value != 0 || text == "0" || text == "00");
}

bool IsFloatText(const std::string& text)
{
    const double value = TextToDouble(text);
    return InFloatRange(value) && (value != 0.0 || text == "0.0" || text == "0.0f");
}

bool IsBoolText(const std::string& text)
{
    return text == "true" || text == "t" || text == "false" || text == "f" || text == "on" || text == "off";
}

bool TextToBool(const std::string& text)
{
    return text == "true" || text == "t" || text == "on";
}

bool IsVectorText(const std::string& text)
{
    std::vector<std::string> parts;
    if (!SplitVector(text, parts))
        return false;
    for (const std::string& part : parts)
        if (!IsFloatText(part))
            return false;
    return true;
}

math::Vector3 TextToVector3(const std::string& text)
{
    std::vector<std::string> parts;
    if (!IsVectorText(text) || !SplitVector(text, parts))
        return math::Vector3();
    return math::Vector3(static_cast<float>(TextToDouble(parts[0])),
                         static_cast<float>(TextToDouble(parts[1])),
                         static_cast<float>(TextToDouble(parts[2])));
}
} // namespace common
