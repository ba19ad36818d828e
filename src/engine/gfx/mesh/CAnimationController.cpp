#include "engine/gfx/mesh/CAnimationController.h"

#include "engine/gfx/mesh/CAnimation.h"
#include "engine/gfx/mesh/CBone.h"
#include "engine/gfx/mesh/CMeshHierarchy.h"

#include <algorithm>

namespace dorvo
{
namespace gfx
{
CAnimationController::~CAnimationController()
{
    Clear();
}

CAnimationController::CAnimationController(const CAnimationController& other)
{
    *this = other;
}

CAnimationController& CAnimationController::operator=(const CAnimationController& other)
{
    if (this == &other)
        return *this;
    Clear();
    for (const auto& entry : other.m_animations)
        m_animations.emplace(entry.first, std::make_unique<CAnimation>(*entry.second));
    m_names = other.m_names;
    if (other.m_solver)
        m_solver.reset(other.m_solver->Clone());
    m_palette = other.m_palette;
    m_ticksPerSecond = other.m_ticksPerSecond;

    m_state = other.m_state;
    m_state.current = Remap(other, other.m_state.current);
    m_state.next = Remap(other, other.m_state.next);
    m_output = other.m_output;
    const bool ownPalette = other.m_output.palette && other.m_output.palette == other.m_palette.data();
    m_output.palette = ownPalette ? m_palette.data() : other.m_output.palette;
    return *this;
}

CAnimation* CAnimationController::Remap(const CAnimationController& other, CAnimation* theirs) const
{
    if (!theirs)
        return nullptr;
    for (const auto& entry : other.m_animations)
        if (entry.second.get() == theirs)
            return GetAnimation(entry.first);
    // Not one of theirs: it belongs to someone else, who keeps it alive.
    return theirs;
}

bool CAnimationController::AddAnimation(std::unique_ptr<CAnimation> animation)
{
    if (!animation)
        return false;
    const std::string name = animation->name;
    if (!m_animations.emplace(name, std::move(animation)).second)
        return false;
    m_names.push_back(name);
    return true;
}

CAnimation* CAnimationController::GetAnimation(const std::string& name) const
{
    auto found = m_animations.find(name);
    return found == m_animations.end() ? nullptr : found->second.get();
}

bool CAnimationController::SetAnimation(const std::string& name)
{
    CAnimation* animation = GetAnimation(name);
    if (!animation)
        return false;
    m_state.current = animation;
    m_state.next = nullptr;
    m_state.restart = true;
    return true;
}

void CAnimationController::BindToHierarchy(CMeshHierarchy* hierarchy)
{
    m_state.hierarchy = hierarchy;
    unsigned length = 0;
    if (hierarchy)
        for (const auto& bone : hierarchy->GetBones())
            length = std::max(length, bone->index + 1);
    std::vector<math::Matrix4>(length).swap(m_palette);
    m_output.palette = m_palette.empty() ? nullptr : m_palette.data();
    m_output.paletteLength = length;
}

void CAnimationController::Update(float elapsedSeconds)
{
    m_state.tickRate = m_ticksPerSecond;
    if (m_solver)
        m_solver->Solve(m_state, m_output, elapsedSeconds);
    m_state.restart = false;
}

void CAnimationController::SetSolver(std::unique_ptr<ACAnimationSolver> solver)
{
    m_solver = std::move(solver);
}

void CAnimationController::Clear()
{
    m_solver.reset();
    m_state.current = nullptr;
    m_state.next = nullptr;
    m_animations.clear();
    m_names.clear();
    std::vector<math::Matrix4>().swap(m_palette);
    m_output.palette = nullptr;
    m_output.paletteLength = 0;
}
} // namespace gfx
} // namespace dorvo
