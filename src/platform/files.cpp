#include "platform/files.h"

#include "platform/log.h"

#include <algorithm>
#include <cctype>
#include <cerrno>
#include <filesystem>
#include <new>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

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

namespace
{
std::string Join(const std::string& folder, const std::string& name)
{
    return folder.empty() || folder.back() == '/' ? folder + name : folder + "/" + name;
}

// Resolves parts[index..] below `resolved`, which exists. Each element tries the entry of its
// exact name first, then every entry that matches it ignoring case, in byte order, and backs up
// when a choice leads nowhere: with folders "Data" and "data", "DATA/Room.xml" is found in
// whichever holds it, whatever order the folder lists them in.
enum class Want
{
    Anything,
    File,
    Folder,
};

bool Fits(const std::string& path, Want want)
{
    std::error_code ec;
    switch (want)
    {
    case Want::File:
        return fs::is_regular_file(path, ec);
    case Want::Folder:
        return fs::is_directory(path, ec);
    default:
        return fs::exists(path, ec);
    }
}

bool ResolveFrom(const std::string& resolved, const std::vector<std::string>& parts, size_t index, Want want,
                 std::string& out)
{
    while (index < parts.size() && parts[index].empty())
        ++index;
    if (index == parts.size())
    {
        if (!resolved.empty() && !Fits(resolved, want))
            return false;
        out = resolved;
        return true;
    }
    const std::string& part = parts[index];
    std::error_code ec;
    const std::string exact = Join(resolved, part);
    if (part == "." || part == "..")
        return fs::exists(exact, ec) && ResolveFrom(exact, parts, index + 1, want, out);
    if (fs::exists(exact, ec) && ResolveFrom(exact, parts, index + 1, want, out))
        return true;
    std::vector<std::string> matches;
    const fs::path dir = resolved.empty() ? fs::path(".") : fs::path(resolved);
    for (fs::directory_iterator it(dir, ec), end; !ec && it != end; it.increment(ec))
    {
        std::string name = it->path().filename().string();
        if (name != part && EqualNoCase(name, part))
            matches.push_back(std::move(name));
    }
    std::sort(matches.begin(), matches.end());
    for (const std::string& name : matches)
        if (ResolveFrom(Join(resolved, name), parts, index + 1, want, out))
            return true;
    return false;
}

// The spelling that exists as the kind wanted: a file name with a folder of the same name in
// another case beside it still finds the file.
std::string Resolve(const std::string& input, Want want)
{
    std::string path = ToSlashes(input);
    if (path.empty() || Fits(path, want))
        return path;
    const bool absolute = path[0] == '/';
    std::string resolved;
    // Nothing matches: the caller's open fails on the path it asked for.
    return ResolveFrom(absolute ? "/" : "", Split(path), 0, want, resolved) ? resolved : path;
}
} // namespace

std::string ResolvePath(const std::string& input)
{
    return Resolve(input, Want::Anything);
}

bool FileExists(const std::string& path)
{
    std::error_code ec;
    return fs::is_regular_file(Resolve(path, Want::File), ec);
}

bool DirectoryExists(const std::string& path)
{
    std::error_code ec;
    return fs::is_directory(Resolve(path, Want::Folder), ec);
}

bool MakeDirectories(const std::string& path)
{
    if (DirectoryExists(path))
        return true;
    std::error_code ec;
    fs::create_directories(Resolve(path, Want::Folder), ec);
    return DirectoryExists(path);
}

namespace
{
std::uint64_t s_dataLimits[2] = {kMaxTextDataBytes, kMaxMediaBytes};

std::uint64_t& LimitOf(DataKind kind)
{
    return s_dataLimits[kind == DataKind::Text ? 0 : 1];
}

const char* KindName(DataKind kind)
{
    return kind == DataKind::Text ? "a text data file" : "an image, mesh or sound file";
}

std::string Megabytes(std::uint64_t bytes)
{
    if (bytes >= (std::uint64_t{1} << 20) && bytes % (std::uint64_t{1} << 20) == 0)
        return std::to_string(bytes >> 20) + " MB";
    return std::to_string(bytes) + " bytes";
}

// What a path that is not a regular file is, for the refusal.
const char* NotRegularKind(mode_t mode)
{
    if (S_ISDIR(mode))
        return "a folder";
    if (S_ISFIFO(mode))
        return "a FIFO";
    if (S_ISCHR(mode) || S_ISBLK(mode))
        return "a device";
    if (S_ISSOCK(mode))
        return "a socket";
    return "something else";
}

// Opens a path for reading without ever waiting: O_NONBLOCK lets the open of a FIFO return at
// once, and the kind is checked on the open descriptor, so nothing can be swapped in between.
// -1 with `why` set when the path cannot be opened or is no regular file.
int OpenRegularForReading(const std::string& resolved, struct stat& info, std::string& why)
{
    const int fd = ::open(resolved.c_str(), O_RDONLY | O_NONBLOCK | O_NOCTTY | O_CLOEXEC);
    if (fd < 0)
    {
        why = "cannot open the file";
        return -1;
    }
    if (::fstat(fd, &info) != 0)
    {
        why = "cannot read the file";
        ::close(fd);
        return -1;
    }
    if (!S_ISREG(info.st_mode))
    {
        why = std::string("it is ") + NotRegularKind(info.st_mode) + ", not a regular file";
        ::close(fd);
        return -1;
    }
    // Reads of a regular file never wait; the flag is dropped all the same, so the stream
    // behaves as an ordinary one.
    const int flags = ::fcntl(fd, F_GETFL);
    if (flags >= 0)
        ::fcntl(fd, F_SETFL, flags & ~O_NONBLOCK);
    return fd;
}

template <class Bytes>
bool ReadDataFileInto(const std::string& path, DataKind kind, Bytes& bytes, std::string& error)
{
    bytes.clear();
    const std::string resolved = Resolve(path, Want::File);
    struct stat info = {};
    std::string why;
    const int fd = OpenRegularForReading(resolved, info, why);
    if (fd < 0)
    {
        error = path + ": " + why;
        return false;
    }
    const std::uint64_t limit = LimitOf(kind);
    const auto tooLarge = [&](std::uint64_t size)
    {
        error = path + ": " + Megabytes(size) + ", more than the " + Megabytes(limit) + " " + KindName(kind) +
                " may hold";
        return false;
    };
    if (info.st_size < 0 || static_cast<std::uint64_t>(info.st_size) > limit)
    {
        ::close(fd);
        return tooLarge(static_cast<std::uint64_t>(info.st_size));
    }
    try
    {
        bytes.reserve(static_cast<std::size_t>(info.st_size));
        // A file that grows while it is read is refused as soon as it passes the limit.
        char buffer[65536];
        for (;;)
        {
            const ssize_t n = ::read(fd, buffer, sizeof buffer);
            if (n < 0 && errno == EINTR)
                continue;
            if (n < 0)
            {
                ::close(fd);
                bytes.clear();
                error = path + ": cannot read the file";
                return false;
            }
            if (n == 0)
                break;
            if (bytes.size() + static_cast<std::size_t>(n) > limit)
            {
                ::close(fd);
                const std::uint64_t seen = bytes.size() + static_cast<std::size_t>(n);
                bytes.clear();
                return tooLarge(seen);
            }
            bytes.insert(bytes.end(), buffer, buffer + n);
        }
    }
    catch (const std::bad_alloc&)
    {
        ::close(fd);
        bytes.clear();
        error = path + ": not enough memory to read the file";
        return false;
    }
    ::close(fd);
    return true;
}
} // namespace

std::uint64_t DataFileLimit(DataKind kind)
{
    return LimitOf(kind);
}

std::uint64_t SetDataFileLimit(DataKind kind, std::uint64_t bytes)
{
    const std::uint64_t previous = LimitOf(kind);
    LimitOf(kind) = bytes != 0 ? bytes : (kind == DataKind::Text ? kMaxTextDataBytes : kMaxMediaBytes);
    return previous;
}

bool ReadDataFile(const std::string& path, DataKind kind, std::string& bytes, std::string& error)
{
    return ReadDataFileInto(path, kind, bytes, error);
}

bool ReadDataFile(const std::string& path, DataKind kind, std::vector<unsigned char>& bytes,
                  std::string& error)
{
    return ReadDataFileInto(path, kind, bytes, error);
}

namespace
{
std::vector<std::string>& AllowedFolders()
{
    static std::vector<std::string> folders;
    return folders;
}

// A relative name's elements: none is "..", none holds a control character or ':'.
bool StaysBelow(const std::string& name);
} // namespace

void AllowDataFolder(const std::string& folder)
{
    std::string normal = fs::path(ToSlashes(folder)).lexically_normal().string();
    if (!normal.empty() && normal.back() != '/')
        normal += '/';
    if (std::find(AllowedFolders().begin(), AllowedFolders().end(), normal) == AllowedFolders().end())
        AllowedFolders().push_back(normal);
}

bool IsConfinedName(const std::string& name)
{
    if (name.empty() || name.size() > kMaxDataNameLength)
        return false;
    if (name[0] == '/' || name[0] == '\\')
    {
        const std::string slashed = ToSlashes(name);
        for (const std::string& folder : AllowedFolders())
            if (slashed.size() > folder.size() && slashed.compare(0, folder.size(), folder) == 0)
                return StaysBelow(slashed.substr(folder.size()));
        return false;
    }
    return StaysBelow(name);
}

namespace
{
bool StaysBelow(const std::string& name)
{
    std::string element;
    for (std::size_t i = 0; i <= name.size(); ++i)
    {
        const char c = i < name.size() ? name[i] : '/';
        const unsigned char byte = static_cast<unsigned char>(c);
        if (byte < 0x20 || byte == 0x7F || c == ':')
            return false;
        if (c == '/' || c == '\\')
        {
            if (element == "..")
                return false;
            element.clear();
        }
        else
            element.push_back(c);
    }
    return true;
}
} // namespace

std::FILE* OpenFile(const std::string& path, const char* mode)
{
    const std::string mode_s = mode ? mode : "r";
    // Writing goes through SaveRunFile, which confines the name and writes atomically.
    if (mode_s.empty() || mode_s[0] != 'r' || mode_s.find('+') != std::string::npos)
        return nullptr;
    struct stat info = {};
    std::string why;
    const int fd = OpenRegularForReading(Resolve(path, Want::File), info, why);
    if (fd < 0)
        return nullptr;
    std::FILE* file = ::fdopen(fd, mode_s.c_str());
    if (!file)
        ::close(fd);
    return file;
}

bool WildcardMatch(const std::string& pattern, const std::string& name)
{
    size_t p = 0, n = 0, star = std::string::npos, mark = 0;
    auto same = [](char a, char b)
    { return std::tolower(static_cast<unsigned char>(a)) == std::tolower(static_cast<unsigned char>(b)); };
    while (n < name.size())
    {
        // A '*' in the pattern is always the wildcard, also where the name holds a '*'.
        if (p < pattern.size() && pattern[p] == '*')
        {
            star = p++;
            mark = n;
        }
        else if (p < pattern.size() && (pattern[p] == '?' || same(pattern[p], name[n])))
        {
            ++p;
            ++n;
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
    std::string resolvedDir = Resolve(dir, Want::Folder);
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
namespace
{
bool WriteAll(int fd, const std::string& bytes)
{
    std::size_t done = 0;
    while (done < bytes.size())
    {
        const ssize_t n = ::write(fd, bytes.data() + done, bytes.size() - done);
        if (n < 0 && errno == EINTR)
            continue;
        if (n <= 0)
            return false;
        done += static_cast<std::size_t>(n);
    }
    return true;
}

// The folder holding `path` flushed, so the rename survives a power cut; a folder that cannot
// be opened for it changes nothing about the save.
void SyncFolderOf(const std::string& path)
{
    const size_t slash = path.rfind('/');
    const std::string folder = slash == std::string::npos ? "." : (slash == 0 ? "/" : path.substr(0, slash));
    const int fd = ::open(folder.c_str(), O_RDONLY | O_DIRECTORY);
    if (fd >= 0)
    {
        ::fsync(fd);
        ::close(fd);
    }
}
} // namespace

namespace
{
// Where a save of `path` goes: the folder that matches ignoring case, and in it exactly the name
// given. A file whose name differs only in case is another file and is never written over.
std::string SaveTarget(const std::string& path)
{
    std::string target = ToSlashes(path);
    const size_t slash = target.rfind('/');
    if (slash != std::string::npos && slash > 0)
        target = Resolve(target.substr(0, slash), Want::Folder) + target.substr(slash);
    return target;
}

// The bytes as a new temporary file, flushed to disk; false (nothing left behind) when any step
// fails.
bool WriteTemporary(const std::string& temporary, const std::string& bytes)
{
    ::unlink(temporary.c_str()); // a leftover of an earlier crash
    const int fd = ::open(temporary.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0666);
    if (fd < 0)
        return false;
    bool ok = WriteAll(fd, bytes);
    ok = ok && ::fsync(fd) == 0;
    ok = ::close(fd) == 0 && ok;
    if (!ok)
        ::unlink(temporary.c_str());
    return ok;
}

// One file of a group on its way to its target.
struct PendingFile
{
    std::string target;
    std::string temporary;
    std::string backup; // a second name for the old file while the group is renamed; empty for none
    bool existed = false;
    bool renamed = false;
};

// Puts back what the renames changed, newest first: an old file from its backup, a file that
// was new removed. Every temporary file and backup is gone afterwards.
void RollBack(std::vector<PendingFile>& files)
{
    for (auto it = files.rbegin(); it != files.rend(); ++it)
    {
        if (it->renamed)
        {
            if (!it->backup.empty())
                ::rename(it->backup.c_str(), it->target.c_str());
            else if (!it->existed)
                ::unlink(it->target.c_str());
        }
        else
            ::unlink(it->temporary.c_str());
        if (!it->backup.empty())
            ::unlink(it->backup.c_str());
    }
}
} // namespace

namespace
{
// ---- the journal of a group save ----
//
// A group of two or more files is renamed into place one file at a time; a kill between two
// renames would leave some new and some old. Before the first rename, a journal beside the last
// file ("<last file>.journal") names every file of the group, and only when all are in place is
// it removed. The temporary files are complete and flushed before the journal exists, so a
// journal found later can always be finished: each file whose temporary file is still there is
// renamed into place, in order. A save that failed while it ran turns the journal to "back"
// first, and is then put back from the ".old" names instead. Both are safe to repeat, so a kill
// during a repair is repaired again at the next.

const char* const kJournalHeader = "QUORB group save 1";

int s_stepsBeforeKill = -1;

// For the tests that kill a save at every step: true from the step set by StopSavesAfterSteps
// on, and the save or repair then stops where it is, leaving what a kill would.
bool KilledHere()
{
    if (s_stepsBeforeKill < 0)
        return false;
    if (s_stepsBeforeKill == 0)
        return true;
    --s_stepsBeforeKill;
    return false;
}
const char* const kForward = "forward";
const char* const kBack = "back";
constexpr std::size_t kMaxJournalBytes = 64 * 1024; // a handful of paths

std::string JournalOf(const std::string& lastTarget)
{
    return lastTarget + ".journal";
}

std::string FolderOf(const std::string& path)
{
    const size_t slash = path.rfind('/');
    return slash == std::string::npos ? std::string(".") : (slash == 0 ? "/" : path.substr(0, slash));
}

// A journal's path for a file, relative to the journal's folder: the file itself or one in a
// sibling folder ("../puzzles/P.xml"). Empty for a file elsewhere, which the journal cannot name.
std::string JournalName(const std::string& journalFolder, const std::string& target)
{
    std::error_code ec;
    const fs::path base = fs::absolute(journalFolder, ec).lexically_normal();
    const fs::path file = fs::absolute(target, ec).lexically_normal();
    const std::string relative = file.lexically_relative(base).generic_string();
    return IsJournalName(relative) ? relative : std::string();
}

bool WriteJournal(const std::string& journal, const char* mode, const std::vector<PendingFile>& files)
{
    const std::string folder = FolderOf(journal);
    std::string text = std::string(kJournalHeader) + "\n" + mode + "\n";
    for (const PendingFile& file : files)
    {
        const std::string name = JournalName(folder, file.target);
        if (name.empty())
            return false;
        text += std::string(file.existed ? "1" : "0") + " " + std::to_string(name.size()) + " " + name + "\n";
    }
    const std::string temporary = journal + ".tmp";
    if (KilledHere() || !WriteTemporary(temporary, text) || KilledHere())
        return false;
    if (::rename(temporary.c_str(), journal.c_str()) != 0)
    {
        ::unlink(temporary.c_str());
        return false;
    }
    SyncFolderOf(journal);
    return true;
}

struct JournalEntry
{
    std::string target;
    bool existed = false;
};

// The journal's mode and files; false for a journal that is not one this program wrote.
bool ReadJournal(const std::string& journal, std::string& mode, std::vector<JournalEntry>& entries)
{
    std::string text;
    std::string error;
    if (!ReadDataFile(journal, DataKind::Text, text, error) || text.size() > kMaxJournalBytes)
        return false;
    const std::string folder = FolderOf(journal);
    std::size_t at = 0;
    auto line = [&](std::string& out)
    {
        const std::size_t end = text.find('\n', at);
        if (end == std::string::npos)
            return false;
        out = text.substr(at, end - at);
        at = end + 1;
        return true;
    };
    std::string header;
    if (!line(header) || header != kJournalHeader || !line(mode) || (mode != kForward && mode != kBack))
        return false;
    while (at < text.size())
    {
        // "<existed> <length> <name>\n"
        if (text.size() - at < 4 || (text[at] != '0' && text[at] != '1') || text[at + 1] != ' ')
            return false;
        JournalEntry entry;
        entry.existed = text[at] == '1';
        at += 2;
        std::size_t length = 0;
        std::size_t digits = 0;
        for (; at < text.size() && text[at] >= '0' && text[at] <= '9' && digits < 6; ++at, ++digits)
            length = length * 10 + static_cast<std::size_t>(text[at] - '0');
        if (digits == 0 || at >= text.size() || text[at] != ' ' || text.size() - at - 1 < length + 1 ||
            text[at + 1 + length] != '\n')
            return false;
        const std::string name = text.substr(at + 1, length);
        at += length + 2;
        if (!IsJournalName(name))
            return false;
        entry.target = folder + "/" + name;
        entries.push_back(entry);
    }
    return entries.size() >= 2;
}

bool Exists(const std::string& path)
{
    std::error_code ec;
    return fs::exists(fs::symlink_status(path, ec));
}

void SyncFoldersOf(const std::vector<JournalEntry>& entries)
{
    std::vector<std::string> synced;
    for (const JournalEntry& entry : entries)
    {
        const std::string folder = FolderOf(entry.target);
        if (std::find(synced.begin(), synced.end(), folder) == synced.end())
        {
            synced.push_back(folder);
            SyncFolderOf(entry.target);
        }
    }
}

// Puts the group back as it was before the save: a file not yet renamed loses its temporary
// file, one renamed gets its old content back from "<file>.old", or is removed when it is new.
bool RepairBack(const std::vector<JournalEntry>& entries)
{
    for (auto it = entries.rbegin(); it != entries.rend(); ++it)
    {
        const std::string temporary = it->target + ".tmp";
        const std::string backup = it->target + ".old";
        if (KilledHere())
            return false;
        if (Exists(temporary))
            ::unlink(temporary.c_str());
        else if (Exists(backup))
            ::rename(backup.c_str(), it->target.c_str());
        else if (!it->existed)
            ::unlink(it->target.c_str());
        if (KilledHere())
            return false;
        ::unlink(backup.c_str());
    }
    return true;
}

// Renames every temporary file still there into place, in order; false when one cannot be.
bool RepairForward(const std::vector<JournalEntry>& entries)
{
    for (const JournalEntry& entry : entries)
    {
        const std::string temporary = entry.target + ".tmp";
        if (KilledHere())
            return false;
        if (Exists(temporary) && ::rename(temporary.c_str(), entry.target.c_str()) != 0)
            return false;
    }
    SyncFoldersOf(entries);
    for (const JournalEntry& entry : entries)
    {
        if (KilledHere())
            return false;
        ::unlink((entry.target + ".old").c_str());
    }
    return true;
}
} // namespace

bool IsJournalName(const std::string& name)
{
    // The name of a file in the journal's folder, or "../<folder>/<name>" in a sibling folder.
    const bool up = name.compare(0, 3, "../") == 0;
    const std::string rest = up ? name.substr(3) : name;
    if (rest.empty() || rest.size() > kMaxDataNameLength)
        return false;
    std::size_t start = 0;
    int parts = 0;
    while (start <= rest.size())
    {
        const std::size_t slash = std::min(rest.find('/', start), rest.size());
        const std::string part = rest.substr(start, slash - start);
        if (part.empty() || part == "." || part == ".." || ++parts > 2)
            return false;
        start = slash + 1;
    }
    const bool plain =
        std::none_of(rest.begin(), rest.end(),
                     [](char c) { return static_cast<unsigned char>(c) < 0x20 || c == '\\' || c == ':'; });
    return plain && parts == (up ? 2 : 1);
}

bool RepairInterruptedSave(const std::string& lastPath)
{
    const std::string journal = JournalOf(SaveTarget(lastPath));
    if (!Exists(journal))
        return false;
    std::string mode;
    std::vector<JournalEntry> entries;
    if (!ReadJournal(journal, mode, entries))
    {
        ::unlink(journal.c_str());
        WriteLogLine("RepairInterruptedSave: " + journal +
                     ": the record of an interrupted save is damaged; it is removed and no file is changed");
        return true;
    }
    bool finished = false;
    if (mode == kForward)
        finished = RepairForward(entries);
    if (KilledHere())
        return true;
    if (!finished)
    {
        // Turned to "back" before anything is put back, so a kill now is put back again.
        std::vector<PendingFile> files;
        for (const JournalEntry& entry : entries)
        {
            PendingFile file;
            file.target = entry.target;
            file.existed = entry.existed;
            files.push_back(file);
        }
        if (mode == kForward && !WriteJournal(journal, kBack, files))
        {
            WriteLogLine(
                "RepairInterruptedSave: " + journal +
                ": an interrupted save can be neither finished nor put back; its files are left as they are");
            return true;
        }
        if (!RepairBack(entries))
            return true; // killed
        SyncFoldersOf(entries);
    }
    if (KilledHere())
        return true;
    ::unlink(journal.c_str());
    SyncFolderOf(journal);
    WriteLogLine("RepairInterruptedSave: " + SaveTarget(lastPath) + ": a save of " +
                 std::to_string(entries.size()) + " files was interrupted; " +
                 (finished ? "it is finished, every file new" : "it is put back, every file as it was"));
    return true;
}

void StopSavesAfterSteps(int steps)
{
    s_stepsBeforeKill = steps;
}

void RepairInterruptedSaves(const std::string& folder)
{
    std::string prefix = ToSlashes(folder);
    if (!prefix.empty() && prefix.back() != '/')
        prefix += '/';
    for (const std::string& name : ListFiles(prefix + "*.journal"))
        RepairInterruptedSave(prefix + name.substr(0, name.size() - std::string(".journal").size()));
}

bool WriteFileAtomically(const std::string& path, const std::string& bytes)
{
    return WriteFilesAtomically({FileToWrite{path, bytes}});
}

bool WriteFilesAtomically(const std::vector<FileToWrite>& files, std::string* failed)
{
    // An interrupted save of the same group is settled first: its temporary files are the ones
    // about to be written.
    if (files.size() >= 2 && !files.back().path.empty())
        RepairInterruptedSave(files.back().path);
    std::vector<PendingFile> pending;
    pending.reserve(files.size());
    for (const FileToWrite& file : files)
    {
        PendingFile entry;
        entry.target = file.path.empty() ? std::string() : SaveTarget(file.path);
        entry.temporary = entry.target + ".tmp";
        const bool repeated =
            std::any_of(pending.begin(), pending.end(),
                        [&entry](const PendingFile& other) { return other.target == entry.target; });
        if (KilledHere())
            return false;
        if (entry.target.empty() || repeated || !WriteTemporary(entry.temporary, file.bytes))
        {
            RollBack(pending);
            if (failed != nullptr)
                *failed = file.path;
            return false;
        }
        pending.push_back(entry);
    }
    // Each old file but the last keeps a second name until the whole group is in place, so a
    // rename that fails midway can put back the ones before it (the last one renamed is the end
    // of the group). Where the file system makes no second name, that file alone could not be
    // put back.
    std::error_code ec;
    for (std::size_t i = 0; i < pending.size(); ++i)
    {
        PendingFile& entry = pending[i];
        entry.existed = fs::exists(fs::symlink_status(entry.target, ec));
        if (i + 1 == pending.size() || !entry.existed || !fs::is_regular_file(entry.target, ec))
            continue;
        const std::string backup = entry.target + ".old";
        if (KilledHere())
            return false;
        ::unlink(backup.c_str());
        if (::link(entry.target.c_str(), backup.c_str()) == 0)
            entry.backup = backup;
    }
    // From here until the journal is removed, a kill leaves a group the next start or the next
    // read of it finishes. A group the journal cannot name is saved without one, as before.
    const std::string journal = JournalOf(pending.back().target);
    const bool journaled = pending.size() >= 2 && WriteJournal(journal, kForward, pending);
    for (std::size_t i = 0; i < pending.size(); ++i)
    {
        if (KilledHere())
            return false;
        if (::rename(pending[i].temporary.c_str(), pending[i].target.c_str()) != 0)
        {
            // Turned to "back" first: a kill while the renames are undone is undone again.
            if (journaled)
                WriteJournal(journal, kBack, pending);
            RollBack(pending);
            if (journaled)
            {
                ::unlink(journal.c_str());
                SyncFolderOf(journal);
            }
            if (failed != nullptr)
                *failed = files[i].path;
            return false;
        }
        pending[i].renamed = true;
    }
    std::vector<std::string> synced;
    for (const PendingFile& entry : pending)
    {
        const std::string folder = FolderOf(entry.target);
        if (std::find(synced.begin(), synced.end(), folder) == synced.end())
        {
            synced.push_back(folder);
            SyncFolderOf(entry.target);
        }
    }
    for (const PendingFile& entry : pending)
    {
        if (KilledHere())
            return false;
        if (!entry.backup.empty())
            ::unlink(entry.backup.c_str());
    }
    if (KilledHere())
        return false;
    if (journaled)
    {
        ::unlink(journal.c_str());
        SyncFolderOf(journal);
    }
    return true;
}
} // namespace plat
