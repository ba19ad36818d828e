// The rule for the names players give their files, on any text: it agrees with a regular
// expression of the rule, and every name it accepts becomes a safe file name that lands in its
// own folder under exactly that name.
// Bounded run: 60000 inputs
#include "FuzzSupport.h"

#include "game/files/IsSafeFileName.h"
#include "game/files/ValidateFileBaseName.h"

#include <cstdint>
#include <filesystem>
#include <regex>
#include <string>

namespace fs = std::filesystem;

extern "C" int LLVMFuzzerInitialize(int*, char***)
{
    fuzzsupport::Init();
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    fuzzsupport::InWorkFolder here;
    const std::string text(reinterpret_cast<const char*>(data), size);
    const QUORB::FileBaseNameFault fault = QUORB::ValidateFileBaseName(text);

    static const std::regex kRule("[A-Za-z0-9_-]([A-Za-z0-9 _-]{0,14}[A-Za-z0-9_-])?");
    const bool matches = std::regex_match(text, kRule);
    FUZZ_CHECK((fault == QUORB::FileBaseNameFault::None) == matches, "the rule differs from its expression");
    FUZZ_CHECK((fault == QUORB::FileBaseNameFault::Empty) == text.empty(),
               "an empty name is reported otherwise");
    FUZZ_CHECK(fault != QUORB::FileBaseNameFault::TooLong || text.size() > QUORB::kMaxFileBaseNameLength,
               "a short name is reported as too long");
    if (fault != QUORB::FileBaseNameFault::None)
        return 0;

    for (const char c : text)
        FUZZ_CHECK(c != '/' && c != '\\' && c != ':' && c != '.' && static_cast<unsigned char>(c) >= 0x20,
                   "an accepted name holds a path character");
    const std::string file = text + ".xml";
    FUZZ_CHECK(QUORB::IsSafeFileName(file), "an accepted name is no safe file name: " + file);

    // Written below a folder, the file is that folder's one entry, under exactly that name.
    std::error_code ec;
    fs::remove_all("p", ec);
    fs::create_directory("p", ec);
    fuzzsupport::WriteFile("p/" + file, text);
    std::size_t entries = 0;
    for (const fs::directory_entry& entry : fs::directory_iterator("p", ec))
    {
        ++entries;
        FUZZ_CHECK(entry.path().filename().string() == file, "the file landed under another name: " + file);
    }
    FUZZ_CHECK(entries == 1, "the file did not land in its folder: " + file);
    return 0;
}
