// The program entry: makes the QUORB application and the engine-configuration loader, and
// runs the program with "dorvo_engine_config.xml" from the XML data folder. The working
// folder is four levels below the repository root, where that folder resolves.
#pragma once

#include "platform/win32.h"

namespace QUORB
{
// The XML data folder, relative to the working folder.
extern const char kXmlDataPath[];

// The arguments are accepted and ignored: the program reads no command line. Returns the
// process exit code (non-zero when start-up or shutdown failed).
int WinMain(plat::HINSTANCE instance = nullptr, plat::HINSTANCE previous = nullptr,
            const char* commandLine = nullptr, int showCommand = 0);
} // namespace QUORB
