#include "game/files/SaveXmlAtomically.h"

#include "platform/files.h"
#include "platform/log.h"

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
    std::string bytes, error;
    if (!XmlDocumentBytes(document, bytes))
        return false;
    if (plat::SaveRunFile(path, bytes, plat::SaveKind::Data, error))
        return true;
    DORVO_LOG("SaveXmlAtomically: %s; the old file is kept", error.c_str());
    return false;
}
} // namespace QUORB
