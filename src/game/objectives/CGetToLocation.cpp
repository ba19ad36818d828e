#include "game/objectives/CGetToLocation.h"

#include "common/XmlUtil.h"
#include "common/math/Sphere.h"
#include "engine/Gob.h"
#include "engine/SoundSystem.h"
#include "engine/gfx/mesh/GfxModelComp.h"
#include "game/objectives/LocationDwellTime.h"
#include "platform/sound_events.h"

#include <tinyxml.h>

using dorvo::gfx::GfxModelComp;

namespace QUORB
{
namespace
{
GfxModelComp* ModelOf(Gob* gob)
{
    return gob != nullptr ? static_cast<GfxModelComp*>(gob->GetComponent(GfxModelComp::StaticTypeID()))
                          : nullptr;
}
} // namespace

CGetToLocation::CGetToLocation()
{
    m_dwell.SetDuration(LocationDwellTime);
    m_glow.SetDuration(kGlowDelay);
}

IObjective* CGetToLocation::Clone() const
{
    return new CGetToLocation(*this);
}

void CGetToLocation::ApplyToGob() {}

bool CGetToLocation::CheckQuorbs() const
{
    return AnyQuorbOutsidePlayArea();
}

void CGetToLocation::Update(double, float)
{
    if (CheckQuorbs())
    {
        m_state = Failed;
        return;
    }
    math::Sphere location;
    if (!GetSphere(GetOwnerGob(), location))
        return;

    const std::vector<Gob*> quorbs = GetQuorbGobs();
    bool inside = false;
    if (m_quorbCheckType == FirstQuorb)
    {
        if (quorbs.empty())
        {
            m_state = Failed;
            return;
        }
        math::Sphere quorb;
        inside = GetSphere(quorbs.front(), quorb) && location.Contains(quorb);
    }
    else if (m_quorbCheckType == EveryQuorb)
    {
        inside = true;
        for (const Gob* gob : quorbs)
        {
            math::Sphere quorb;
            if (!GetSphere(gob, quorb) || !location.Contains(quorb))
                inside = false;
        }
    }
    else
        return;

    if (!inside)
    {
        if (m_quorbCheckType == FirstQuorb)
            StopSound();
        m_dwell.Stop();
        if (m_inside)
            GlowOff();
        m_inside = false;
        return;
    }
    if (!m_dwell.IsRunning())
    {
        if (m_quorbCheckType == FirstQuorb)
            StartSound();
        m_dwell.Restart(LocationDwellTime);
        m_glow.Restart(kGlowDelay);
        m_inside = true;
        return;
    }
    // The frame of entry starts the count; each frame of play inside after it adds one step.
    m_dwell.AdvanceFrame();
    m_glow.AdvanceFrame();
    if (m_dwell.IsExpired())
        m_state = Completed;
    else if (m_glow.IsRunning() && m_glow.IsExpired())
    {
        GlowOn();
        m_glow.Stop();
    }
    m_inside = true;
}

void CGetToLocation::Reset()
{
    GlowOff();
    m_state = Running;
    m_dwell.Stop();
    m_inside = false;
    StopSound();
}

void CGetToLocation::Begin()
{
    dorvo::SoundSystem::Instance().GetEvent(kInsideSound, nullptr, &m_pSound);
}

void CGetToLocation::End()
{
    StopSound();
}

// The model's own effect, technique and transparency go into its saved fields when the glow
// comes on (unless it already glows), so the glow going off gives them back whatever the model
// was described with. A model that does not glow is left alone by GlowOff.
void CGetToLocation::GlowOn()
{
    GfxModelComp* model = ModelOf(GetOwnerGob());
    if (model == nullptr)
        return;
    if (model->GetFXFile() != kGlowEffect)
    {
        model->SetSavedFXFile(model->GetFXFile());
        model->SetSavedTechnique(model->GetTechnique());
        model->SetSavedIsTransparent(model->IsTransparent());
    }
    model->SetFXFile(kGlowEffect);
    model->SetTechnique(kGlowTechnique);
    model->SetTransparent(true);
}

void CGetToLocation::GlowOff()
{
    GfxModelComp* model = ModelOf(GetOwnerGob());
    if (model == nullptr || model->GetFXFile() != kGlowEffect)
        return;
    // The saved names are the ones GlowOn kept, empty ones included.
    model->SetFXFile(model->GetSavedFXFile());
    model->SetTechnique(model->GetSavedTechnique());
    model->SetTransparent(model->GetSavedIsTransparent());
}

void CGetToLocation::StartSound()
{
    if (m_pSound != nullptr)
        m_pSound->start();
}

void CGetToLocation::StopSound()
{
    if (m_pSound != nullptr)
        m_pSound->stop(false);
}

void CGetToLocation::WriteValues(TiXmlElement& element) const
{
    XmlWriteEnum(&element, m_quorbCheckType, "QuorbCheckType");
}

void CGetToLocation::ReadValues(const TiXmlElement& element)
{
    XmlReadInt(XmlFirstChildElement(&element), &m_quorbCheckType);
}
} // namespace QUORB
