// A 2D screen unit at an integer position in back-buffer pixels (origin top left, y down),
// drawn relative to its parent: its absolute position is its position plus the parent offset
// (the parent's absolute position). So far it only places itself; drawing comes with the GUI.
#pragma once

namespace dorvo
{
namespace gfx
{
class CSprite
{
public:
    CSprite() = default;
    virtual ~CSprite();

    CSprite(const CSprite&) = delete;
    CSprite& operator=(const CSprite&) = delete;

    // Pixels.
    virtual void SetOffset(int x, int y);
    virtual void SetPosition(int x, int y);

    int GetPositionX() const { return m_positionX; }
    int GetPositionY() const { return m_positionY; }
    int GetOffsetX() const { return m_offsetX; }
    int GetOffsetY() const { return m_offsetY; }

protected:
    int m_positionX = 0;
    int m_positionY = 0;
    int m_offsetX = 0; // the parent's absolute position
    int m_offsetY = 0;
};
} // namespace gfx
} // namespace dorvo
