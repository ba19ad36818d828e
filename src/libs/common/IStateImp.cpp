#include "common/IStateImp.h"

namespace common
{
IStateImp::~IStateImp() = default;

void IStateImp::Init()
{
    (*m_pInit)();
}

void IStateImp::Action()
{
    (*m_pAction)();
}

void IStateImp::Exit()
{
    (*m_pExit)();
}

std::string IStateImp::GetExitCode() const
{
    return m_exitCode;
}
} // namespace common
