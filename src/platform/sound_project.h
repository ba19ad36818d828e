// The sound project file ("QUORBSound.fev"): our own small text format. One statement a line,
// '#' starts a comment, words are separated by blanks, names may not contain blanks or '/':
//
//   project QUORBSound
//   group GUI
//       event ButtonPress
//           file Click.wav        (relative to the project file's folder)
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

struct SoundProjectDesc
{
    std::string name;
    std::vector<std::string> groups; // full paths, every nesting level
    std::vector<SoundEventDesc> events;
};

// Parses a project text. On error returns false and sets error to one line naming the source
// (for messages), the line number and what was wrong.
bool ParseSoundProject(const std::string& text, const std::string& sourceName, const std::string& folder,
                       SoundProjectDesc& project, std::string& error);
} // namespace plat
