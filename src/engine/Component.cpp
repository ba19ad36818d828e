#include "engine/Component.h"

#include "common/HashName.h"
#include "engine/Gob.h"

namespace
{
// POVComp's type id is by definition the hash of its registered name.
const std::uint32_t kPOVCompTypeID = HashName("POVComp");
} // namespace

Component::~Component() = default;

bool Component::Initialize(Gob* owner)
{
    m_pOwner = owner;
    m_pPOV = owner != nullptr ? owner->GetComponent(kPOVCompTypeID) : nullptr;
    return true;
}

const Gob* Component::GetOwner() const
{
    return m_pOwner;
}

Gob* Component::GetOwner()
{
    return m_pOwner;
}

void Component::Update(float) {}

bool Component::OnLostDevice()
{
    return true;
}

bool Component::OnResetDevice()
{
    return true;
}

const std::string& Component::GetOwnerName() const
{
    static const std::string s_noName;
    return m_pOwner != nullptr ? m_pOwner->GetName() : s_noName;
}
