// meshgen: writes the game's meshes as text .X files into the folder named on the command line
// (data/meshes), and, given a second folder (tests/data/meshes), binary and compressed copies of
// a few of them for the tests. The output is the same on every run.
#include "Catalogue.h"

#include <cstdio>
#include <string>
#include <vector>

int main(int argc, char** argv)
{
    if (argc != 2 && argc != 3)
    {
        std::fprintf(stderr, "usage: meshgen <mesh folder> [<test mesh folder>]\n");
        return 2;
    }
    std::vector<std::string> written;
    std::string error;
    if (!meshgen::WriteCatalogue(argv[1], written, error))
    {
        std::fprintf(stderr, "meshgen: %s\n", error.c_str());
        return 1;
    }
    std::printf("meshgen: wrote %zu meshes into %s\n", written.size(), argv[1]);
    if (argc == 3)
    {
        written.clear();
        if (!meshgen::WriteForms(argv[2], written, error))
        {
            std::fprintf(stderr, "meshgen: %s\n", error.c_str());
            return 1;
        }
        std::printf("meshgen: wrote %zu binary and compressed copies into %s\n", written.size(), argv[2]);
    }
    return 0;
}
