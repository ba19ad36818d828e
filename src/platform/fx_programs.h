// What a device makes of an effect's passes: the OpenGL device compiles and links one program
// per pass when the effect is made, and uploads parameter values to it; the headless device has
// nothing to build (NullEffectPrograms). The effect owns the object and says which pass it is
// in; the values come through FxValueSource, stamped so that only changes are uploaded.
#pragma once

#include "platform/fx_model.h"

#include <cstddef>
#include <cstdint>

namespace plat::detail
{
// The current values of an effect's top-level parameters, in declaration order.
class FxValueSource
{
public:
    virtual const FxCell* ParameterCells(std::size_t parameter) const = 0;
    // When the parameter last changed (see NextFxStamp).
    virtual std::uint64_t ParameterStamp(std::size_t parameter) const = 0;
    // The newest stamp of any parameter.
    virtual std::uint64_t LatestStamp() const = 0;

protected:
    ~FxValueSource() = default;
};

class EffectPrograms
{
public:
    virtual ~EffectPrograms() = default;
    // The device program that draws the pass (0: the device's own, as headless).
    virtual unsigned Program(std::size_t technique, std::size_t pass) const = 0;
    // Makes the pass's values current in its program: uploads what changed since it last did.
    virtual void Upload(std::size_t technique, std::size_t pass, const FxValueSource& values) = 0;
};

class NullEffectPrograms final : public EffectPrograms
{
public:
    unsigned Program(std::size_t, std::size_t) const override { return 0; }
    void Upload(std::size_t, std::size_t, const FxValueSource&) override {}
};
} // namespace plat::detail
