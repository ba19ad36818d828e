#include "platform/sound_project.h"

#include <cmath>
#include <sstream>

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

bool IsName(const std::string& word)
{
    return !word.empty() && word.find('/') == std::string::npos && word.find('\\') == std::string::npos;
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
                return fail("\"project\" needs one name");
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
                return fail("\"group\" needs one name");
            const std::string parent = groupStack.empty() ? project.name : groupStack.back();
            groupStack.push_back(parent + "/" + words[1]);
            project.groups.push_back(groupStack.back());
        }
        else if (keyword == "event")
        {
            if (event)
                return fail("\"event\" inside an event");
            if (groupStack.empty())
                return fail("\"event\" outside a group");
            if (args != 1 || !IsName(words[1]))
                return fail("\"event\" needs one name");
            project.events.emplace_back();
            event = &project.events.back();
            event->path = groupStack.back() + "/" + words[1];
        }
        else if (keyword == "end")
        {
            if (args != 0)
                return fail("\"end\" takes nothing");
            if (event)
            {
                if (event->file.empty())
                    return fail("event \"" + event->path + "\" names no \"file\"");
                event = nullptr;
            }
            else if (!groupStack.empty())
                groupStack.pop_back();
            else
                return fail("\"end\" with nothing open");
        }
        else if (!event)
        {
            return fail("unknown statement \"" + keyword + "\" outside an event");
        }
        else if (keyword == "file")
        {
            if (args != 1)
                return fail("\"file\" needs one file name");
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
                return fail("\"parameter\" needs a name, a minimum and a maximum not below it");
            parameter.name = words[1];
            for (const SoundParameterDesc& other : event->parameters)
                if (other.name == parameter.name)
                    return fail("parameter \"" + parameter.name + "\" given twice");
            event->parameters.push_back(parameter);
        }
        else
        {
            return fail("unknown statement \"" + keyword + "\"");
        }
    }

    if (project.name.empty())
        return fail("no \"project\" line");
    if (event)
        return fail("event \"" + event->path + "\" is not closed with \"end\"");
    if (!groupStack.empty())
        return fail("group \"" + groupStack.back() + "\" is not closed with \"end\"");
    for (std::size_t i = 0; i < project.events.size(); ++i)
        for (std::size_t j = i + 1; j < project.events.size(); ++j)
            if (project.events[i].path == project.events[j].path)
                return fail("event \"" + project.events[i].path + "\" defined twice");
    return true;
}
} // namespace plat
