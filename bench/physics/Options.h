// The command line of phys_bench.
#pragma once

#include "physcene/BenchScene.h"

#include <string>
#include <vector>

namespace physbench
{
struct Options
{
    enum Mode
    {
        RUN,    // one scene on one engine
        MATRIX, // the whole matrix on every engine built in
        CHECK,  // the harness's own check
        HELP,
    };
    Mode mode = RUN;
    std::string engine = "dorvo";
    SceneOptions scene;
    int steps = 0;                    // 0: the scene's own
    std::string csv;                  // one run's CSV
    int iterations = 0;               // the references'; 0: our collision + contact steps
    bool ourInertia = false;          // give the references our inertia
    bool inertiaSet = false;          // --inertia given (the matrix then keeps it)
    std::string out = ".";            // the matrix's folder
    std::vector<std::string> engines; // the matrix's engines; empty: every one built in
    std::string commit;               // named in the matrix's summary
};

// False with one line for an unknown option or a value that does not parse.
bool ParseOptions(int argc, char** argv, Options* options, std::string* error);
void PrintHelp();
} // namespace physbench
