#include "platform/sound_project.h"

#include "platform/files.h"

#include <cmath>
#include <sstream>
#include <unordered_set>

namespace plat
{
namespace
{
bool ParseFloat(const std::string& word, float& value)
{
    std::istringstream in(word);
    in >> value;
    return in && in.peek() == std::char_traits<char>::eof() && std::isfinite(value);
}

bool ParseFlag(const std::string& word, bool& value)
{
    if (word != "0" && word != "1")
        return false;
    value = word == "1";
    return true;
}

// Names of the project, groups, events and parameters: short, so that a path, which joins the
// names of every level, stays short too.
constexpr std::size_t kMaxNameLength = 64;

bool IsName(const std::string& word)
{
    return !word.empty() && word.size() <= kMaxNameLength && word.find('/') == std::string::npos &&
           word.find('\\') == std::string::npos;
}

// Parameters an event may have; more would only make each lookup slower.
constexpr std::size_t kMaxParameters = 32;

// A name in quotes for an error line, cut short when it is long: a line stays readable whatever
// the file holds.
std::string Quoted(const std::string& name)
{
    constexpr std::size_t kShown = 64;
    return "\"" + (name.size() <= kShown ? name : name.substr(0, kShown) + "...") + "\"";
}

std::string JoinFolder(const std::string& folder, const std::string& file)
{
    if (folder.empty())
        return file;
    const char last = folder.back();
    return (last == '/' || last == '\\') ? folder + file : folder + "/" + file;
}
} // namespace

bool ParseSoundProject(const std::string& text, const std::string& sourceName, const std::string& folder,
                       SoundProjectDesc& project, std::string& error)
{
    project = SoundProjectDesc();
    std::vector<std::string> groupStack; // full paths of the open groups
    SoundEventDesc* event = nullptr;     // the open event
    SoundEventDesc leftOut;              // an open event past kMaxSoundEvents, parsed and dropped
    std::unordered_set<std::string> eventPaths;
    std::size_t groupsCut = 0, eventsCut = 0;
    int firstCutLine = 0;
    std::istringstream lines(text);
    std::string line;
    int number = 0;
    auto fail = [&](const std::string& what)
    {
        error = sourceName + ":" + std::to_string(number) + ": " + what;
        return false;
    };

    while (std::getline(lines, line))
    {
        ++number;
        const std::size_t hash = line.find('#');
        if (hash != std::string::npos)
            line.erase(hash);
        std::istringstream in(line);
        std::vector<std::string> words;
        for (std::string word; in >> word;)
            words.push_back(word);
        if (words.empty())
            continue;
        const std::string& keyword = words[0];
        const std::size_t args = words.size() - 1;

        if (keyword == "project")
        {
            if (!project.name.empty())
                return fail("a second \"project\" line");
            if (args != 1 || !IsName(words[1]))
                return fail("\"project\" needs one name (at most 64 characters, no '/')");
            project.name = words[1];
            continue;
        }
        if (project.name.empty())
            return fail("the file must begin with \"project <name>\"");

        if (keyword == "group")
        {
            if (event)
                return fail("\"group\" inside an event");
            if (args != 1 || !IsName(words[1]))
                return fail("\"group\" needs one name (at most 64 characters, no '/')");
            if (groupStack.size() >= kMaxSoundGroupDepth)
                return fail("groups nested deeper than " + std::to_string(kMaxSoundGroupDepth));
            const std::string parent = groupStack.empty() ? project.name : groupStack.back();
            groupStack.push_back(parent + "/" + words[1]);
            if (project.groups.size() < kMaxSoundGroups)
                project.groups.push_back(groupStack.back());
            else if (groupsCut++ == 0 && firstCutLine == 0)
                firstCutLine = number;
        }
        else if (keyword == "event")
        {
            if (event)
                return fail("\"event\" inside an event");
            if (groupStack.empty())
                return fail("\"event\" outside a group");
            if (args != 1 || !IsName(words[1]))
                return fail("\"event\" needs one name (at most 64 characters, no '/')");
            const std::string path = groupStack.back() + "/" + words[1];
            if (!eventPaths.insert(path).second)
                return fail("event " + Quoted(path) + " defined twice");
            if (project.events.size() < kMaxSoundEvents)
            {
                project.events.emplace_back();
                event = &project.events.back();
            }
            else
            {
                if (eventsCut++ == 0 && firstCutLine == 0)
                    firstCutLine = number;
                leftOut = SoundEventDesc();
                event = &leftOut;
            }
            event->path = path;
        }
        else if (keyword == "end")
        {
            if (args != 0)
                return fail("\"end\" takes nothing");
            if (event)
            {
                if (event->file.empty())
                    return fail("event " + Quoted(event->path) + " names no \"file\"");
                event = nullptr;
            }
            else if (!groupStack.empty())
                groupStack.pop_back();
            else
                return fail("\"end\" with nothing open");
        }
        else if (!event)
        {
            return fail("unknown statement " + Quoted(keyword) + " outside an event");
        }
        else if (keyword == "file")
        {
            if (args != 1)
                return fail("\"file\" needs one file name");
            if (!IsConfinedName(words[1]))
                return fail("\"file\" " + Quoted(words[1]) + " leaves the project's folder");
            event->file = JoinFolder(folder, words[1]);
        }
        else if (keyword == "volume")
        {
            if (args != 1 || !ParseFloat(words[1], event->volume) || event->volume < 0.0f ||
                event->volume > 1.0f)
                return fail("\"volume\" needs a number from 0 to 1");
        }
        else if (keyword == "loop")
        {
            if (args != 1 || !ParseFlag(words[1], event->loop))
                return fail("\"loop\" needs 0 or 1");
        }
        else if (keyword == "3d")
        {
            if (args != 1 || !ParseFlag(words[1], event->is3D))
                return fail("\"3d\" needs 0 or 1");
        }
        else if (keyword == "distance")
        {
            if (args != 2 || !ParseFloat(words[1], event->minDistance) ||
                !ParseFloat(words[2], event->maxDistance) || event->minDistance < 0.0f ||
                event->maxDistance <= event->minDistance)
                return fail("\"distance\" needs a minimum and a larger maximum");
        }
        else if (keyword == "parameter")
        {
            SoundParameterDesc parameter;
            if (args != 3 || !IsName(words[1]) || !ParseFloat(words[2], parameter.minimum) ||
                !ParseFloat(words[3], parameter.maximum) || parameter.maximum < parameter.minimum)
                return fail("\"parameter\" needs a name (at most 64 characters), a minimum and a maximum not "
                            "below it");
            parameter.name = words[1];
            if (event->parameters.size() >= kMaxParameters)
                return fail("more than " + std::to_string(kMaxParameters) + " parameters");
            for (const SoundParameterDesc& other : event->parameters)
                if (other.name == parameter.name)
                    return fail("parameter " + Quoted(parameter.name) + " given twice");
            event->parameters.push_back(parameter);
        }
        else
        {
            return fail("unknown statement " + Quoted(keyword));
        }
    }

    if (project.name.empty())
        return fail("no \"project\" line");
    if (event)
        return fail("event " + Quoted(event->path) + " is not closed with \"end\"");
    if (!groupStack.empty())
        return fail("group " + Quoted(groupStack.back()) + " is not closed with \"end\"");
    if (groupsCut + eventsCut > 0)
    {
        std::string what;
        if (groupsCut > 0)
            what = std::to_string(groupsCut) + " groups past the first " + std::to_string(kMaxSoundGroups);
        if (eventsCut > 0)
            what += (what.empty() ? "" : " and ") + std::to_string(eventsCut) + " events past the first " +
                    std::to_string(kMaxSoundEvents);
        project.cut = sourceName + ":" + std::to_string(firstCutLine) + ": " + what + " are left out";
    }
    return true;
}
} // namespace plat
