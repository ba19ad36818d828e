// Narrow text to a wide-character buffer for text drawing (the console window and the GUI).
#pragma once

#include <cstdint>

// Result codes of ConvertToWide, as the drawing code checks them.
constexpr std::int32_t kConvertOk = 0;
constexpr std::int32_t kConvertInvalidArg = static_cast<std::int32_t>(0x80070057u);
constexpr std::int32_t kConvertFailed = static_cast<std::int32_t>(0x80004005u);

// Converts NUL-terminated `text` into `buffer` of `length` wide characters. The buffer's last
// element is always NUL; text that does not fit comes out cut to length - 1 characters and the
// result is kConvertFailed. Null pointers or a length below 1 give kConvertInvalidArg.
std::int32_t ConvertToWide(wchar_t* buffer, const char* text, int length);
