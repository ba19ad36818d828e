#include "common/ConvertToWide.h"

#include <gtest/gtest.h>

#include <string>

TEST(ConvertToWideTest, ConvertsWholeText)
{
    wchar_t buffer[16];
    EXPECT_EQ(kConvertOk, ConvertToWide(buffer, ">help", 16));
    EXPECT_EQ(std::wstring(L">help"), buffer);
    EXPECT_EQ(kConvertOk, ConvertToWide(buffer, "", 1));
    EXPECT_EQ(std::wstring(), buffer);
}

TEST(ConvertToWideTest, RefusesBadArguments)
{
    wchar_t buffer[4] = {L'a', L'b', L'c', L'\0'};
    EXPECT_EQ(static_cast<std::int32_t>(0x80070057u), ConvertToWide(nullptr, "x", 4));
    EXPECT_EQ(kConvertInvalidArg, ConvertToWide(buffer, nullptr, 4));
    EXPECT_EQ(kConvertInvalidArg, ConvertToWide(buffer, "x", 0));
    EXPECT_EQ(kConvertInvalidArg, ConvertToWide(buffer, "x", -3));
    EXPECT_EQ(std::wstring(L"abc"), buffer); // untouched
}

TEST(ConvertToWideTest, TooLongTextIsCutAndFails)
{
    wchar_t buffer[5];
    EXPECT_EQ(static_cast<std::int32_t>(0x80004005u), ConvertToWide(buffer, "abcdefgh", 5));
    EXPECT_EQ(std::wstring(L"abcd"), buffer);
    EXPECT_EQ(kConvertFailed, ConvertToWide(buffer, "abcde", 5)); // no room for the NUL
    EXPECT_EQ(std::wstring(L"abcd"), buffer);
    EXPECT_EQ(kConvertOk, ConvertToWide(buffer, "abcd", 5));
}
