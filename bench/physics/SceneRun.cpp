#include "SceneRun.h"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <fstream>
#include <sstream>

namespace physbench
{
namespace
{
constexpr int kPenetrationWindow = 100; // last steps over which penetration is reported
constexpr int kSpeedWindow = 30;        // the last second
constexpr float kMovingLinear = 0.1f;   // squared speeds, as our freeze test's
constexpr float kMovingAngular = 0.2f;

bool Finite(const physcene::BodyPose& pose)
{
    const float values[] = {pose.position.x,       pose.position.y,        pose.position.z,
                            pose.orientation.w,    pose.orientation.x,     pose.orientation.y,
                            pose.orientation.z,    pose.velocity.x,        pose.velocity.y,
                            pose.velocity.z,       pose.angularVelocity.x, pose.angularVelocity.y,
                            pose.angularVelocity.z};
    for (float v : values)
        if (!std::isfinite(v))
            return false;
    return true;
}

double Percentile(std::vector<double> values, double fraction)
{
    if (values.empty())
        return 0.0;
    std::sort(values.begin(), values.end());
    const std::size_t index =
        std::min(values.size() - 1, static_cast<std::size_t>(std::ceil(fraction * values.size())) - 1);
    return values[index];
}

std::vector<physcene::GroundPlane> Grounds(const BenchScene& scene)
{
    std::vector<physcene::GroundPlane> planes;
    for (const physcene::ObjectDesc& desc : scene.scene.objects)
        if (desc.shape == physcene::Shape::Plane)
        {
            physcene::GroundPlane plane;
            plane.normal = desc.planeNormal;
            plane.d = desc.planeD;
            planes.push_back(plane);
        }
    return planes;
}

std::string Fixed(double value, int decimals)
{
    char text[64];
    std::snprintf(text, sizeof text, "%.*f", decimals, value);
    return text;
}

// Degrees between the body's y axis and the world's.
float TiltDegrees(const physcene::BodyPose& pose)
{
    const math::Vector3 up = pose.orientation.ToMatrix3().GetRow(1);
    const float c = std::max(-1.0f, std::min(1.0f, up.y));
    return std::acos(c) * 180.0f / static_cast<float>(M_PI);
}
} // namespace

bool RunScene(EngineAdapter& engine, const BenchScene& scene, const EngineSettings& settings, int steps,
              const std::string& csv, RunResult* result, std::string* error)
{
    *result = RunResult();
    result->engine = engine.Name();
    result->scene = scene;
    result->settings = settings;
    result->steps = steps;
    if (!engine.Build(scene, settings, error))
        return false;

    std::ofstream out;
    if (!csv.empty())
    {
        out.open(csv);
        if (!out)
        {
            *error = "cannot write \"" + csv + "\"";
            return false;
        }
        out << "step,wall_ms,cpu_ms,contacts,pairs,unique_pairs,kinetic,potential,max_penetration,mean_"
               "penetration,"
               "moving,nan\n";
    }

    const std::vector<physcene::GroundPlane> planes = Grounds(scene);
    const std::vector<BodySample> start = engine.Bodies();
    if (!start.empty())
        result->trackedStart = start.back().pose;
    auto energyOf = [&scene](const std::vector<BodySample>& bodies)
    {
        std::vector<physcene::BodyPose> poses;
        for (const BodySample& b : bodies)
            if (b.alive && Finite(b.pose))
                poses.push_back(b.pose);
        return physcene::MeasureEnergy(poses, scene.scene.gravity);
    };
    result->startEnergy = energyOf(start).Total();

    std::vector<double> times;
    std::vector<double> cpuTimes;
    double contacts = 0.0;
    double pairs = 0.0;
    double unique = 0.0;
    double meanPenetrationSum = 0.0;
    int penetrationSteps = 0;
    double speedSquaredSum = 0.0;
    int speedSamples = 0;
    std::vector<BodySample> bodies;
    for (int step = 1; step <= steps; ++step)
    {
        StepMeasures m;
        m.step = step;
        m.time = engine.Step();
        m.contacts = engine.Contacts();
        m.nan = engine.NanReports();
        bodies = engine.Bodies();

        std::vector<physcene::BodyPose> poses;
        poses.reserve(bodies.size());
        for (std::size_t i = 0; i < bodies.size(); ++i)
        {
            const BodySample& b = bodies[i];
            if (!b.alive)
                continue;
            if (!Finite(b.pose))
            {
                ++m.nan;
                continue;
            }
            poses.push_back(b.pose);
            if (b.pose.velocity.LengthSquared() > kMovingLinear ||
                b.pose.angularVelocity.LengthSquared() > kMovingAngular)
                ++m.moving;
            if (i < start.size())
                result->maxHop = std::max(result->maxHop, b.pose.position.y - start[i].pose.position.y);
            if (step > steps - kSpeedWindow)
            {
                speedSquaredSum += b.pose.velocity.LengthSquared();
                ++speedSamples;
            }
        }
        m.energy = physcene::MeasureEnergy(poses, scene.scene.gravity);
        m.penetration = physcene::MeasurePenetration(poses, planes);
        result->energies.push_back(m.energy.Total());
        result->nanTotal += m.nan;
        if (!bodies.empty())
            result->tracked.poses.push_back(bodies.back().pose);

        if (step > kWarmUpSteps)
        {
            times.push_back(m.time.wall);
            cpuTimes.push_back(m.time.cpu);
            contacts += m.contacts.points;
            pairs += m.contacts.pairs;
            unique += m.contacts.uniquePairs;
        }
        if (step > steps - kPenetrationWindow)
        {
            result->maxPenetration = std::max(result->maxPenetration, m.penetration.max);
            meanPenetrationSum += m.penetration.mean;
            ++penetrationSteps;
        }
        if (out)
            out << step << ',' << Fixed(m.time.wall * 1000.0, 4) << ',' << Fixed(m.time.cpu * 1000.0, 4)
                << ',' << m.contacts.points << ',' << m.contacts.pairs << ',' << m.contacts.uniquePairs << ','
                << Fixed(m.energy.kinetic, 5) << ',' << Fixed(m.energy.potential, 5) << ','
                << Fixed(m.penetration.max, 5) << ',' << Fixed(m.penetration.mean, 5) << ',' << m.moving
                << ',' << m.nan << '\n';
        if (step == steps)
            result->movingAtEnd = m.moving;
    }

    const std::size_t timed = std::max<std::size_t>(1, times.size());
    result->medianMs = Percentile(times, 0.5) * 1000.0;
    result->p95Ms = Percentile(times, 0.95) * 1000.0;
    result->cpuMedianMs = Percentile(cpuTimes, 0.5) * 1000.0;
    result->maxMs = times.empty() ? 0.0 : *std::max_element(times.begin(), times.end()) * 1000.0;
    result->contactsPerStep = contacts / static_cast<double>(timed);
    result->pairsPerStep = pairs / static_cast<double>(timed);
    result->uniquePairsPerStep = unique / static_cast<double>(timed);
    result->meanPenetration =
        penetrationSteps > 0 ? static_cast<float>(meanPenetrationSum / penetrationSteps) : 0.0f;
    result->rmsSpeed = speedSamples > 0 ? std::sqrt(speedSquaredSum / speedSamples) : 0.0;
    const bool grounded = !planes.empty();
    for (const BodySample& b : bodies)
    {
        if (!b.alive)
            ++result->removed;
        else if (!Finite(b.pose) || (grounded && b.pose.position.y < 0.0f))
            ++result->underGround;
    }
    result->lost = result->removed + result->underGround;
    result->hash = engine.StateHash();
    return true;
}

std::string SceneMeasures(const RunResult& result)
{
    const std::vector<physcene::BodyPose>& poses = result.tracked.poses;
    if (poses.empty())
        return std::string();
    const physcene::BodyPose& first = result.trackedStart;
    const std::string& variant = result.scene.variant;
    std::ostringstream text;
    if (result.scene.name == "rain")
        return std::string();
    if (result.scene.name == "towers")
    {
        float drift = 0.0f;
        float tilt = 0.0f;
        for (const physcene::BodyPose& pose : poses)
        {
            const float dx = pose.position.x - first.position.x;
            const float dz = pose.position.z - first.position.z;
            drift = std::max(drift, std::sqrt(dx * dx + dz * dz));
            tilt = std::max(tilt, TiltDegrees(pose));
        }
        text << "top drift " << Fixed(drift, 3) << ", tilt " << Fixed(tilt, 2) << " deg, top y "
             << Fixed(poses.back().position.y - first.position.y, 3) << " from its start, highest hop "
             << Fixed(result.maxHop, 3);
        return text.str();
    }
    if (variant == "freefall")
    {
        text << "step 1: y " << Fixed(poses.front().position.y, 6) << " v "
             << Fixed(poses.front().velocity.y, 6) << "; step " << poses.size() << ": y "
             << Fixed(poses.back().position.y, 6) << " v " << Fixed(poses.back().velocity.y, 6);
        return text.str();
    }
    if (variant == "bounce")
    {
        // An apex is where the ball turns from rising to falling.
        std::vector<float> apexes;
        for (std::size_t i = 1; i + 1 < poses.size(); ++i)
            if (poses[i].velocity.y <= 0.0f && poses[i - 1].velocity.y > 0.0f)
                apexes.push_back(std::max(poses[i].position.y, poses[i - 1].position.y));
        float worstLoss = 0.0f;
        float previous = first.position.y;
        text << "apexes";
        for (std::size_t i = 0; i < apexes.size(); ++i)
        {
            if (i < 6)
                text << ' ' << Fixed(apexes[i], 3);
            // Height above resting (the ball's radius) lost since the last apex.
            const float r = first.halfSize.x;
            if (previous - r > 0.05f)
                worstLoss = std::max(worstLoss, 1.0f - (apexes[i] - r) / (previous - r));
            previous = apexes[i];
        }
        text << " (drop " << Fixed(first.position.y, 2) << "); highest "
             << Fixed(apexes.empty() ? 0.0f : *std::max_element(apexes.begin(), apexes.end()), 3)
             << ", worst loss a bounce " << Fixed(worstLoss * 100.0f, 1) << "%";
        return text.str();
    }
    if (variant == "slide" || variant == "frictionless")
    {
        if (variant == "slide")
        {
            // Stopped: slower than 5 cm/s; some engines keep a slow creep after that.
            std::size_t stop = poses.size() - 1;
            for (std::size_t k = 0; k < poses.size(); ++k)
                if (poses[k].velocity.Length() < 0.05f)
                {
                    stop = k;
                    break;
                }
            text << "stops after " << Fixed(poses[stop].position.x - first.position.x, 3) << " m (step "
                 << stop + 1 << "; v^2/(2 mu g) = 1.84), after " << poses.size() << " steps "
                 << Fixed(poses.back().position.x - first.position.x, 3) << " m at "
                 << Fixed(poses.back().velocity.Length(), 3) << " m/s";
            return text.str();
        }
        float drift = 0.0f;
        for (const physcene::BodyPose& pose : poses)
            drift = std::max(drift, std::fabs(pose.velocity.Length() - 3.0f) / 3.0f);
        text << "speed drift " << Fixed(drift * 100.0f, 3) << "% (final "
             << Fixed(poses.back().velocity.Length(), 4) << ")";
        return text.str();
    }
    if (variant == "pendulum" && !result.scene.joints.empty())
    {
        const Joint& joint = result.scene.joints.front();
        const float length = joint.anchor.Length();
        float error = 0.0f;
        for (const physcene::BodyPose& pose : poses)
            error = std::max(error, std::fabs((pose.position - joint.pivot).Length() - length) / length);
        double rise = -1e30;
        for (double e : result.energies)
            rise = std::max(rise, e - result.startEnergy);
        // Energy at the end of each swing (where the ball turns in x).
        std::vector<double> swings;
        for (std::size_t i = 1; i < poses.size(); ++i)
            if ((poses[i].velocity.x > 0.0f) != (poses[i - 1].velocity.x > 0.0f))
                swings.push_back(result.energies[i] - result.startEnergy);
        text << "length error " << Fixed(error * 100.0f, 2) << "%, energy rise at most " << Fixed(rise, 4)
             << " J, energy change at swing ends";
        for (std::size_t i = 0; i < swings.size() && i < 5; ++i)
            text << ' ' << Fixed(swings[i], 3);
        return text.str();
    }
    return std::string();
}
} // namespace physbench
