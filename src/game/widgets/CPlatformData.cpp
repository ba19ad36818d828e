#include "game/widgets/CPlatformData.h"

namespace QUORB
{
void CPlatformData::ApplyToGob()
{
    RefreshMagnetism();
    SetDensity(m_density);
    ApplyFrictions();
}
} // namespace QUORB
