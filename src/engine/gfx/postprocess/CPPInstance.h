// One queued use of a post-processing effect: the effect file it runs, the values it gives the
// effect's ten parameters (each used only when its flag is set, so a new instance runs on the
// file's defaults) and whether it leaves the queue after its next run. Instances are plain
// values: the post-processor's queue and keep list hold copies.
#pragma once

#include <array>
#include <string>

namespace dorvo
{
namespace gfx
{
class CPPInstance
{
public:
    static constexpr unsigned kParameterCount = 10;
    using Value = std::array<float, 4>;

    CPPInstance() = default;
    CPPInstance(std::string effectFile, bool dropAfterRun)
        : m_effectFile(std::move(effectFile)), m_dropAfterRun(dropAfterRun)
    {
    }
    virtual ~CPPInstance() = default;
    CPPInstance(const CPPInstance&) = default;
    CPPInstance& operator=(const CPPInstance&) = default;

    // The file name as queued, for example "HBloom.fx" (no folder).
    const std::string& GetEffectFile() const { return m_effectFile; }

    // Set: the instance runs once more and is then dropped; clear: it repeats every frame.
    bool GetDropAfterRun() const { return m_dropAfterRun; }
    void SetDropAfterRun(bool drop) { m_dropAfterRun = drop; }

    // Parameter index 0 to 9 takes this value instead of its default. An index out of range
    // is ignored.
    void SetParameter(unsigned index, const Value& value);
    // Back to the effect's default value.
    void ClearParameter(unsigned index);
    // False for an index out of range.
    bool UsesOwnValue(unsigned index) const { return index < kParameterCount && m_useOwnValue[index]; }
    // Zero for an index out of range.
    Value GetParameter(unsigned index) const;

private:
    std::string m_effectFile;
    std::array<Value, kParameterCount> m_values{};
    std::array<bool, kParameterCount> m_useOwnValue{};
    bool m_dropAfterRun = false;
};
} // namespace gfx
} // namespace dorvo
