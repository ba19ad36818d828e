#include "common/ConvertToWide.h"

#include "platform/win32.h"

#include <string>

std::int32_t ConvertToWide(wchar_t* buffer, const char* text, int length)
{
    if (!buffer || !text || length < 1)
        return kConvertInvalidArg;
    const int written = plat::MultiByteToWideChar(text, -1, buffer, length);
    std::int32_t result = kConvertOk;
    if (written == 0)
    {
        // Too long for the buffer: show as much as fits rather than whatever the buffer held.
        const std::wstring wide = plat::ToWide(text);
        const size_t fits = wide.size() < static_cast<size_t>(length - 1) ? wide.size() : length - 1;
        for (size_t i = 0; i < fits; ++i)
            buffer[i] = wide[i];
        buffer[fits] = L'\0';
        result = kConvertFailed;
    }
    buffer[length - 1] = L'\0';
    return result;
}
