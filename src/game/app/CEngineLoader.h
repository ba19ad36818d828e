// Reads "dorvo_engine_config.xml" into the engine configuration record. Element and
// attribute names are case-sensitive; a missing element or attribute keeps the field's value.
// The record starts from the configuration the game ships, so a file that cannot be read, or
// lacks an element, still gives folders that reach the data, the effects and the light; a folder
// that leaves the run and data folders, or does not exist where the shipped one does, gives way
// to the shipped one. Each such fallback is one line.
#pragma once

#include "engine/ACLoader.h"
#include "engine/SEngineConfigInfo.h"

class TiXmlElement;

namespace QUORB
{
class CEngineLoader : public dorvo::ACLoader<dorvo::SEngineConfigInfo>
{
public:
    // The shipped configuration (data/files/xmlfiles/dorvo_engine_config.xml) with use defaults
    // set: no file read yet.
    CEngineLoader();

    void Load(const std::string& fileName) override;

    // The configuration the game ships, as that file gives it.
    static dorvo::SEngineConfigInfo Shipped();

private:
    void LoadGraphics(const TiXmlElement* graphics);
    void LoadSounds(const TiXmlElement* sounds);
    // The effect list and the light from the shipped configuration when no file gave them.
    void FillFromShipped();
};
} // namespace QUORB
