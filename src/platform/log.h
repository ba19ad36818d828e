// The one channel for every line the program writes about itself: bad data, a device or a
// resource that could not be made, a step that fell back. Lines go one at a time, finished,
// through a replaceable handler; the default writes each with a line break to standard error,
// and tests install one that records. It sits in the platform layer because the platform writes
// such lines too (files, effects, fonts, textures, the frame driver, sound) and every layer above
// may include it.
//
// Every line has one shape:
//     <where>: <file or object>: <what>; <what the program does instead>
// for example `CMeshManager::Load: meshes/Box.x: byte 120: the float list runs past the end;
// "Invalid.x" is drawn in its place`. A line about no file or object leaves the middle part out.
#pragma once

#include <cstddef>
#include <string>

namespace plat
{
// Receives one finished line: no line break in it or at its end.
using LogHandler = void (*)(const std::string& line);

// Installs a handler and returns the previous one; nullptr restores the default.
LogHandler SetLogHandler(LogHandler handler);

// Installs a second receiver that gets every line as well, whatever the handler is (the run
// folder's "Log.xml"), and returns the previous one; nullptr: none, the default.
LogHandler SetLogFileWriter(LogHandler writer);

// A line keeps at most this many bytes of its text; the rest is cut off and the line ends in
// " [... N more bytes cut]" instead, so a name read from data cannot make a line of any length.
constexpr std::size_t kLogLineBytes = 1024;

// Hands one line to the handler. Text often quotes data, so the line is made safe first: a line
// break inside it (with the blanks around it) becomes one space (none before punctuation), a
// trailing one is dropped and any other control character shows as '?', so one call is always
// one line; a line longer than kLogLineBytes is cut (never inside a UTF-8 character).
void WriteLogLine(const std::string& line);
void WriteLog(const char* format, ...) __attribute__((format(printf, 1, 2)));
} // namespace plat

// DORVO_LOG(format, ...): one line through the log, formatted as printf does (and checked so).
#define DORVO_LOG(...) ::plat::WriteLog(__VA_ARGS__)
