#include "game/files/SaveXmlAtomically.h"

#include "platform/files.h"

#include <tinyxml.h>

#include <cstdio>
#include <cstdlib>

namespace QUORB
{
bool XmlDocumentBytes(const TiXmlDocument& document, std::string& bytes)
{
    // TinyXML's save prints to a stream; a memory stream gives its bytes unchanged.
    char* buffer = nullptr;
    std::size_t size = 0;
    std::FILE* stream = open_memstream(&buffer, &size);
    if (stream == nullptr)
        return false;
    const bool printed = document.SaveFile(stream);
    const bool closed = std::fclose(stream) == 0;
    bytes = buffer != nullptr ? std::string(buffer, size) : std::string();
    std::free(buffer);
    return printed && closed;
}

bool SaveXmlAtomically(const TiXmlDocument& document, const std::string& path)
{
    std::string bytes;
    return XmlDocumentBytes(document, bytes) && plat::WriteFileAtomically(path, bytes);
}
} // namespace QUORB
