#include "game/QUORBSettings.h"

namespace QUORB
{
const char* const QUORBSettings::kFileName = "QUORBSettings.xml";

bool LoadSettingsFile(QUORBSettings&, const std::string&)
{
    return false;
}
} // namespace QUORB
