#include "game/objectives/CTimeLimit.h"

#include "common/XmlUtil.h"
#include "engine/SoundSystem.h"
#include "engine/phy/FiniteXml.h"

#include <tinyxml.h>

namespace QUORB
{
IObjective* CTimeLimit::Clone() const
{
    return new CTimeLimit(*this);
}

void CTimeLimit::Arm()
{
    m_countdown.Restart(m_timeInterval);
    m_countdown.Stop();
}

void CTimeLimit::ApplyToGob()
{
    Arm();
}

void CTimeLimit::Begin()
{
    m_countdown.Restart(m_timeInterval);
}

void CTimeLimit::Reset()
{
    m_state = Running;
    Arm();
}

void CTimeLimit::Update(double, float)
{
    m_countdown.AdvanceFrame();
    if (!m_countdown.IsExpired())
        return;
    if (m_state == Running)
        dorvo::SoundSystem::Instance().PlayEvent(kTimerDoneSound, nullptr, nullptr);
    m_state = Failed;
    m_countdown.Stop();
    m_countdown.SetDuration(m_timeInterval);
}

void CTimeLimit::WriteValues(TiXmlElement& element) const
{
    XmlWriteFloat(&element, m_timeInterval, "TimeInterval");
}

void CTimeLimit::ReadValues(const TiXmlElement& element)
{
    dorvo::phy::XmlReadFiniteFloat(XmlFirstChildElement(&element), &m_timeInterval, GetElementName(),
                                   "TimeInterval");
}
} // namespace QUORB
