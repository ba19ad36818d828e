#include "Matrix.h"

#include "EngineAdapter.h"
#include "SceneRun.h"
#include "engine/phy/DynamicsEngine.h"
#include "physcene/CommittedHashes.h"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <ctime>
#include <filesystem>
#include <fstream>
#include <iostream>
#include <map>
#include <sstream>
#include <thread>

#include <sys/wait.h>
#include <unistd.h>

namespace physbench
{
namespace
{
// Our sweeps in the timing rows: the game's.
constexpr unsigned int kDefaultSteps = dorvo::phy::DynamicsEngine::kDefaultSteps;

// One run of the matrix.
struct Entry
{
    std::string engine;
    SceneOptions scene;
    EngineSettings settings;
    bool timing = false; // a row the ratios compare (references with their own inertia)
};

std::string Fixed(double value, int decimals)
{
    char text[64];
    std::snprintf(text, sizeof text, "%.*f", decimals, value);
    return text;
}

std::string Hex(std::uint64_t value)
{
    char text[32];
    std::snprintf(text, sizeof text, "%016llx", static_cast<unsigned long long>(value));
    return text;
}

std::string ReadFirstLine(const std::string& path, const std::string& prefix)
{
    std::ifstream in(path);
    std::string line;
    while (std::getline(in, line))
        if (prefix.empty() || line.rfind(prefix, 0) == 0)
            return prefix.empty() ? line : line.substr(line.find(':') + 1);
    return std::string();
}

// The 1, 5 and 15 minute load averages.
std::string LoadAverage()
{
    std::istringstream in(ReadFirstLine("/proc/loadavg", ""));
    std::string a, b, c;
    in >> a >> b >> c;
    return a + " " + b + " " + c;
}

// What the row's settings are, in the words of the report.
std::string SettingsText(const Entry& e)
{
    if (e.engine == "dorvo")
        return std::to_string(e.scene.collisionSteps) + "/" + std::to_string(e.scene.contactSteps) +
               (e.scene.shock ? " shock" : " no shock") + (e.scene.sleep ? ", sleep" : "");
    return std::to_string(e.settings.referenceIterations) + " it, " +
           (e.settings.ourInertia ? "our inertia" : "own inertia") + (e.settings.sleep ? ", sleep" : "");
}

std::string FileTag(const Entry& e)
{
    if (e.engine == "dorvo")
        return OurSettingsTag(e.scene);
    return "it" + std::to_string(e.settings.referenceIterations) +
           (e.settings.ourInertia ? "_ourinertia" : "_own") + (e.settings.sleep ? "_sleep" : "");
}

std::vector<Entry> BuildMatrix(const std::vector<std::string>& engines)
{
    std::vector<Entry> entries;
    auto add = [&](const SceneOptions& scene, int referenceIterations, bool ourInertia, bool timing)
    {
        for (const std::string& engine : engines)
        {
            Entry e;
            e.engine = engine;
            e.scene = scene;
            e.settings.sleep = scene.sleep;
            e.settings.referenceIterations = referenceIterations;
            e.settings.ourInertia = engine != "dorvo" && ourInertia;
            e.timing = timing;
            entries.push_back(e);
        }
    };
    auto ours = [&](const SceneOptions& scene)
    {
        if (std::find(engines.begin(), engines.end(), "dorvo") == engines.end())
            return;
        Entry e;
        e.engine = "dorvo";
        e.scene = scene;
        e.settings.sleep = scene.sleep;
        entries.push_back(e);
    };
    auto references = [&](const SceneOptions& scene, int iterations, bool ourInertia, bool timing)
    {
        for (const std::string& engine : engines)
        {
            if (engine == "dorvo")
                continue;
            Entry e;
            e.engine = engine;
            e.scene = scene;
            e.settings.sleep = scene.sleep;
            e.settings.referenceIterations = iterations;
            e.settings.ourInertia = ourInertia;
            e.timing = timing;
            entries.push_back(e);
        }
    };

    // Rain: every size and layout, the engines side by side, sleep off; then once with sleep.
    for (Layout layout : {Layout::Spread, Layout::Centred, Layout::Leaf})
        for (int n : {100, 500, 1000, 4000})
        {
            SceneOptions rain;
            rain.scene = "rain";
            rain.layout = layout;
            rain.n = n;
            add(rain, 12, false, true);
        }
    {
        SceneOptions rain;
        rain.scene = "rain";
        rain.n = 1000;
        rain.sleep = true;
        add(rain, 12, false, true);
    }

    // Towers: ours at 1/1, the engine's default (6/6) and 12/12 with shock on and off, the
    // references at 2, 12 and 24 iterations with our inertia; the timing rows at the default
    // against 12 with their own inertia.
    for (int n : {10, 55, 210})
    {
        SceneOptions tower;
        tower.scene = "towers";
        tower.n = n;
        add(tower, 12, false, true);
        for (unsigned int steps : {1u, kDefaultSteps, 12u})
            for (bool shock : {true, false})
            {
                if (steps == kDefaultSteps && shock)
                    continue; // the timing row above
                SceneOptions variant = tower;
                variant.collisionSteps = steps;
                variant.contactSteps = steps;
                variant.shock = shock;
                ours(variant);
            }
        for (int iterations : {2, 12, 24})
            references(tower, iterations, true, false);
    }
    // Light and heavy columns.
    for (float mass : {0.1f, 10.0f})
    {
        SceneOptions tower;
        tower.scene = "towers";
        tower.n = 10;
        tower.mass = mass;
        add(tower, 12, true, false);
    }

    // Accuracy, the references with our inertia.
    for (const char* which : {"freefall", "bounce", "slide", "frictionless", "pendulum"})
    {
        SceneOptions accuracy;
        accuracy.scene = "accuracy";
        accuracy.accuracyCase = which;
        add(accuracy, 12, true, false);
    }
    return entries;
}

struct Row
{
    Entry entry;
    std::string key;
    RunResult result;     // the figures (the child's tracks are not sent back)
    std::string measures; // the scene's own measures
};

// Runs one entry in a child process, so that every run starts from the same fresh process (its
// heap, and the statics our engine and its libraries keep), whatever ran before it; the child
// sends its figures back through a pipe. False with one line when the run failed.
bool RunIsolated(const Entry& entry, const BenchScene& scene, const std::string& csv, Row* row,
                 std::string* error)
{
    int fds[2];
    if (pipe(fds) != 0)
    {
        *error = "cannot make a pipe for the run";
        return false;
    }
    std::fflush(nullptr);
    const pid_t pid = fork();
    if (pid < 0)
    {
        close(fds[0]);
        close(fds[1]);
        *error = "cannot start a process for the run";
        return false;
    }
    if (pid == 0)
    {
        close(fds[0]);
        std::string text;
        std::string failure;
        std::unique_ptr<EngineAdapter> engine = MakeEngine(entry.engine, &failure);
        RunResult r;
        if (!engine || !RunScene(*engine, scene, entry.settings, scene.steps, csv, &r, &failure))
            text = "error\n" + failure;
        else
        {
            char numbers[512];
            std::snprintf(
                numbers, sizeof numbers,
                "ok\n%.17g %.17g %.17g %.17g %.17g %.17g %.17g %.9g %.9g %.17g %d %d %d %d %d %.9g %llu\n",
                r.medianMs, r.p95Ms, r.maxMs, r.cpuMedianMs, r.contactsPerStep, r.pairsPerStep,
                r.uniquePairsPerStep, r.maxPenetration, r.meanPenetration, r.rmsSpeed, r.movingAtEnd,
                r.nanTotal, r.lost, r.removed, r.underGround, r.maxHop,
                static_cast<unsigned long long>(r.hash));
            text = numbers + SceneMeasures(r);
        }
        engine.reset();
        std::size_t written = 0;
        while (written < text.size())
        {
            const ssize_t n = write(fds[1], text.data() + written, text.size() - written);
            if (n <= 0)
                break;
            written += static_cast<std::size_t>(n);
        }
        close(fds[1]);
        _exit(0);
    }
    close(fds[1]);
    std::string text;
    char buffer[4096];
    ssize_t n = 0;
    while ((n = read(fds[0], buffer, sizeof buffer)) > 0)
        text.append(buffer, static_cast<std::size_t>(n));
    close(fds[0]);
    int status = 0;
    waitpid(pid, &status, 0);

    std::istringstream in(text);
    std::string head;
    std::getline(in, head);
    if (head != "ok")
    {
        std::string why;
        std::getline(in, why);
        *error = head == "error"
                     ? why
                     : "the run's process ended without a result (status " + std::to_string(status) + ")";
        return false;
    }
    RunResult& r = row->result;
    r.engine = entry.engine;
    r.scene = scene;
    r.settings = entry.settings;
    r.steps = scene.steps;
    unsigned long long hash = 0;
    in >> r.medianMs >> r.p95Ms >> r.maxMs >> r.cpuMedianMs >> r.contactsPerStep >> r.pairsPerStep >>
        r.uniquePairsPerStep >> r.maxPenetration >> r.meanPenetration >> r.rmsSpeed >> r.movingAtEnd >>
        r.nanTotal >> r.lost >> r.removed >> r.underGround >> r.maxHop >> hash;
    r.hash = hash;
    std::getline(in, head); // the end of the numbers' line
    std::getline(in, row->measures);
    return true;
}

double Slope(const std::vector<std::pair<double, double>>& points)
{
    // Least squares of log time against log N.
    if (points.size() < 2)
        return 0.0;
    double sx = 0, sy = 0, sxx = 0, sxy = 0;
    for (const auto& p : points)
    {
        const double x = std::log(p.first);
        const double y = std::log(p.second);
        sx += x;
        sy += y;
        sxx += x * x;
        sxy += x * y;
    }
    const double n = static_cast<double>(points.size());
    return (n * sxy - sx * sy) / (n * sxx - sx * sx);
}

// The (N, median) points of one engine's rain of one layout, sleep off, N from `least` to `most`.
std::vector<std::pair<double, double>> RainPoints(const std::vector<Row>& rows, const std::string& engine,
                                                  const std::string& layout, int least, int most)
{
    std::vector<std::pair<double, double>> points;
    for (const Row& row : rows)
        if (row.entry.engine == engine && row.entry.scene.scene == "rain" && !row.entry.scene.sleep &&
            row.result.scene.variant == layout && row.entry.scene.n >= least && row.entry.scene.n <= most)
            points.emplace_back(row.entry.scene.n, std::max(1e-6, row.result.medianMs));
    return points;
}

const Row* Find(const std::vector<Row>& rows, const std::string& engine, const std::string& key, bool timing)
{
    for (const Row& row : rows)
        if (row.entry.engine == engine && row.key == key &&
            (engine == "dorvo" ? row.entry.scene.collisionSteps == kDefaultSteps &&
                                     row.entry.scene.contactSteps == kDefaultSteps && row.entry.scene.shock
                               : row.entry.timing == timing))
            return &row;
    return nullptr;
}

std::string Machine()
{
    std::string cpu = ReadFirstLine("/proc/cpuinfo", "model name");
    while (!cpu.empty() && cpu.front() == ' ')
        cpu.erase(cpu.begin());
    return cpu + ", " + std::to_string(std::thread::hardware_concurrency()) + " threads";
}
} // namespace

int RunMatrix(const Options& options)
{
    std::vector<std::string> engines = options.engines.empty() ? AvailableEngines() : options.engines;
    for (const std::string& engine : engines)
    {
        std::string error;
        if (!MakeEngine(engine, &error))
        {
            std::cerr << "phys_bench: " << error << "\n";
            return 2;
        }
    }
    namespace fs = std::filesystem;
    std::error_code ignored;
    fs::create_directories(options.out, ignored);

    const std::string loadBefore = LoadAverage();
    const std::time_t now = std::time(nullptr);
    char date[64];
    std::strftime(date, sizeof date, "%Y-%m-%d %H:%M UTC", std::gmtime(&now));

    std::vector<Row> rows;
    const std::vector<Entry> entries = BuildMatrix(engines);
    int index = 0;
    for (const Entry& entry : entries)
    {
        ++index;
        BenchScene scene;
        std::string error;
        if (!MakeScene(entry.scene, &scene, &error))
        {
            std::cerr << "phys_bench: " << error << "\n";
            return 1;
        }
        Row row;
        row.entry = entry;
        row.key = SceneKey(entry.scene, scene);
        const std::string csv =
            (fs::path(options.out) / (entry.engine + "_" + row.key + "_" + FileTag(entry) + ".csv")).string();
        std::fprintf(stderr, "[%d/%zu] %s %s %s\n", index, entries.size(), entry.engine.c_str(),
                     row.key.c_str(), SettingsText(entry).c_str());
        if (!RunIsolated(entry, scene, csv, &row, &error))
        {
            std::cerr << "phys_bench: " << entry.engine << " " << row.key << ": " << error << "\n";
            return 1;
        }
        rows.push_back(row);
    }
    const std::string loadAfter = LoadAverage();

    std::ostringstream md;
    md << "# Physics benchmark\n\n";
    md << "- Date: " << date << "; commit: " << (options.commit.empty() ? "(not given)" : options.commit)
       << "\n";
    md << "- Machine: " << Machine() << "; load average before " << loadBefore << ", after " << loadAfter
       << "\n";
    md << "- Build: optimised (-O2), one thread; our assertions stay on (they are on in every build). Every "
          "step "
          "is 1/30 s; timings are the median, 95th percentile and maximum of the wall time of one step after "
          "a "
          "warm-up of "
       << kWarmUpSteps
       << " steps. Ours times DynamicsEngine::Update(1/30) alone (with its write-back and "
          "oct-tree re-filing).\n";
    md << "- Ours: collision + contact iterations as shown, margin 0.05, box inertia four times a solid "
          "box's. "
          "Bullet (single precision): stepSimulation(1/30, 0), DBVT broad phase, sequential impulses, its "
          "default "
          "collision margin, DISABLE_DEACTIVATION unless sleep. ODE (Debian builds it in double precision): "
          "dWorldQuickStep, hash space, up to 8 contacts a pair, Coulomb friction (dContactApprox1), surface "
          "layer "
          "0.001, default ERP and CFM, auto-disable off unless sleep. Friction and restitution are the "
          "product of "
          "both sides in all three. Timing rows give the references their own inertia; behaviour rows give "
          "them "
          "ours.\n";
    md << "- Rain and towers: friction " << kFriction << " and restitution " << kRestitution
       << " on every surface (pairs: the product).\n\n";

    // Timings.
    md << "## Runs\n\n";
    md << "| scene | engine | settings | median ms | p95 ms | max ms | processor median ms | contacts/step | "
          "pairs/step (unique) | "
          "max pen. | mean pen. | RMS speed | moving | NaN | lost | hash |\n";
    md << "|---|---|---|---|---|---|---|---|---|---|---|---|---|---|---|---|\n";
    std::ostringstream hashes;
    std::vector<std::string> changedHashes;
    for (const Row& row : rows)
    {
        const RunResult& r = row.result;
        md << "| " << row.key << " | " << row.entry.engine << " | " << SettingsText(row.entry) << " | "
           << Fixed(r.medianMs, 3) << " | " << Fixed(r.p95Ms, 3) << " | " << Fixed(r.maxMs, 3) << " | "
           << Fixed(r.cpuMedianMs, 3) << " | " << Fixed(r.contactsPerStep, 1) << " | "
           << Fixed(r.pairsPerStep, 1) << " (" << Fixed(r.uniquePairsPerStep, 1) << ") | "
           << Fixed(r.maxPenetration, 4) << " | " << Fixed(r.meanPenetration, 4) << " | "
           << Fixed(r.rmsSpeed, 4) << " | " << r.movingAtEnd << " | " << r.nanTotal << " | " << r.lost
           << " | " << (row.entry.engine == "dorvo" ? Hex(r.hash) : "") << " |\n";
        if (row.entry.engine == "dorvo")
        {
            hashes << row.key << " " << FileTag(row.entry) << " " << Hex(r.hash) << " "
                   << Fixed(r.medianMs, 3) << "\n";
            const std::string run = OurRunName(row.entry.scene, r.scene, r.steps);
            const physcene::CommittedHash* committed = physcene::FindCommittedHash(run);
            if (committed == nullptr)
                changedHashes.push_back(run + ": " + Hex(r.hash) + ", none committed");
            else if (committed->state != r.hash)
                changedHashes.push_back(run + ": " + Hex(r.hash) + ", committed " + Hex(committed->state));
        }
    }

    // Our final states against the committed ones (physcene/CommittedHashes.cpp).
    md << "\n## Our final states\n\n";
    if (changedHashes.empty())
        md << "Every hash of ours is the committed one.\n";
    else
    {
        md << "CHANGED: these runs of ours end other than committed in "
              "tests/support/physcene/CommittedHashes.cpp:\n\n";
        for (const std::string& line : changedHashes)
            md << "- " << line << "\n";
    }

    // Ratios from this run.
    md << "\n## Ratios (ours " << kDefaultSteps << "/" << kDefaultSteps
       << " with shock, sleep as in the row, against the references' timing rows)\n\n";
    md << "| scene | ours ms | Bullet ms | ODE ms | ours / Bullet | ours / ODE "
          "|\n|---|---|---|---|---|---|\n";
    std::map<std::string, std::vector<std::pair<double, double>>> growth;
    std::vector<std::string> keys;
    for (const Row& row : rows)
        if (row.entry.engine == "dorvo" && std::find(keys.begin(), keys.end(), row.key) == keys.end() &&
            (row.entry.scene.scene == "rain" ||
             (row.entry.scene.scene == "towers" && row.entry.scene.mass == 1.0f)))
            keys.push_back(row.key);
    for (const std::string& key : keys)
    {
        const Row* ours = Find(rows, "dorvo", key, true);
        const Row* bullet = Find(rows, "bullet", key, true);
        const Row* ode = Find(rows, "ode", key, true);
        if (ours == nullptr)
            continue;
        auto ms = [](const Row* r) { return r != nullptr ? Fixed(r->result.medianMs, 3) : std::string("-"); };
        auto ratio = [&](const Row* r)
        {
            return r != nullptr && r->result.medianMs > 0
                       ? Fixed(ours->result.medianMs / r->result.medianMs, 2)
                       : std::string("-");
        };
        md << "| " << key << " | " << ms(ours) << " | " << ms(bullet) << " | " << ms(ode) << " | "
           << ratio(bullet) << " | " << ratio(ode) << " |\n";
    }

    // Growth of rain: up to 1000 bodies, and from 1000 to 4000.
    md << "\n## Growth: slope of log step time against log N, rain, sleep off\n\n";
    md << "| engine | spread 100-1000 | centred 100-1000 | leaf 100-1000 | spread 1000-4000 | centred "
          "1000-4000 | "
          "leaf 1000-4000 |\n|---|---|---|---|---|---|---|\n";
    for (const std::string& engine : engines)
    {
        md << "| " << engine;
        for (const int from : {100, 1000})
            for (const char* layout : {"spread", "centred", "leaf"})
                md << " | "
                   << Fixed(Slope(RainPoints(rows, engine, layout, from, from == 100 ? 1000 : 4000)), 2);
        md << " |\n";
    }

    // Bodies lost by the last step: those that ended under the ground, and those the engine
    // removed (ours removes an object whose box leaves the world's box, as a rolling ball does).
    md << "\n## Bodies lost (rain, at the last step): under the ground / removed by the engine\n\n";
    md << "| scene | "
       << [&engines]
    {
        std::string names;
        for (const std::string& engine : engines)
            names += (names.empty() ? "" : " | ") + engine;
        return names;
    }() << " |\n|---|";
    for (std::size_t i = 0; i < engines.size(); ++i)
        md << "---|";
    md << "\n";
    for (const std::string& key : keys)
    {
        if (key.rfind("rain_", 0) != 0)
            continue;
        md << "| " << key;
        for (const std::string& engine : engines)
        {
            const Row* row = Find(rows, engine, key, true);
            md << " | "
               << (row != nullptr
                       ? std::to_string(row->result.underGround) + " / " + std::to_string(row->result.removed)
                       : std::string("-"));
        }
        md << " |\n";
    }

    // Targets: ratios against Bullet and the growth of spread rain.
    {
        md << "\n## Targets\n\n";
        struct Target
        {
            const char* key;
            const char* text;
            double most;
        };
        const Target targets[] = {
            {"rain_spread_n1000", "spread rain of 1000", 1.2},
            {"rain_spread_n4000", "spread rain of 4000", 2.0},
            {"rain_leaf_n1000", "leaf pile of 1000", 3.0},
            {"rain_centred_n1000", "centred rain of 1000", 2.5},
            {"towers_pyramid210", "210-box pyramid (ours stands; see the behaviour for theirs)", 3.0},
        };
        for (const Target& target : targets)
        {
            const Row* ours = Find(rows, "dorvo", target.key, true);
            const Row* bullet = Find(rows, "bullet", target.key, true);
            if (ours == nullptr || bullet == nullptr || bullet->result.medianMs <= 0.0)
                continue;
            const double r = ours->result.medianMs / bullet->result.medianMs;
            md << "- " << target.text << ", ours / Bullet " << Fixed(r, 2) << " (target at most "
               << Fixed(target.most, 1) << ": " << (r <= target.most ? "met" : "missed") << ")\n";
        }
        const std::vector<std::pair<double, double>> points = RainPoints(rows, "dorvo", "spread", 100, 1000);
        if (points.size() >= 2)
        {
            const double slope = Slope(points);
            md << "- spread rain growth 100 to 1000, ours: slope " << Fixed(slope, 2)
               << " (target at most 1.15: " << (slope <= 1.15 ? "met" : "missed") << ")\n";
        }
        const std::vector<std::pair<double, double>> large = RainPoints(rows, "dorvo", "spread", 1000, 4000);
        if (large.size() >= 2)
        {
            const double slope = Slope(large);
            md << "- spread rain growth 1000 to 4000, ours: slope " << Fixed(slope, 2)
               << " (target at most 1.4: " << (slope <= 1.4 ? "met" : "missed") << ")\n";
        }
        md << "- our final states: " << (changedHashes.empty() ? "every hash committed" : "CHANGED") << "\n";
    }

    // Behaviour.
    md << "\n## Behaviour\n\n| scene | engine | settings | measures |\n|---|---|---|---|\n";
    for (const Row& row : rows)
    {
        const std::string& measures = row.measures;
        if (!measures.empty())
            md << "| " << row.key << " | " << row.entry.engine << " | " << SettingsText(row.entry) << " | "
               << measures << " |\n";
    }

    const std::string summary = md.str();
    std::ofstream((fs::path(options.out) / "summary.md").string()) << summary;
    std::ofstream((fs::path(options.out) / "hashes.txt").string()) << hashes.str();
    std::cout << summary;
    if (!changedHashes.empty())
    {
        std::cerr << "phys_bench: " << changedHashes.size()
                  << " of our runs end other than committed (see the summary)\n";
        return 1;
    }
    return 0;
}
} // namespace physbench
