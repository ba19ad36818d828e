// Every mesh the game and its tests use, built in one fixed order: the room shell and its props,
// the widgets, star objects, nodes, fields, objective markers and the construction quad, the
// "Invalid.x" stand-in and the skinned "Arm.x".
#pragma once

#include "MeshModel.h"

#include <string>
#include <vector>

namespace meshgen
{
std::vector<XModel> BuildCatalogue();

// The two-bone skinned arm with its looping "Bend" animation.
XModel BuildArm();

// Writes every model of the catalogue into folder. False with a one-line reason on failure.
bool WriteCatalogue(const std::string& folder, std::vector<std::string>& written, std::string& error);

// The catalogue's models whose binary and compressed copies the tests read beside the text
// file: the skinned, animated arm (frames, skin weights, a material, an animation set), the
// plain box and the sphere, whose text is long enough for two compressed blocks.
const std::vector<std::string>& FormModels();

// Writes the binary and compressed copies of FormModels() into folder (tests/data/meshes).
bool WriteForms(const std::string& folder, std::vector<std::string>& written, std::string& error);
} // namespace meshgen
