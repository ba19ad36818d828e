// The text helpers every line and name passes through: Tokenize (the pieces joined again give the
// text back), HashName (case never matters), ConvertToWide (the buffer always ends in NUL and
// nothing is written past it).
// Bounded run: 300000 inputs
#include "FuzzSupport.h"

#include "common/ConvertToWide.h"
#include "common/HashName.h"
#include "common/ValueText.h"

#include <fuzzer/FuzzedDataProvider.h>

#include <cctype>
#include <string>
#include <vector>

extern "C" int LLVMFuzzerInitialize(int*, char***)
{
    fuzzsupport::Init();
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    fuzzsupport::InWorkFolder here;
    FuzzedDataProvider input(data, size);
    const std::string delimiters = input.ConsumeRandomLengthString(4);
    const int length = input.ConsumeIntegralInRange(-2, 64);
    const std::string text = input.ConsumeRemainingBytesAsString();

    const std::vector<std::string> tokens = common::Tokenize(text, delimiters);
    if (text.empty())
        FUZZ_CHECK(tokens.empty(), "an empty text gives tokens");
    else if (!delimiters.empty())
    {
        // Rejoined with the delimiters found in the text, the tokens give the text, less at most
        // one final delimiter whose empty piece was dropped.
        std::string joined;
        std::size_t at = 0;
        for (std::size_t i = 0; i < tokens.size(); ++i)
        {
            FUZZ_CHECK(tokens[i].find_first_of(delimiters) == std::string::npos, "a token holds a delimiter");
            joined += tokens[i];
            at += tokens[i].size();
            if (at < text.size() && i + 1 < tokens.size())
            {
                joined += text[at];
                ++at;
            }
        }
        FUZZ_CHECK(text.compare(0, joined.size(), joined) == 0, "the tokens are not the text");
        FUZZ_CHECK(text.size() - joined.size() <= 1, "the tokens lose text");
    }

    const std::string lowered = [&]
    {
        std::string out = text;
        for (char& c : out)
            if (c >= 'A' && c <= 'Z')
                c = static_cast<char>(c - 'A' + 'a');
        return out;
    }();
    const std::string cut = text.substr(0, text.find('\0'));
    FUZZ_CHECK(HashName(cut.c_str()) == HashName(lowered.substr(0, lowered.find('\0')).c_str()),
               "the hash depends on case");
    FUZZ_CHECK(NameHash(cut) == NameHash(lowered.substr(0, lowered.find('\0'))),
               "the name hash depends on case");

    // The buffer lives in a larger block whose guard after the given length must stay untouched.
    std::vector<wchar_t> buffer(static_cast<std::size_t>(length > 0 ? length : 0) + 4, L'#');
    const std::int32_t result = ConvertToWide(buffer.data(), cut.c_str(), length);
    if (length < 1)
        FUZZ_CHECK(result == kConvertInvalidArg, "a length below 1 is accepted");
    else
    {
        FUZZ_CHECK(buffer[static_cast<std::size_t>(length) - 1] == L'\0', "the buffer does not end in NUL");
        for (std::size_t i = static_cast<std::size_t>(length); i < buffer.size(); ++i)
            FUZZ_CHECK(buffer[i] == L'#', "ConvertToWide wrote past the buffer");
    }
    return 0;
}
