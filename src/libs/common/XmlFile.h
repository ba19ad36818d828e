// The one way XML files are read. A file is read through the path helper's data-file reader
// (a regular file of at most 64 MB), refused when it is not valid UTF-8 or nests elements deeper than
// kMaxXmlDepth, and only then handed to TinyXML, as a copy followed by NUL bytes so no damaged ending can
// lead the parser past the buffer. Every refusal is one line naming the file and, where known, the line:
// "<file>:<line>: what".
#pragma once

#include <string>

class TiXmlDocument;

// Deepest element nesting a file may have. TinyXML parses, prints and deletes elements
// recursively, so a file of thousands of nested elements would run the stack out; no data
// file comes near this.
constexpr int kMaxXmlDepth = 256;

// Loads and parses a file into `document` (cleared first). On failure returns false, leaves
// `document` empty and sets `error` to the one line to report (without a line break).
bool XmlLoadFile(const std::string& fileName, TiXmlDocument& document, std::string& error);

// The same for text already in memory; `sourceName` stands for the file in the error line.
bool XmlParseText(const std::string& text, const std::string& sourceName, TiXmlDocument& document,
                  std::string& error);
