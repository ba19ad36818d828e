// The sound project file ("QUORBSound.fev"): our own small text format. One statement a line,
// '#' starts a comment, words are separated by blanks, names (at most 64 characters) may not
// contain blanks or '/':
//
//   project QUORBSound
//   group GUI
//       event ButtonPress
//           file Click.wav        (relative to the project file's folder, never leaving it)
//           volume 0.8            (0 to 1, default 1)
//           loop 0                (0 or 1, default 0)
//           3d 1                  (0 or 1, default 0)
//           distance 1 50         (3D: full volume up to the first, silent from the second)
//           parameter speed 0 10  (name, minimum, maximum; starts at the minimum)
//       end
//   end
//
// Groups nest; an event's path is project/group/.../event, e.g. "QUORBSound/GUI/ButtonPress".
#pragma once

#include <cstddef>
#include <string>
#include <vector>

namespace plat
{
struct SoundParameterDesc
{
    std::string name;
    float minimum = 0.0f;
    float maximum = 1.0f;
};

struct SoundEventDesc
{
    std::string path; // full path
    std::string file; // WAV file, resolved against the project's folder
    float volume = 1.0f;
    bool loop = false;
    bool is3D = false;
    float minDistance = 1.0f;   // world units
    float maxDistance = 100.0f; // world units
    std::vector<SoundParameterDesc> parameters;
};

// How far a project may go. Groups nest at most kMaxSoundGroupDepth deep (a deeper group is an
// error, as an XML file nested too deep is); a project holds at most kMaxSoundGroups groups and
// kMaxSoundEvents events, and those past the limits are left out with one line (`cut`). The
// game's project has five groups one deep and ten events.
constexpr std::size_t kMaxSoundGroupDepth = 32;
constexpr std::size_t kMaxSoundGroups = 1024;
constexpr std::size_t kMaxSoundEvents = 4096;

struct SoundProjectDesc
{
    std::string name;
    std::vector<std::string> groups; // full paths, every nesting level
    std::vector<SoundEventDesc> events;
    // Empty, or the one line saying which groups and events past the limits were left out.
    std::string cut;
};

// Parses a project text, in time and memory in proportion to its length. On error returns false
// and sets error to one line naming the source (for messages), the line number and what was
// wrong. A "file" must stay inside the project's folder (plat::IsConfinedName).
bool ParseSoundProject(const std::string& text, const std::string& sourceName, const std::string& folder,
                       SoundProjectDesc& project, std::string& error);
} // namespace plat
