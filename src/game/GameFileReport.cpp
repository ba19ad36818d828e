#include "game/GameFileReport.h"

#include "common/FaultTally.h"

#include <tinyxml.h>

#include <iostream>

namespace QUORB
{
void ReportGameFileFault(const TiXmlNode* node, const std::string& what)
{
    const TiXmlDocument* document = node != nullptr ? node->GetDocument() : nullptr;
    std::string file = document != nullptr ? document->ValueStr() : std::string();
    if (file.empty())
        file = "<game data>";
    const bool placed = node != nullptr && node->Row() > 0;
    const std::string line = placed ? file + ":" + std::to_string(node->Row()) + ": " + what
                                    : file + ": " + what + " (position unknown)";
    if (common::FaultTally* tally = common::FaultTally::Current())
        tally->Report(common::FaultTally::KindOf(what), line,
                      placed ? "line " + std::to_string(node->Row()) : std::string());
    else
        std::cerr << line << "\n";
}
} // namespace QUORB
