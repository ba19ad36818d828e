// The objective to cause a destruction. No rule completes or fails it; as a required objective it keeps
// its puzzle from counting as complete while it is active.
#pragma once

#include "game/objectives/IObjective.h"

namespace QUORB
{
class CCauseDestruction : public IObjective
{
public:
    static constexpr std::uint32_t kType = 2;

    IObjective* Clone() const override { return new CCauseDestruction(*this); }
    void ApplyToGob() override {}
    void Update(double, float) override {}
    bool IsRequired() const override { return true; }
    std::uint32_t GetType() const override { return kType; }
    void Reset() override {}
    void Begin() override {}
    void End() override {}
    bool EndsPuzzle() const override { return false; }
    CCauseDestruction* AsCauseDestruction() override { return this; }
    const CCauseDestruction* AsCauseDestruction() const override { return this; }

protected:
    const char* GetElementName() const override { return "CauseDestruction"; }
};
} // namespace QUORB
