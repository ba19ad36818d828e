// The rule for names players give their files: what it accepts, why it refuses, and that an
// accepted name always makes a safe file name.
#include "game/files/ValidateFileBaseName.h"

#include "game/files/IsSafeFileName.h"

#include <gtest/gtest.h>

#include <string>

using QUORB::FileBaseNameFault;
using QUORB::ValidateFileBaseName;

TEST(ValidateFileBaseNameTest, AcceptsPlainShortNamesAndSaysWhyOthersAreRefused)
{
    const struct
    {
        std::string name;
        FileBaseNameFault fault;
    } cases[] = {
        {"MyProfile", FileBaseNameFault::None},
        {"Player2", FileBaseNameFault::None},
        {"a", FileBaseNameFault::None},
        {"Ann Lee-Ray_2", FileBaseNameFault::None},
        {"x y", FileBaseNameFault::None},
        {"0123456789abcdef", FileBaseNameFault::None}, // 16 characters
        {"", FileBaseNameFault::Empty},
        {"0123456789abcdefg", FileBaseNameFault::TooLong},
        {" x", FileBaseNameFault::BadCharacter},
        {"x ", FileBaseNameFault::BadCharacter},
        {" ", FileBaseNameFault::BadCharacter},
        {"../x", FileBaseNameFault::BadCharacter},
        {"..", FileBaseNameFault::BadCharacter},
        {"a/b", FileBaseNameFault::BadCharacter},
        {"a\\b", FileBaseNameFault::BadCharacter},
        {"a:b", FileBaseNameFault::BadCharacter},
        {"a.b", FileBaseNameFault::BadCharacter},
        {"a*", FileBaseNameFault::BadCharacter},
        {"tab\there", FileBaseNameFault::BadCharacter},
        {std::string("nul\0x", 5), FileBaseNameFault::BadCharacter},
        {"caf\xC3\xA9", FileBaseNameFault::BadCharacter}, // not ASCII
        {"`x", FileBaseNameFault::BadCharacter},
    };
    for (const auto& c : cases)
    {
        SCOPED_TRACE("\"" + c.name + "\"");
        EXPECT_EQ(ValidateFileBaseName(c.name), c.fault);
        if (c.fault == FileBaseNameFault::None)
        {
            EXPECT_TRUE(QUORB::IsSafeFileName(c.name + ".xml"));
        }
    }
}
