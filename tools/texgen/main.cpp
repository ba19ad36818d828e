// texgen: draws every texture of the game and writes it under the folder named on the command
// line. The output depends on nothing but this program and the fonts it reads, so running it
// twice gives the same pixels. Usage: texgen FOLDER [NAME-PART...]; with name parts only the
// files whose names contain one of them are written.
#include "ArtCatalog.h"

#include <cstdio>
#include <exception>
#include <string>
#include <vector>

int main(int argc, char** argv)
{
    if (argc < 2)
    {
        std::fprintf(stderr, "usage: texgen FOLDER [NAME-PART...]\n");
        return 2;
    }
    const std::string folder = argv[1];
    const std::vector<std::string> filters(argv + 2, argv + argc);
    try
    {
        int written = 0;
        for (const texgen::ArtFile& art : texgen::AllArt())
        {
            bool wanted = filters.empty();
            for (const std::string& f : filters)
                wanted = wanted || art.name.find(f) != std::string::npos;
            if (!wanted)
                continue;
            std::string error;
            if (!texgen::WriteArt(art, folder, error))
            {
                std::fprintf(stderr, "texgen: %s\n", error.c_str());
                return 1;
            }
            ++written;
        }
        std::printf("texgen: wrote %d files under %s\n", written, folder.c_str());
    }
    catch (const std::exception& e)
    {
        std::fprintf(stderr, "texgen: %s\n", e.what());
        return 1;
    }
    return 0;
}
