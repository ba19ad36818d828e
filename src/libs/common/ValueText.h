// Reading typed values out of console text: the tokeniser that splits a line, and the tests
// that decide whether a token is a vector, an integer, a float or a bool. The number readers
// follow the C library's atoi and atof (leading blanks, a sign, the longest number prefix, so
// "10abc" reads 10) but check ranges instead of overflowing.
#pragma once

#include <string>
#include <vector>

namespace math
{
class Vector3;
}

namespace common
{
// Cuts text at every character of `delimiters`. Two delimiters in a row give an empty token
// between them and a leading one an empty first token; an empty piece after a final delimiter
// is dropped unless the text is all delimiters (n delimiters give n + 1 empty tokens). An
// empty text gives no tokens.
std::vector<std::string> Tokenize(const std::string& text, const std::string& delimiters);

// "[x,y,z]", "<x,y,z>" or "(x,y,z)" with three parts that each pass IsFloatText.
bool IsVectorText(const std::string& text);
// No "." and a non-zero int value, or exactly "0" or "00". A value outside int is not one.
bool IsIntegerText(const std::string& text);
// A non-zero value within float range, or exactly "0.0" or "0.0f".
bool IsFloatText(const std::string& text);
// "true", "t", "false", "f", "on" or "off" (exact case).
bool IsBoolText(const std::string& text);
// True for "true", "t" and "on"; false for anything else.
bool TextToBool(const std::string& text);

// atoi with a range check: *inRange (when given) is false, and the result clamped, when the
// number does not fit an int. Text without a number prefix gives 0.
int TextToInt(const std::string& text, bool* inRange = nullptr);
// atof of the decimal prefix (no hex, inf or nan forms); 0 without a number prefix. Values
// beyond float range come back as they are, in double.
double TextToDouble(const std::string& text);
// The vector of a text that passes IsVectorText; (0, 0, 0) for any other text.
math::Vector3 TextToVector3(const std::string& text);
} // namespace common
