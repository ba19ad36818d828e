#include "game/app/WinMain.h"

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
    auto app = std::make_unique<CQUORBApp>();
    CEngineLoader loader;
    const std::string configPath = std::string(kXmlDataPath) + "dorvo_engine_config.xml";
    return dorvo::RunApplication(std::move(app), loader, configPath);
}
} // namespace QUORB
