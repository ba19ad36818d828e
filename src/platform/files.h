// Every file open and directory listing in the project goes through here. Data and code were
// written for a file system with `\` separators and case-insensitive names: both separators
// are accepted, and when the exact path does not exist each element is matched ignoring case.
#pragma once

#include <cstdint>
#include <cstdio>
#include <string>
#include <vector>

namespace plat
{
// The path to hand to the operating system: separators turned into '/', and each element
// replaced by the existing entry that matches it ignoring case when the exact one is missing.
// A path that matches nothing comes back with its separators converted and otherwise unchanged.
std::string ResolvePath(const std::string& path);

bool FileExists(const std::string& path); // a regular file
bool DirectoryExists(const std::string& path);
// Makes the folder and any missing parents (an existing folder in any case of its name counts);
// true when the folder exists afterwards.
bool MakeDirectories(const std::string& path);

// fopen through ResolvePath for reading ("r", "rb"); nullptr when the file cannot be opened.
// Regular files only, and it never waits: a FIFO, a device or a folder gives nullptr at once, as
// a missing file does. Files are written through SaveRunFile only, so a mode that writes gives
// nullptr too.
std::FILE* OpenFile(const std::string& path, const char* mode);

// ---- Writing files ----
// Every file the program writes goes through SaveRunFile (a group through SaveRunFiles, a log
// line through AppendRunFile). Names come from players (a typed "takescrshot" name, a profile
// name) and from data, so before anything is written the name must:
// - stay in the run folder (the working folder): relative, or absolute inside it, and inside it
//   still once every symbolic link on the way is followed;
// - lead to a regular file or to nothing: a folder, a FIFO, a device or a symbolic link is
//   refused;
// - fit its kind: a save is an ".xml" file; a picture a ".png", ".bmp" or ".jpg" file outside
//   every folder the program reads data from (ProtectDataFolder), so a picture never replaces
//   the settings, a profile, a room, a puzzle or game art; a log a ".txt", ".log" or ".xml" file
//   outside those folders.
// A save or a picture is then written atomically (WriteFileAtomically).
enum class SaveKind
{
    Data,  // settings, profiles, rooms, puzzles
    Image, // screenshots and picture dumps
    Log,   // the program's own logs
};

// Empty when `path` may be written as `kind`; otherwise why not, e.g. "the name leaves the run
// folder" or "it is a FIFO, not a regular file".
std::string SaveRefusal(const std::string& path, SaveKind kind);
// Writes `bytes` as the file at `path`. False, with `error` the one line to report ("<path>:
// <why>", for the caller to add what follows), when the name is refused or the write failed;
// the old file, if any, is then left as it was.
bool SaveRunFile(const std::string& path, const std::string& bytes, SaveKind kind, std::string& error);
// A group all or nothing (WriteFilesAtomically), every name checked before anything is written.
// False, with `failed` (when given) the path that was refused or could not be written; a refused
// name also gives one line through the log saying why.
struct FileToWrite;
bool SaveRunFiles(const std::vector<FileToWrite>& files, SaveKind kind, std::string* failed = nullptr);
// Adds `text` to the end of the file at `path` (made when missing), checked as SaveRunFile
// checks; the file is opened without waiting and written only when it is a regular file.
bool AppendRunFile(const std::string& path, const std::string& text, SaveKind kind, std::string& error);

// A folder whose files are the program's data (its settings, rooms, textures...): no picture or
// log is written into it or below it. A folder that does not exist yet is protected by name.
void ProtectDataFolder(const std::string& folder);
// For tests whose pictures go into the build folder: names inside this absolute folder count
// as inside the run folder from now on.
void AllowSaveFolder(const std::string& folder);

// ---- Reading data files ----
// Every file the game reads as data (XML, scripts, effects, the sound project, images, meshes,
// sounds) is read whole through ReadDataFile. Data comes from files a player may have edited or
// replaced, so a name may lead to a FIFO that never answers, a device that never ends
// ("/dev/zero") or a file far larger than any real one: only a regular file is read, it is
// opened without waiting, its kind is checked before the first byte is read and its size must
// be within the limit of its kind. Every refusal is one line naming the file and the reason.
enum class DataKind
{
    Text,  // XML, Lua scripts, effect files, the sound project: kMaxTextDataBytes
    Media, // images, meshes, sounds, fonts: kMaxMediaBytes
};

constexpr std::uint64_t kMaxTextDataBytes = std::uint64_t{64} << 20; // 64 MB
constexpr std::uint64_t kMaxMediaBytes = std::uint64_t{256} << 20;   // 256 MB

// The limit in force for a kind: the constant above unless a test lowered it.
std::uint64_t DataFileLimit(DataKind kind);
// For tests: makes a kind's limit `bytes` (0 restores the constant); returns the previous limit.
std::uint64_t SetDataFileLimit(DataKind kind, std::uint64_t bytes);

// Reads the whole file at `path` (resolved as ResolvePath does) into `bytes`. False, with
// `bytes` empty and `error` the one line to report ("<path>: <why>", without a line break, for
// the caller to add what follows), when the file cannot be opened ("cannot open the file"), is
// not a regular file ("it is a FIFO, not a regular file"), is larger than the kind's limit
// ("200 MB, more than the 64 MB a text data file may hold") or cannot be read.
bool ReadDataFile(const std::string& path, DataKind kind, std::string& bytes, std::string& error);
bool ReadDataFile(const std::string& path, DataKind kind, std::vector<unsigned char>& bytes,
                  std::string& error);

// Whether a name that data or a script gives (an archetype file, a texture, a mesh, an effect,
// a sound file) stays inside the folder it is joined to: not empty, at most kMaxDataNameLength
// bytes, relative (no leading separator, no drive or other ':'), no ".." element, no control
// character. Either separator may divide its folders. An absolute name inside a folder given to
// AllowDataFolder passes too.
constexpr std::size_t kMaxDataNameLength = 255;
bool IsConfinedName(const std::string& name);
// For tests and tools whose own data lies elsewhere (a test's scenes under tests/data): absolute
// names inside this absolute folder count as confined from now on.
void AllowDataFolder(const std::string& folder);

// The names (no folder) of the regular files matching a pattern such as "dir/*.xml" or
// "..\\rooms\\Room?.xml"; '*' matches any run, '?' one character, both ignoring case.
// Sorted by name ignoring case, as the case-insensitive file system lists them (names that
// differ only in case by byte order); empty when the folder does not exist.
std::vector<std::string> ListFiles(const std::string& pattern);

// Case-insensitive wildcard match of one name against one pattern element.
bool WildcardMatch(const std::string& pattern, const std::string& name);

// Saves `bytes` as the file at `path` so that a crash, a full disk or a failing write never
// leaves half a file: the bytes go to "<file>.tmp" beside the target (a stale one from an
// earlier crash is replaced), are flushed to disk, and the temporary file is renamed over the
// target. The folder is matched ignoring case; the file's own name is taken exactly as given, so
// a file whose name differs only in case is another file and stays as it is. On any failure the
// temporary file is removed, the old file is left as it was and the result is false.
bool WriteFileAtomically(const std::string& path, const std::string& bytes);

// One file of a group saved together.
struct FileToWrite
{
    std::string path;
    std::string bytes;
};

// Saves a group of files all or nothing, each as WriteFileAtomically names and writes it: every
// one goes to its temporary file first, and only when all were written and flushed are they
// renamed over their targets, in the order given (the file that names the others goes last).
// While they are renamed each old file but the last keeps a second name, "<file>.old", removed
// afterwards.
// When anything fails the temporary files are removed and the files renamed so far are put back,
// so each target keeps its old content or stays absent, the result is false and `failed` (when
// given) names the path that could not be written. An empty path, or two entries for one file,
// fail the group before anything is written.
// A group of two or more files is guarded by a journal, "<last file>.journal", written before the
// first rename and removed after the last, so a kill at any point leaves a group that
// RepairInterruptedSave makes all new or all old. A journal left by an earlier kill is settled
// before the group is written again.
bool WriteFilesAtomically(const std::vector<FileToWrite>& files, std::string* failed = nullptr);

// Settles a group save that was interrupted, when "<lastPath>.journal" is there (lastPath is the
// group's last file, as WriteFilesAtomically was given it): finishes it, every file new, or, when
// that cannot be done or the save had failed, puts every file back as it was. One line says
// which. A journal this program did not write is removed with one line and changes no file.
// True when there was a journal.
bool RepairInterruptedSave(const std::string& lastPath);
// RepairInterruptedSave for every journal in the folder: for the start of the program.
void RepairInterruptedSaves(const std::string& folder);
// For tests: from now on every group save and repair stops, as a kill would, after `steps`
// more of its steps that change files; -1 lets them run.
void StopSavesAfterSteps(int steps);
// Whether a journal may name the file: a plain name in the journal's folder or "../folder/name"
// in a sibling folder, without control characters, '\\' or ':'. Nothing a journal names can
// lie outside the folder above the journal's.
bool IsJournalName(const std::string& name);
} // namespace plat
