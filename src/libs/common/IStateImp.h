// A state assembled from three step objects (enter, update, leave) instead of a subclass per
// state. Each step derives from CBaseSMFunctor; the state binds every step to itself when it is
// built, so a step can name the next state through SetExitCode. The state owns its steps.
#pragma once

#include "common/IState.h"

#include <memory>
#include <string>
#include <type_traits>
#include <utility>

namespace common
{
class IStateImp;

// Base of every step object. Derived steps add whatever they act on (usually the game) and
// implement operator() with no arguments.
class CBaseSMFunctor
{
public:
    virtual ~CBaseSMFunctor() = default;

    // The state this step belongs to; null until the step is handed to an IStateImp.
    IStateImp* GetState() const { return m_pState; }
    void SetState(IStateImp* state) { m_pState = state; }

private:
    IStateImp* m_pState = nullptr;
};

class IStateImp : public IState
{
public:
    // A step as the state calls it, whatever its concrete type.
    class IStateFunctor
    {
    public:
        virtual ~IStateFunctor() = default;
        virtual void operator()() = 0;
    };

    // Holds one step object by value and calls it.
    template <class TStep> class CStateFunctor : public IStateFunctor
    {
        static_assert(std::is_base_of<CBaseSMFunctor, TStep>::value,
                      "A state step must derive from common::CBaseSMFunctor");

    public:
        explicit CStateFunctor(TStep step) : m_step(std::move(step)) {}
        void operator()() override { m_step(); }

    private:
        TStep m_step;
    };

    // The exit code starts empty, which names no state: a state whose steps never set it stays.
    template <class TInit, class TAction, class TExit>
    IStateImp(TInit init, TAction action, TExit exit)
        : m_pInit(Wrap(std::move(init))), m_pAction(Wrap(std::move(action))), m_pExit(Wrap(std::move(exit)))
    {
    }
    ~IStateImp() override;

    // The steps are bound to this object, so a state is neither copied nor moved.
    IStateImp(const IStateImp&) = delete;
    IStateImp& operator=(const IStateImp&) = delete;

    void Init() override;
    void Action() override;
    void Exit() override;
    std::string GetExitCode() const override;

    void SetExitCode(const std::string& code) { m_exitCode = code; }

private:
    template <class TStep> std::unique_ptr<IStateFunctor> Wrap(TStep step)
    {
        step.SetState(this);
        return std::make_unique<CStateFunctor<TStep>>(std::move(step));
    }

    std::unique_ptr<IStateFunctor> m_pInit;
    std::unique_ptr<IStateFunctor> m_pAction;
    std::unique_ptr<IStateFunctor> m_pExit;
    std::string m_exitCode;
};
} // namespace common
