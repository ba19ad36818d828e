// Every game file (rooms, environments, puzzles, profiles, settings) is saved through here, so
// a crash or a full disk never leaves half a file: the document's bytes, exactly as TinyXML's
// own save writes them, go through plat::WriteFileAtomically.
#pragma once

#include <string>

class TiXmlDocument;

namespace QUORB
{
// True when the file was written; false leaves the old file as it was.
bool SaveXmlAtomically(const TiXmlDocument& document, const std::string& path);
} // namespace QUORB
