#include "game/GameFileReport.h"

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
    if (node != nullptr && node->Row() > 0)
        std::cerr << file << ":" << node->Row() << ": " << what << "\n";
    else
        std::cerr << file << ": " << what << " (position unknown)\n";
}
} // namespace QUORB
