// The path helper with odd names: files and folders whose names differ only in case, hold
// blanks, bytes that are not UTF-8, '*' and '?'; then lookups by any spelling, listings by any
// pattern, and WildcardMatch checked against fnmatch with case folding; then saves through the one
// writer under names that climb out, which must never land outside the work folder.
// Bounded run: 2800 inputs
#include "FuzzSupport.h"

#include "platform/files.h"

#include <fuzzer/FuzzedDataProvider.h>

#include <algorithm>
#include <cctype>
#include <cstdio>
#include <filesystem>
#include <fnmatch.h>
#include <set>
#include <string>
#include <vector>

namespace fs = std::filesystem;

namespace
{
// A name the file system takes and the helper can spell: no separator ('/' or '\\') or NUL,
// not "." or "..", not empty.
std::string MakeName(FuzzedDataProvider& input)
{
    std::string name = input.ConsumeRandomLengthString(24);
    name.erase(
        std::remove_if(name.begin(), name.end(), [](char c) { return c == '/' || c == '\\' || c == '\0'; }),
        name.end());
    if (name.empty() || name == "." || name == "..")
        name = "x" + name;
    return name;
}

// The pattern in fnmatch's language: '*' and '?' stay wildcards, everything else is literal.
std::string ForFnmatch(const std::string& pattern)
{
    std::string out;
    for (char c : pattern)
    {
        if (c == '[' || c == ']' || c == '\\')
            out += '\\';
        out += c;
    }
    return out;
}

std::string Upper(std::string text)
{
    for (char& c : text)
        c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
    return text;
}
} // namespace

extern "C" int LLVMFuzzerInitialize(int*, char***)
{
    fuzzsupport::Init();
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    fuzzsupport::InWorkFolder here;
    std::error_code ec;
    fs::remove_all("p", ec);
    fs::create_directory("p", ec);
    FuzzedDataProvider input(data, size);

    std::set<std::string> files, folders;
    const int entries = input.ConsumeIntegralInRange(0, 8);
    for (int i = 0; i < entries; ++i)
    {
        const std::string name = MakeName(input);
        if (files.count(name) || folders.count(name))
            continue;
        if (input.ConsumeBool())
        {
            fs::create_directory("p/" + name, ec);
            folders.insert(name);
            const std::string inner = MakeName(input);
            fuzzsupport::WriteFile("p/" + name + "/" + inner, inner);
        }
        else
        {
            fuzzsupport::WriteFile("p/" + name, name);
            files.insert(name);
        }
    }

    // Every file is found by its own name and by its name in capitals, also where a folder of
    // the same name in another case sits beside it; folders likewise.
    for (const std::string& name : files)
    {
        FUZZ_CHECK(plat::FileExists("p/" + name), "a file is not found by its name: " + name);
        FUZZ_CHECK(plat::FileExists("P\\" + Upper(name)), "a file is not found in capitals: " + name);
        if (std::FILE* file = plat::OpenFile("p/" + name, "rb"))
            std::fclose(file);
        else
            fuzzsupport::Fail("a file does not open: " + name);
    }
    for (const std::string& name : folders)
    {
        FUZZ_CHECK(plat::DirectoryExists("p/" + Upper(name)), "a folder is not found in capitals: " + name);
        const std::string spelled = "p/" + Upper(name) + "/";
        for (const fs::directory_entry& inner : fs::directory_iterator("p/" + name, ec))
            FUZZ_CHECK(plat::FileExists(spelled + Upper(inner.path().filename().string())),
                       "a file in a folder is not found in capitals: " + name);
    }

    // Listings: exactly the files the pattern matches, and matching agrees with fnmatch.
    const int patterns = input.ConsumeIntegralInRange(1, 4);
    for (int i = 0; i < patterns; ++i)
    {
        std::string pattern = input.ConsumeRandomLengthString(16);
        pattern.erase(std::remove_if(pattern.begin(), pattern.end(),
                                     [](char c) { return c == '/' || c == '\\' || c == '\0'; }),
                      pattern.end());
        std::vector<std::string> expected;
        for (const std::string& name : files)
        {
            const bool ours = plat::WildcardMatch(pattern, name);
            const bool theirs = fnmatch(ForFnmatch(pattern).c_str(), name.c_str(), FNM_CASEFOLD) == 0;
            FUZZ_CHECK(ours == theirs,
                       "WildcardMatch(\"" + pattern + "\", \"" + name + "\") differs from fnmatch");
            if (ours)
                expected.push_back(name);
        }
        std::vector<std::string> listed = plat::ListFiles("p/" + pattern);
        std::sort(listed.begin(), listed.end());
        std::sort(expected.begin(), expected.end());
        FUZZ_CHECK(listed == expected, "ListFiles(\"" + pattern + "\") lists other files");

        const std::string other = input.ConsumeRandomLengthString(16);
        const bool ours = plat::WildcardMatch(pattern, other);
        const bool theirs = fnmatch(ForFnmatch(pattern).c_str(), other.c_str(), FNM_CASEFOLD) == 0;
        FUZZ_CHECK(other.find('\0') != std::string::npos || ours == theirs,
                   "WildcardMatch(\"" + pattern + "\", \"" + other + "\") differs from fnmatch");
        plat::ResolvePath("p/" + other);
    }

    // The one writer with names built from the tree's own names, "..", "." and separators: what it
    // writes lies inside the work folder and is a regular file; what it refuses it says why.
    const fs::path work = fs::canonical(".", ec);
    const int saves = input.ConsumeIntegralInRange(0, 4);
    for (int i = 0; i < saves; ++i)
    {
        std::string path = input.ConsumeBool() ? "p" : "";
        const int parts = input.ConsumeIntegralInRange(0, 4);
        for (int k = 0; k < parts; ++k)
        {
            static const char* const pieces[] = {"..", ".", "p", ""};
            const int pick = input.ConsumeIntegralInRange(0, 4);
            path +=
                (input.ConsumeBool() ? "/" : "\\") + (pick < 4 ? std::string(pieces[pick]) : MakeName(input));
        }
        static const char* const endings[] = {".xml", ".png", ".txt", ".lua", ""};
        path += endings[input.ConsumeIntegralInRange(0, 4)];
        const auto kind = static_cast<plat::SaveKind>(input.ConsumeIntegralInRange(0, 2));
        std::string error;
        const std::string why = plat::SaveRefusal(path, kind);
        if (plat::SaveRunFile(path, "saved", kind, error))
        {
            FUZZ_CHECK(why.empty(), "a name refused by SaveRefusal was written: " + path);
            const fs::path written = fs::canonical(plat::ResolvePath(path), ec);
            FUZZ_CHECK(!ec && fs::is_regular_file(written), "a save left no regular file: " + path);
            const std::string inside = written.string();
            FUZZ_CHECK(inside.compare(0, work.string().size() + 1, work.string() + "/") == 0,
                       "a save landed outside the work folder: " + path);
        }
        else
            FUZZ_CHECK(error.compare(0, path.size() + 2, path + ": ") == 0 &&
                           fuzzsupport::IsOneLine(error.substr(path.size() + 2)),
                       "a refused save does not say why in one line: " + error);
    }
    return 0;
}
