#include "game/files/GameDataFiles.h"

#include "common/FaultTally.h"
#include "common/XmlFile.h"
#include "common/XmlUtil.h"
#include "engine/ReadStringList.h"
#include "game/files/GameFileReport.h"
#include "game/files/Profile.h"
#include "game/files/SaveXmlAtomically.h"
#include "game/room/CPuzzle.h"
#include "game/room/RoomData.h"
#include "game/room/RoomEnvironment.h"
#include "platform/files.h"
#include "platform/log.h"

#include <tinyxml.h>

namespace QUORB
{
namespace
{
// The record element of a game file, or null with the line that says why. The document is
// named after the file so the readers' lines name it.
const TiXmlElement* LoadRecord(TiXmlDocument& document, const std::string& path)
{
    std::string error;
    if (!XmlLoadFile(path, document, error, kXmlGameFileLimits))
    {
        DORVO_LOG("LoadRecord: %s; nothing is read from it", error.c_str());
        return nullptr;
    }
    document.SetValue(path);
    const TiXmlElement* root = document.RootElement();
    const TiXmlElement* record = root != nullptr ? root->FirstChildElement() : nullptr;
    if (record == nullptr)
        ReportGameFileFault("LoadRecord", root != nullptr ? static_cast<const TiXmlNode*>(root) : &document,
                            "the file holds no record element; nothing is read from it");
    return record;
}

// The common frame with the record written by `write` into its "File" root, as the bytes of the
// file.
template <class Write> bool RecordBytes(std::string& bytes, Write write)
{
    TiXmlDocument document;
    document.InsertEndChild(TiXmlDeclaration("1.0", "", ""));
    TiXmlNode* root = document.InsertEndChild(TiXmlElement("File"));
    if (!write(root))
        return false;
    // Names with leading, trailing or doubled blanks read back as they were.
    XmlKeepTexts(root);
    return XmlDocumentBytes(document, bytes);
}

template <class Write> bool SaveRecord(const std::string& path, Write write)
{
    std::string bytes;
    if (!RecordBytes(bytes, write))
        return false;
    std::string error;
    if (!plat::SaveRunFile(path, bytes, plat::SaveKind::Data, error))
    {
        DORVO_LOG("SaveRecord: %s; the old one is kept", error.c_str());
        return false;
    }
    return true;
}
} // namespace

bool WriteStringList(TiXmlNode* parent, const std::string& listName, const std::string& itemName,
                     const std::vector<std::string>& items)
{
    TiXmlNode* list = XmlWriteListElement(parent, listName, static_cast<int>(items.size()));
    if (list == nullptr)
        return false;
    for (const std::string& item : items)
        XmlWriteString(list, item, itemName);
    return true;
}

std::uint32_t CheckedRecordCount(const TiXmlNode* countNode, std::uint32_t count, const std::string& what)
{
    const auto limit = static_cast<std::uint32_t>(kMaxStringListSize);
    const std::uint32_t wanted = count < limit ? count : limit;
    // Elements after the count, up to one past what will be read: enough to know whether
    // fewer follow, and never a walk longer than the limit.
    std::uint32_t present = 0;
    for (const TiXmlNode* next = XmlNextSiblingElement(countNode); next != nullptr && present <= wanted;
         next = XmlNextSiblingElement(next))
        ++present;
    if (count > limit)
    {
        const std::uint32_t read = present < limit ? present : limit;
        ReportGameFileFault("CheckedRecordCount", countNode,
                            what + " " + std::to_string(count) + " is above the largest count (" +
                                std::to_string(limit) + "); " +
                                (present > limit ? "only the first " + std::to_string(read)
                                                 : "the " + std::to_string(read) + " present") +
                                " entries are read");
        return read;
    }
    if (present < count)
        ReportGameFileFault("CheckedRecordCount", countNode,
                            what + " " + std::to_string(count) + " but only " + std::to_string(present) +
                                " entries follow; those are read");
    return count;
}

bool LoadRoomDataFile(RoomData& record, const std::string& path)
{
    common::FaultTally tally("LoadRoomDataFile", path); // a flood of one fault is a few lines
    TiXmlDocument document;
    const TiXmlElement* element = LoadRecord(document, path);
    return element != nullptr && RoomData::Read(element, record);
}

bool SaveRoomDataFile(const RoomData& record, const std::string& path)
{
    return SaveRecord(path, [&](TiXmlNode* root) { return RoomData::Write(root, record); });
}

bool LoadEnvironmentFile(std::vector<std::uint32_t>& gobIDs, const std::string& path)
{
    common::FaultTally tally("LoadEnvironmentFile", path); // a flood of one fault is a few lines
    TiXmlDocument document;
    const TiXmlElement* element = LoadRecord(document, path);
    return element != nullptr && RoomEnvironment::Read(gobIDs, element);
}

bool SaveEnvironmentFile(const std::vector<std::uint32_t>& gobIDs, const std::string& path)
{
    return SaveRecord(path, [&](TiXmlNode* root) { return RoomEnvironment::Write(gobIDs, root); });
}

bool LoadPuzzleFile(CPuzzle& puzzle, const std::string& path)
{
    common::FaultTally tally("LoadPuzzleFile", path); // a flood of one fault is a few lines
    TiXmlDocument document;
    const TiXmlElement* element = LoadRecord(document, path);
    return element != nullptr && puzzle.Read(element);
}

bool SavePuzzleFile(const CPuzzle& puzzle, const std::string& path)
{
    return SaveRecord(path, [&](TiXmlNode* root) { return puzzle.Write(root); });
}

bool PuzzleFileBytes(const CPuzzle& puzzle, std::string& bytes)
{
    return RecordBytes(bytes, [&](TiXmlNode* root) { return puzzle.Write(root); });
}

bool RoomDataFileBytes(const RoomData& record, std::string& bytes)
{
    return RecordBytes(bytes, [&](TiXmlNode* root) { return RoomData::Write(root, record); });
}

bool ProfileFileBytes(const Profile& profile, std::string& bytes)
{
    return RecordBytes(bytes, [&](TiXmlNode* root) { return Profile::Write(root, profile); });
}

bool LoadProfileFile(Profile& profile, const std::string& path)
{
    common::FaultTally tally("LoadProfileFile", path); // a flood of one fault is a few lines
    TiXmlDocument document;
    const TiXmlElement* element = LoadRecord(document, path);
    return element != nullptr && Profile::Read(element, profile);
}

bool SaveProfileFile(const Profile& profile, const std::string& path)
{
    return SaveRecord(path, [&](TiXmlNode* root) { return Profile::Write(root, profile); });
}
} // namespace QUORB
