// meshgen: writes the game's meshes as text .X files into the folder named on the command line.
// The output is the same on every run; the committed copies live in data/meshes.
#include "Catalogue.h"

#include <cstdio>
#include <string>
#include <vector>

int main(int argc, char** argv)
{
    if (argc != 2)
    {
        std::fprintf(stderr, "usage: meshgen <output folder>\n");
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
    return 0;
}
