// Our engine in the benchmark: the scene is built through the scene runner (templates and the
// GobManager, as the game builds its objects) with recording off, and a step is the game's
// frame of which only DynamicsEngine::Update(1/30) is timed: detection, both passes, shock
// propagation, the write-back and the oct tree's re-filing.
#pragma once

#include "EngineAdapter.h"
#include "physcene/SceneRunner.h"

#include <map>
#include <memory>

namespace dorvo
{
namespace phy
{
class PointConstraint;
}
} // namespace dorvo

namespace physbench
{
class DorvoAdapter : public EngineAdapter
{
public:
    DorvoAdapter();
    ~DorvoAdapter() override;

    const char* Name() const override { return "dorvo"; }
    bool Build(const BenchScene& scene, const EngineSettings& settings, std::string* error) override;
    StepTime Step() override;
    std::vector<BodySample> Bodies() const override;
    ContactCount Contacts() const override;
    int NanReports() override { return m_nanReports; }
    std::uint64_t StateHash() const override;

private:
    struct Tracked
    {
        std::uint32_t id;
        physcene::Shape shape;
        math::Vector3 halfSize;
    };

    std::string m_folder; // template files, removed with the adapter
    std::unique_ptr<physcene::SceneRunner> m_runner;
    std::vector<std::unique_ptr<dorvo::phy::PointConstraint>> m_joints;
    std::vector<Tracked> m_tracked; // the scene's bodies in order
    int m_nanReports = 0;
};
} // namespace physbench
