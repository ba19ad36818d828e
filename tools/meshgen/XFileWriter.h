// Writes an XModel as a text .X file ("xof 0303txt 0032"): frames with FrameTransformMatrix,
// Mesh with MeshTextureCoords, MeshMaterialList (one Material with its TextureFilename),
// XSkinMeshHeader and SkinWeights when skinned, VertexDuplicationIndices, AnimTicksPerSecond
// and AnimationSets. Numbers are written with six decimals, so the same model always gives the
// same bytes.
#pragma once

#include "MeshModel.h"

#include <string>

namespace meshgen
{
std::string FormatNumber(double value);

std::string WriteXText(const XModel& model);

// Writes the text into folder/model.fileName. False with a one-line reason on failure.
bool WriteXFile(const XModel& model, const std::string& folder, std::string& error);
} // namespace meshgen
