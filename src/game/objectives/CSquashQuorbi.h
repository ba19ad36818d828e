// The objective to squash the star object. No rule completes or fails it; as a required objective it keeps
// its puzzle from counting as complete while it is active.
#pragma once

#include "game/objectives/IObjective.h"

namespace QUORB
{
class CSquashQuorbi : public IObjective
{
public:
    static constexpr std::uint32_t kType = 4;

    IObjective* Clone() const override { return new CSquashQuorbi(*this); }
    void ApplyToGob() override {}
    void Update(double, float) override {}
    bool IsRequired() const override { return true; }
    std::uint32_t GetType() const override { return kType; }
    void Reset() override {}
    void Begin() override {}
    void End() override {}
    bool EndsPuzzle() const override { return false; }
    CSquashQuorbi* AsSquashQuorbi() override { return this; }
    const CSquashQuorbi* AsSquashQuorbi() const override { return this; }

protected:
    const char* GetElementName() const override { return "Squash"; }
};
} // namespace QUORB
