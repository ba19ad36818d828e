#include "platform/files.h"

#include <algorithm>
#include <cctype>
#include <filesystem>

namespace fs = std::filesystem;

namespace plat
{
namespace
{
std::string ToSlashes(std::string path)
{
    std::replace(path.begin(), path.end(), '\\', '/');
    return path;
}

int CompareNoCase(const std::string& a, const std::string& b)
{
    const size_t n = std::min(a.size(), b.size());
    for (size_t i = 0; i < n; ++i)
    {
        const int ca = std::tolower(static_cast<unsigned char>(a[i]));
        const int cb = std::tolower(static_cast<unsigned char>(b[i]));
        if (ca != cb)
            return ca < cb ? -1 : 1;
    }
    return a.size() == b.size() ? 0 : (a.size() < b.size() ? -1 : 1);
}

bool EqualNoCase(const std::string& a, const std::string& b)
{
    return CompareNoCase(a, b) == 0;
}

std::vector<std::string> Split(const std::string& path)
{
    std::vector<std::string> parts;
    std::string cur;
    for (char c : path)
    {
        if (c == '/')
        {
            parts.push_back(cur);
            cur.clear();
        }
        else
            cur.push_back(c);
    }
    parts.push_back(cur);
    return parts;
}
} // namespace

std::string ResolvePath(const std::string& input)
{
    std::string path = ToSlashes(input);
    std::error_code ec;
    if (path.empty() || fs::exists(path, ec))
        return path;

    std::vector<std::string> parts = Split(path);
    std::string resolved;
    bool absolute = !path.empty() && path[0] == '/';
    size_t first = 0;
    if (absolute)
    {
        resolved = "/";
        first = 1;
    }
    for (size_t i = first; i < parts.size(); ++i)
    {
        const std::string& part = parts[i];
        if (part.empty())
            continue;
        std::string candidate =
            resolved.empty() || resolved.back() == '/' ? resolved + part : resolved + "/" + part;
        if (part == "." || part == ".." || fs::exists(candidate, ec))
        {
            resolved = candidate;
            continue;
        }
        fs::path dir = resolved.empty() ? fs::path(".") : fs::path(resolved);
        std::string match;
        for (fs::directory_iterator it(dir, ec), end; !ec && it != end; it.increment(ec))
        {
            std::string name = it->path().filename().string();
            if (EqualNoCase(name, part))
            {
                match = name;
                break;
            }
        }
        if (match.empty())
            return path; // nothing matches: the caller's open fails on the path it asked for
        resolved = resolved.empty() || resolved.back() == '/' ? resolved + match : resolved + "/" + match;
    }
    return resolved;
}

bool FileExists(const std::string& path)
{
    std::error_code ec;
    return fs::is_regular_file(ResolvePath(path), ec);
}

bool DirectoryExists(const std::string& path)
{
    std::error_code ec;
    return fs::is_directory(ResolvePath(path), ec);
}

std::FILE* OpenFile(const std::string& path, const char* mode)
{
    std::string mode_s = mode ? mode : "r";
    std::string resolved = ResolvePath(path);
    std::error_code ec;
    if (!fs::exists(resolved, ec))
    {
        // A file being created keeps the caller's own name inside the matching folder.
        size_t slash = resolved.rfind('/');
        if (slash != std::string::npos && slash > 0)
            resolved = ResolvePath(resolved.substr(0, slash)) + resolved.substr(slash);
    }
    return std::fopen(resolved.c_str(), mode_s.c_str());
}

bool WildcardMatch(const std::string& pattern, const std::string& name)
{
    size_t p = 0, n = 0, star = std::string::npos, mark = 0;
    auto same = [](char a, char b)
    { return std::tolower(static_cast<unsigned char>(a)) == std::tolower(static_cast<unsigned char>(b)); };
    while (n < name.size())
    {
        if (p < pattern.size() && (pattern[p] == '?' || same(pattern[p], name[n])))
        {
            ++p;
            ++n;
        }
        else if (p < pattern.size() && pattern[p] == '*')
        {
            star = p++;
            mark = n;
        }
        else if (star != std::string::npos)
        {
            p = star + 1;
            n = ++mark;
        }
        else
            return false;
    }
    while (p < pattern.size() && pattern[p] == '*')
        ++p;
    return p == pattern.size();
}

std::vector<std::string> ListFiles(const std::string& input)
{
    std::string pattern = ToSlashes(input);
    std::string dir = ".";
    std::string leaf = pattern;
    size_t slash = pattern.rfind('/');
    if (slash != std::string::npos)
    {
        dir = slash == 0 ? "/" : pattern.substr(0, slash);
        leaf = pattern.substr(slash + 1);
    }
    std::vector<std::string> names;
    std::error_code ec;
    std::string resolvedDir = ResolvePath(dir);
    for (fs::directory_iterator it(resolvedDir, ec), end; !ec && it != end; it.increment(ec))
    {
        if (!it->is_regular_file(ec))
            continue;
        std::string name = it->path().filename().string();
        if (WildcardMatch(leaf, name))
            names.push_back(name);
    }
    std::sort(names.begin(), names.end(),
              [](const std::string& a, const std::string& b)
              {
                  const int order = CompareNoCase(a, b);
                  return order != 0 ? order < 0 : a < b;
              });
    return names;
}
} // namespace plat
