#include "game/widgets/CQUORBData.h"

namespace QUORB
{
void CQUORBData::ApplyToGob()
{
    RefreshMagnetism();
    SetDensity(m_density);
}
} // namespace QUORB
