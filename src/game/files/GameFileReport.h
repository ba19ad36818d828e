// The one line a game data reader writes about bad input: "<where>: <file>:<line>: <what was
// wrong>; <what is done instead>", the file being the document the element came from (its
// loader names the document after the file) and the line the element's own. While a loader's
// common::FaultTally is open, each kind of fault is said a few times and the rest counted.
#pragma once

#include <string>

class TiXmlNode;

namespace QUORB
{
// `where` names the reader ("CPuzzle::Read"); `what` ends with what is done instead.
void ReportGameFileFault(const char* where, const TiXmlNode* node, const std::string& what);
} // namespace QUORB
