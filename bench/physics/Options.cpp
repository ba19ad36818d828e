#include "Options.h"

#include <cstdio>
#include <cstdlib>

namespace physbench
{
namespace
{
bool ParseInt(const std::string& text, int low, int high, int* value)
{
    char* end = nullptr;
    const long parsed = std::strtol(text.c_str(), &end, 10);
    if (text.empty() || *end != '\0' || parsed < low || parsed > high)
        return false;
    *value = static_cast<int>(parsed);
    return true;
}

bool ParseSwitch(const std::string& text, bool* value)
{
    if (text == "on")
        *value = true;
    else if (text == "off")
        *value = false;
    else
        return false;
    return true;
}
} // namespace

void PrintHelp()
{
    std::printf(
        "phys_bench: runs physics scenes on our engine and on the reference engines built in, timing\n"
        "every step and measuring it (one CSV line a step).\n"
        "\n"
        "  phys_bench --engine=dorvo|bullet|ode --scene=NAME [options] [--csv=FILE]\n"
        "  phys_bench --matrix [--out=DIR] [--engines=dorvo,bullet,ode] [--commit=TEXT]\n"
        "  phys_bench --check\n"
        "\n"
        "Scenes and their options:\n"
        "  --scene=rain       spheres and tilted boxes dropped onto the ground (600 steps)\n"
        "      --n=N              bodies (default 100)\n"
        "      --layout=L         centred | leaf | spread (default spread)\n"
        "      --seed=S           seed of the boxes' tilts (default 1)\n"
        "  --scene=towers     a column of 10 boxes or a pyramid (900 steps)\n"
        "      --n=N              10 (column), 55 or 210 (pyramids)\n"
        "      --mass=M           every box's mass (default 1)\n"
        "  --scene=accuracy   one body against its exact answer\n"
        "      --case=C           freefall | bounce | slide | frictionless | pendulum\n"
        "\n"
        "Settings:\n"
        "  --steps=K              steps to run (default: the scene's)\n"
        "  --collision-steps=N    our collision pass iterations (default: the game's)\n"
        "  --contact-steps=N      our contact pass iterations (default: the game's)\n"
        "  --iterations=N         the references' solver iterations (default: ours added up)\n"
        "  --shock=on|off         our shock propagation (default on)\n"
        "  --sleep=on|off         resting bodies sleep, in every engine (default off)\n"
        "  --inertia=ours|own     the references take our inertia (a box's is four times a solid\n"
        "                         box's) or compute their own (default own)\n"
        "  --csv=FILE             write the run's steps to FILE\n"
        "  --engines=LIST         the matrix's engines (default: all built in)\n"
        "  --out=DIR              the matrix's folder for its CSVs, summary.md and hashes.txt\n"
        "  --commit=TEXT          the commit the matrix's summary names\n"
        "\n"
        "Every step is 1/30 s. With --engine=dorvo no reference engine is needed.\n");
}

bool ParseOptions(int argc, char** argv, Options* options, std::string* error)
{
    for (int i = 1; i < argc; ++i)
    {
        const std::string arg = argv[i];
        const std::size_t equals = arg.find('=');
        const std::string key = arg.substr(0, equals);
        const std::string value = equals == std::string::npos ? std::string() : arg.substr(equals + 1);
        bool ok = true;
        int number = 0;
        if (key == "--help" || key == "-h")
            options->mode = Options::HELP;
        else if (key == "--matrix")
            options->mode = Options::MATRIX;
        else if (key == "--check")
            options->mode = Options::CHECK;
        else if (key == "--engine")
            options->engine = value;
        else if (key == "--scene")
            options->scene.scene = value;
        else if (key == "--n")
            ok = ParseInt(value, 1, 100000, &options->scene.n);
        else if (key == "--steps")
            ok = ParseInt(value, 1, 1000000, &options->steps);
        else if (key == "--csv")
            options->csv = value;
        else if (key == "--layout")
            ok = ParseLayout(value, &options->scene.layout);
        else if (key == "--case")
            options->scene.accuracyCase = value;
        else if (key == "--mass")
        {
            char* end = nullptr;
            options->scene.mass = std::strtof(value.c_str(), &end);
            ok = !value.empty() && *end == '\0' && options->scene.mass > 0.0f && options->scene.mass < 1e6f;
        }
        else if (key == "--seed")
            ok = ParseInt(value, 0, 2147483647, &number) &&
                 (options->scene.seed = static_cast<unsigned>(number), true);
        else if (key == "--collision-steps")
            ok = ParseInt(value, 0, 1000, &number) &&
                 (options->scene.collisionSteps = static_cast<unsigned>(number), true);
        else if (key == "--contact-steps")
            ok = ParseInt(value, 0, 1000, &number) &&
                 (options->scene.contactSteps = static_cast<unsigned>(number), true);
        else if (key == "--iterations")
            ok = ParseInt(value, 1, 1000, &options->iterations);
        else if (key == "--shock")
            ok = ParseSwitch(value, &options->scene.shock);
        else if (key == "--sleep")
            ok = ParseSwitch(value, &options->scene.sleep);
        else if (key == "--inertia")
        {
            ok = value == "ours" || value == "own";
            options->ourInertia = value == "ours";
            options->inertiaSet = true;
        }
        else if (key == "--out")
            options->out = value;
        else if (key == "--commit")
            options->commit = value;
        else if (key == "--engines")
        {
            options->engines.clear();
            std::size_t from = 0;
            while (from <= value.size())
            {
                const std::size_t comma = value.find(',', from);
                const std::string name =
                    value.substr(from, comma == std::string::npos ? std::string::npos : comma - from);
                if (!name.empty())
                    options->engines.push_back(name);
                if (comma == std::string::npos)
                    break;
                from = comma + 1;
            }
        }
        else
        {
            *error = "unknown option \"" + arg + "\" (--help lists them)";
            return false;
        }
        if (!ok)
        {
            *error = "option \"" + arg + "\" has a value that does not fit (--help lists them)";
            return false;
        }
    }
    return true;
}
} // namespace physbench
