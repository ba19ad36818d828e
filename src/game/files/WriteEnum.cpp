#include "game/files/WriteEnum.h"

#include "common/XmlUtil.h"

#include <tinyxml.h>

namespace QUORB
{
bool WriteEnum(TiXmlNode* parent, int value, const std::string& name)
{
    if (parent == nullptr || parent->ToElement() == nullptr)
        return false;
    return XmlWriteEnum(parent, value, name);
}
} // namespace QUORB
