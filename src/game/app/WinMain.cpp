#include "game/app/WinMain.h"

#include "common/ConsoleInterface.h"
#include "engine/RunApplication.h"
#include "game/app/CEngineLoader.h"
#include "game/app/CQUORBApp.h"

#include <memory>
#include <string>

namespace QUORB
{
const char kXmlDataPath[] = "../../../../data/files/xmlfiles/";

int WinMain(plat::HINSTANCE, plat::HINSTANCE, const char*, int)
{
    // From the first line on, what the program says about itself is kept in the run folder's
    // "Log.xml" as well.
    common::ConsoleInterface::Instance().GetLog().TakeLogLines();
    auto app = std::make_unique<CQUORBApp>();
    CEngineLoader loader;
    const std::string configPath = std::string(kXmlDataPath) + "dorvo_engine_config.xml";
    return dorvo::RunApplication(std::move(app), loader, configPath);
}
} // namespace QUORB
