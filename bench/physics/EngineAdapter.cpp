#include "EngineAdapter.h"

#include "DorvoAdapter.h"
#if DORVO_BENCH_BULLET
#include "BulletAdapter.h"
#endif
#if DORVO_BENCH_ODE
#include "OdeAdapter.h"
#endif

#include <chrono>
#include <ctime>

namespace physbench
{
namespace
{
double WallNow()
{
    return std::chrono::duration<double>(std::chrono::steady_clock::now().time_since_epoch()).count();
}

double CpuNow()
{
    timespec now{};
    clock_gettime(CLOCK_THREAD_CPUTIME_ID, &now);
    return static_cast<double>(now.tv_sec) + 1e-9 * static_cast<double>(now.tv_nsec);
}
} // namespace

StepClock::StepClock() : m_wall(WallNow()), m_cpu(CpuNow()) {}

StepTime StepClock::Stop() const
{
    const double cpu = CpuNow();
    const double wall = WallNow();
    return StepTime{wall - m_wall, cpu - m_cpu};
}

std::vector<std::string> AvailableEngines()
{
    std::vector<std::string> engines{"dorvo"};
#if DORVO_BENCH_BULLET
    engines.push_back("bullet");
#endif
#if DORVO_BENCH_ODE
    engines.push_back("ode");
#endif
    return engines;
}

std::unique_ptr<EngineAdapter> MakeEngine(const std::string& name, std::string* error)
{
    if (name == "dorvo")
        return std::make_unique<DorvoAdapter>();
    if (name == "bullet")
    {
#if DORVO_BENCH_BULLET
        return std::make_unique<BulletAdapter>();
#else
        *error = "engine \"bullet\" is not built in: install libbullet-dev (apt-get install libbullet-dev "
                 "pkg-config) and configure again";
        return nullptr;
#endif
    }
    if (name == "ode")
    {
#if DORVO_BENCH_ODE
        return std::make_unique<OdeAdapter>();
#else
        *error = "engine \"ode\" is not built in: install libode-dev (apt-get install libode-dev pkg-config) "
                 "and configure again";
        return nullptr;
#endif
    }
    *error = "engines are dorvo, bullet and ode (--engine), not \"" + name + "\"";
    return nullptr;
}

math::Vector3 OurInertia(const physcene::ObjectDesc& desc)
{
    if (desc.shape == physcene::Shape::Sphere)
    {
        const float r = desc.scale.x * 0.5f;
        const float moment = 0.4f * desc.mass * r * r;
        return math::Vector3(moment, moment, moment);
    }
    const math::Vector3& s = desc.scale;
    const float third = desc.mass / 3.0f;
    return math::Vector3(third * (s.y * s.y + s.z * s.z), third * (s.x * s.x + s.z * s.z),
                         third * (s.x * s.x + s.y * s.y));
}
} // namespace physbench
