#include "common/StateMachine.h"

#include "common/Assert.h"
#include "common/IState.h"

namespace common
{
CStateMachine::CStateMachine() = default;

CStateMachine::~CStateMachine() = default;

bool CStateMachine::AddState(const std::string& name, IState* state)
{
    // The empty name means "no current state", so a state under it could be entered but would
    // never run and never be left.
    if (!DORVO_ASSERT(!name.empty(), "CStateMachine::AddState - a state needs a non-empty name."))
        return false;
    if (!DORVO_ASSERT(state != nullptr, "CStateMachine::AddState - the state is null."))
        return false;
    if (m_states.count(name) != 0)
        return false;
    m_states.emplace(name, std::unique_ptr<IState>(state));
    return true;
}

void CStateMachine::ChangeState(const std::string& name)
{
    auto next = m_states.find(name);
    if (next == m_states.end() || name == m_currentName)
        return;
    if (!m_currentName.empty())
        m_states[m_currentName]->Exit();
    m_currentName = name;
    next->second->Init();
}

const std::string& CStateMachine::Update()
{
    if (m_currentName.empty())
        return m_lastExitCode;
    IState& current = *m_states[m_currentName];
    current.Action();
    m_lastExitCode = current.GetExitCode();
    if (m_lastExitCode != m_currentName)
        ChangeState(m_lastExitCode);
    return m_lastExitCode;
}
} // namespace common
