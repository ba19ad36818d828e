// The one writer: every file the program writes is checked here before a byte goes out.
#include "platform/files.h"

#include "platform/log.h"

#include <algorithm>
#include <cctype>
#include <cerrno>
#include <filesystem>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace fs = std::filesystem;

namespace plat
{
namespace
{
// Longest path a save may name: far beyond the run folder's deepest file.
constexpr std::size_t kMaxSavePathLength = 1024;

std::vector<fs::path>& ProtectedFolders()
{
    static std::vector<fs::path> folders;
    return folders;
}

std::vector<fs::path>& AllowedFolders()
{
    static std::vector<fs::path> folders;
    return folders;
}

std::string Slashed(std::string path)
{
    std::replace(path.begin(), path.end(), '\\', '/');
    return path;
}

// Whether `path` is `root` or below it; both absolute and normal.
bool IsWithin(const fs::path& path, const fs::path& root)
{
    auto p = path.begin();
    for (auto r = root.begin(); r != root.end(); ++r, ++p)
    {
        if (r->empty() && std::next(r) == root.end())
            return true; // a root written with a trailing separator
        if (p == path.end() || *p != *r)
            return false;
    }
    return true;
}

// The folder with every symbolic link followed as far as it exists; the part that does not
// exist yet is kept as written.
fs::path RealFolder(const fs::path& folder)
{
    std::error_code ec;
    const fs::path real = fs::weakly_canonical(folder, ec);
    return ec ? folder.lexically_normal() : real;
}

std::string LowerExtension(const std::string& path)
{
    const std::size_t slash = path.rfind('/');
    const std::size_t dot = path.rfind('.');
    if (dot == std::string::npos || (slash != std::string::npos && dot < slash))
        return std::string();
    std::string extension = path.substr(dot);
    for (char& c : extension)
        c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    return extension;
}

bool ExtensionFits(const std::string& extension, SaveKind kind)
{
    static const std::vector<std::string> data = {".xml"};
    static const std::vector<std::string> images = {".png", ".bmp", ".jpg"};
    static const std::vector<std::string> logs = {".txt", ".log", ".xml"};
    const std::vector<std::string>& allowed = kind == SaveKind::Data    ? data
                                              : kind == SaveKind::Image ? images
                                                                        : logs;
    return std::find(allowed.begin(), allowed.end(), extension) != allowed.end();
}

const char* ExtensionRule(SaveKind kind)
{
    switch (kind)
    {
    case SaveKind::Data:
        return "a save must be an .xml file";
    case SaveKind::Image:
        return "a picture must be a .png, .bmp or .jpg file";
    default:
        return "a log must be a .txt, .log or .xml file";
    }
}

const char* NotRegular(mode_t mode)
{
    if (S_ISLNK(mode))
        return "it is a symbolic link, not a regular file";
    if (S_ISDIR(mode))
        return "it is a folder, not a regular file";
    if (S_ISFIFO(mode))
        return "it is a FIFO, not a regular file";
    if (S_ISCHR(mode) || S_ISBLK(mode))
        return "it is a device, not a regular file";
    return "it is not a regular file";
}

// The target a save writes (the folder matched ignoring case, the name exactly), or empty with
// `why` set.
std::string CheckedTarget(const std::string& path, SaveKind kind, std::string& why)
{
    if (path.empty())
    {
        why = "the name is empty";
        return std::string();
    }
    if (path.size() > kMaxSavePathLength)
    {
        why = "the name is longer than " + std::to_string(kMaxSavePathLength) + " bytes";
        return std::string();
    }
    for (const char c : path)
        if (static_cast<unsigned char>(c) < 0x20 || c == 0x7F)
        {
            why = "the name holds a control character";
            return std::string();
        }
    std::string target = Slashed(path);
    if (target.back() == '/')
    {
        why = "the name is a folder";
        return std::string();
    }
    if (!ExtensionFits(LowerExtension(target), kind))
    {
        why = ExtensionRule(kind);
        return std::string();
    }
    const std::size_t slash = target.rfind('/');
    const std::string folder =
        slash == std::string::npos ? "." : (slash == 0 ? "/" : target.substr(0, slash));
    const std::string leaf = slash == std::string::npos ? target : target.substr(slash + 1);
    if (leaf == "." || leaf == "..")
    {
        why = "the name is a folder";
        return std::string();
    }
    const std::string resolvedFolder = ResolvePath(folder);
    target = resolvedFolder + "/" + leaf;

    std::error_code ec;
    const fs::path runFolder = RealFolder(fs::current_path(ec));
    if (ec)
    {
        why = "the run folder is unknown";
        return std::string();
    }
    const fs::path realFolder = RealFolder(fs::absolute(resolvedFolder, ec));
    const bool allowed = std::any_of(AllowedFolders().begin(), AllowedFolders().end(),
                                     [&](const fs::path& root) { return IsWithin(realFolder, root); });
    if (!allowed && !IsWithin(realFolder, runFolder))
    {
        why = "the name leaves the run folder";
        return std::string();
    }
    // A data folder that holds the run folder itself (data read from the run folder's root)
    // protects its files by their kind alone.
    if (kind != SaveKind::Data)
        for (const fs::path& data : ProtectedFolders())
            if (IsWithin(realFolder, RealFolder(data)) && !IsWithin(runFolder, RealFolder(data)))
            {
                why = "the folder holds the game's data";
                return std::string();
            }
    struct stat info = {};
    if (::lstat(target.c_str(), &info) == 0 && !S_ISREG(info.st_mode))
    {
        why = NotRegular(info.st_mode);
        return std::string();
    }
    return target;
}
} // namespace

std::string SaveRefusal(const std::string& path, SaveKind kind)
{
    std::string why;
    CheckedTarget(path, kind, why);
    return why;
}

namespace
{
// The group's targets in order, or false with `refused` the path refused and `why` the reason.
bool CheckedGroup(const std::vector<FileToWrite>& files, SaveKind kind, std::vector<FileToWrite>& checked,
                  std::string& refused, std::string& why)
{
    checked.reserve(files.size());
    for (const FileToWrite& file : files)
    {
        const std::string target = CheckedTarget(file.path, kind, why);
        if (target.empty())
        {
            refused = file.path;
            return false;
        }
        checked.push_back(FileToWrite{target, file.bytes});
    }
    return true;
}
} // namespace

bool SaveRunFile(const std::string& path, const std::string& bytes, SaveKind kind, std::string& error)
{
    std::string why;
    const std::string target = CheckedTarget(path, kind, why);
    if (target.empty())
    {
        error = path + ": " + why;
        return false;
    }
    if (!WriteFileAtomically(target, bytes))
    {
        error = path + ": the file could not be written";
        return false;
    }
    return true;
}

bool SaveRunFiles(const std::vector<FileToWrite>& files, SaveKind kind, std::string* failed)
{
    std::vector<FileToWrite> checked;
    std::string refused, why;
    if (!CheckedGroup(files, kind, checked, refused, why))
    {
        DORVO_LOG("SaveRunFiles: %s: %s; nothing of its group is written", refused.c_str(), why.c_str());
        if (failed != nullptr)
            *failed = refused;
        return false;
    }
    std::string target;
    if (WriteFilesAtomically(checked, &target))
        return true;
    if (failed != nullptr)
    {
        const auto at = std::find_if(checked.begin(), checked.end(),
                                     [&](const FileToWrite& file) { return file.path == target; });
        *failed = at == checked.end() ? target : files[static_cast<std::size_t>(at - checked.begin())].path;
    }
    return false;
}

bool AppendRunFile(const std::string& path, const std::string& text, SaveKind kind, std::string& error)
{
    std::string why;
    const std::string target = CheckedTarget(path, kind, why);
    if (target.empty())
    {
        error = path + ": " + why;
        return false;
    }
    // O_NOFOLLOW and O_NONBLOCK: a link or a FIFO put there since the check is refused at once.
    const int fd = ::open(
        target.c_str(), O_WRONLY | O_APPEND | O_CREAT | O_NOFOLLOW | O_NONBLOCK | O_NOCTTY | O_CLOEXEC, 0666);
    struct stat info = {};
    if (fd < 0 || ::fstat(fd, &info) != 0 || !S_ISREG(info.st_mode))
    {
        if (fd >= 0)
            ::close(fd);
        error = path + ": " + (fd < 0 ? std::string("the file cannot be opened") : NotRegular(info.st_mode));
        return false;
    }
    std::size_t done = 0;
    while (done < text.size())
    {
        const ssize_t n = ::write(fd, text.data() + done, text.size() - done);
        if (n < 0 && errno == EINTR)
            continue;
        if (n <= 0)
            break;
        done += static_cast<std::size_t>(n);
    }
    const bool closed = ::close(fd) == 0;
    if (done != text.size() || !closed)
    {
        error = path + ": the file could not be written";
        return false;
    }
    return true;
}

void ProtectDataFolder(const std::string& folder)
{
    if (folder.empty())
        return;
    std::error_code ec;
    const fs::path absolute = fs::absolute(ResolvePath(folder), ec).lexically_normal();
    if (!ec &&
        std::find(ProtectedFolders().begin(), ProtectedFolders().end(), absolute) == ProtectedFolders().end())
        ProtectedFolders().push_back(absolute);
}

void AllowSaveFolder(const std::string& folder)
{
    const fs::path real = RealFolder(fs::path(Slashed(folder)));
    if (std::find(AllowedFolders().begin(), AllowedFolders().end(), real) == AllowedFolders().end())
        AllowedFolders().push_back(real);
}
} // namespace plat
