#include "engine/gfx/CSprite.h"

namespace dorvo
{
namespace gfx
{
CSprite::~CSprite() = default;

void CSprite::SetOffset(int x, int y)
{
    m_offsetX = x;
    m_offsetY = y;
}

void CSprite::SetPosition(int x, int y)
{
    m_positionX = x;
    m_positionY = y;
}
} // namespace gfx
} // namespace dorvo
