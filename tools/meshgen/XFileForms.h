// The binary and compressed copies of a generated mesh, for the tests of the .X reader's other
// forms: the text that XFileWriter writes turned into the binary token stream ("bin ", 32- or
// 64-bit floats), and either form packed into MSZIP blocks ("tzip", "bzip"). The same model
// always gives the same bytes (with the zlib that scripts/setup installs).
#pragma once

#include "MeshModel.h"

#include <string>

namespace meshgen
{
// The binary form of a text .X file as WriteXText writes it: names, strings, integers (words
// without a decimal point) and floats (words with one). False with a one-line reason when the
// text holds something else.
bool TextToBinary(const std::string& text, int floatBits, std::string& binary, std::string& error);

// A text or binary .X file packed into MSZIP blocks of 32 KB, each deflated with the blocks
// before it as its dictionary. The header's format becomes "tzip" or "bzip".
bool Compress(const std::string& file, std::string& compressed, std::string& error);

// The forms written for one model: <name>Binary.x (32-bit floats), <name>Binary64.x,
// <name>TextZip.x and <name>BinaryZip.x, into folder; their names are appended to written.
bool WriteXForms(const XModel& model, const std::string& folder, std::vector<std::string>& written,
                 std::string& error);
} // namespace meshgen
