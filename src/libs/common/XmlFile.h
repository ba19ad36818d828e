// The one way XML files are read. A file is read through the path helper's data-file reader
// (a regular file within the byte limit of its kind, XmlLimits), refused when it is not valid UTF-8 or nests
// elements deeper than kMaxXmlDepth or holds more items than its kind may, and only then handed to TinyXML,
// as a copy followed by NUL bytes so no damaged ending can lead the parser past the buffer. Every refusal is
// one line naming the file and, where known, the line:
// "<file>:<line>: what".
#pragma once

#include <cstddef>
#include <string>

class TiXmlDocument;

// Deepest element nesting a file may have. TinyXML parses, prints and deletes elements
// recursively, so a file of thousands of nested elements would run the stack out; no data
// file comes near this.
constexpr int kMaxXmlDepth = 256;

// What one kind of XML file may hold. A file past its bytes is refused before it is read, and
// one past its items (elements, comments and the other nodes TinyXML makes) before TinyXML
// builds a node of it, so a small file of empty elements cannot cost gigabytes of tree.
struct XmlLimits
{
    std::size_t maxBytes;
    std::size_t maxItems;
    const char* kind; // for the refusal: "<file>: ... more than the 4194304 bytes <kind> may hold"
};

// Any XML file of the engine and the game: templates, archetypes, the engine configuration, the
// settings. The largest shipped one is a few KB.
constexpr XmlLimits kXmlDataLimits = {std::size_t{8} << 20, 300000, "an XML data file"};
// The files players share (rooms, room environments, puzzles, profiles): a puzzle of the 1,000
// objects its reader takes is about 700 KB and 20,000 elements, and a list (the rooms a profile
// unlocks) holds at most 65,536 entries.
constexpr XmlLimits kXmlGameFileLimits = {std::size_t{4} << 20, 70000, "a room, puzzle or profile file"};

// Loads and parses a file into `document` (cleared first). On failure returns false, leaves
// `document` empty and sets `error` to the one line to report (without a line break).
bool XmlLoadFile(const std::string& fileName, TiXmlDocument& document, std::string& error,
                 const XmlLimits& limits = kXmlDataLimits);

// The same for text already in memory; `sourceName` stands for the file in the error line.
bool XmlParseText(const std::string& text, const std::string& sourceName, TiXmlDocument& document,
                  std::string& error, const XmlLimits& limits = kXmlDataLimits);
