// Every game file (rooms, environments, puzzles, profiles, settings) is saved through here, so
// a crash or a full disk never leaves half a file: the document's bytes, exactly as TinyXML's
// own save writes them, go through plat::SaveRunFile (confined to the run folder, atomic).
#pragma once

#include <string>

class TiXmlDocument;

namespace QUORB
{
// True when the file was written; false, with one line, leaves the old file as it was.
bool SaveXmlAtomically(const TiXmlDocument& document, const std::string& path);
// The bytes TinyXML's own save would write for the document, for a group of files saved together
// (plat::WriteFilesAtomically); false when it could not be printed.
bool XmlDocumentBytes(const TiXmlDocument& document, std::string& bytes);
} // namespace QUORB
