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
} // namespace meshgen
