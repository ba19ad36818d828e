#include "game/files/IsSafeFileName.h"

#include <algorithm>
#include <cstring>

namespace QUORB
{
namespace
{
char Lower(char c)
{
    return c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c;
}

bool StartsWithIgnoringCase(const std::string& text, const std::string& prefix)
{
    if (text.size() < prefix.size())
        return false;
    for (std::size_t i = 0; i < prefix.size(); ++i)
        if (Lower(text[i]) != Lower(prefix[i]))
            return false;
    return true;
}

bool EndsWithXmlIgnoringCase(const std::string& name)
{
    static const char kXml[] = ".xml";
    if (name.size() < 4)
        return false;
    for (std::size_t i = 0; i < 4; ++i)
    {
        char c = name[name.size() - 4 + i];
        if (c >= 'A' && c <= 'Z')
            c = static_cast<char>(c - 'A' + 'a');
        if (c != kXml[i])
            return false;
    }
    return true;
}
} // namespace

bool EqualsIgnoringCase(const std::string& a, const std::string& b)
{
    return a.size() == b.size() && StartsWithIgnoringCase(a, b);
}

bool IsSafeFileName(const std::string& name)
{
    const std::size_t baseLength = EndsWithXmlIgnoringCase(name) ? name.size() - 4 : name.size();
    if (baseLength == 0 || name.size() > kMaxFileNameLength)
        return false;
    if (name[0] == '.' || name.find("..") != std::string::npos)
        return false;
    for (const char c : name)
    {
        const unsigned char byte = static_cast<unsigned char>(c);
        if (byte < 0x20 || byte == 0x7F || std::strchr("/\\:*?\"<>|", c) != nullptr)
            return false;
    }
    return true;
}

bool IsReservedFileName(FileKind kind, const std::string& name, const std::vector<std::string>& roomsMadeByUs,
                        bool madeByUs)
{
    std::vector<std::string> reservedRooms{"EmptyRoom.xml"};
    if (!madeByUs)
        reservedRooms.insert(reservedRooms.end(), roomsMadeByUs.begin(), roomsMadeByUs.end());
    switch (kind)
    {
    case FileKind::Profile:
        return EqualsIgnoringCase(name, "Blank.xml");
    case FileKind::Room:
        return std::any_of(reservedRooms.begin(), reservedRooms.end(),
                           [&name](const std::string& room) { return EqualsIgnoringCase(name, room); });
    case FileKind::Puzzle:
        return std::any_of(reservedRooms.begin(), reservedRooms.end(),
                           [&name](const std::string& room)
                           {
                               const std::string base =
                                   EndsWithXmlIgnoringCase(room) ? room.substr(0, room.size() - 4) : room;
                               return StartsWithIgnoringCase(name, base + "_Puzzle_");
                           });
    }
    return false;
}
} // namespace QUORB
