// Reads "dorvo_engine_config.xml" into the engine configuration record. Element and
// attribute names are case-sensitive; a missing element or attribute keeps the field's value.
#pragma once

#include "engine/ACLoader.h"
#include "engine/SEngineConfigInfo.h"

class TiXmlElement;

namespace QUORB
{
class CEngineLoader : public dorvo::ACLoader<dorvo::SEngineConfigInfo>
{
public:
    void Load(const std::string& fileName) override;

private:
    void LoadGraphics(const TiXmlElement* graphics);
    void LoadSounds(const TiXmlElement* sounds);
};
} // namespace QUORB
