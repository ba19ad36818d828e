#include "game/files/GameFileReport.h"

#include "common/FaultTally.h"
#include "platform/log.h"

#include <tinyxml.h>

namespace QUORB
{
void ReportGameFileFault(const char* where, const TiXmlNode* node, const std::string& what)
{
    const TiXmlDocument* document = node != nullptr ? node->GetDocument() : nullptr;
    std::string file = document != nullptr ? document->ValueStr() : std::string();
    if (file.empty())
        file = "<game data>";
    const bool placed = node != nullptr && node->Row() > 0;
    const std::string line =
        std::string(where) + ": " +
        (placed ? file + ":" + std::to_string(node->Row()) : file + " (position unknown)") + ": " + what;
    if (common::FaultTally* tally = common::FaultTally::Current())
        tally->Report(common::FaultTally::KindOf(what), line,
                      placed ? "line " + std::to_string(node->Row()) : std::string());
    else
        plat::WriteLogLine(line);
}
} // namespace QUORB
