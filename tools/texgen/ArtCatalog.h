// The list of every texture the generator makes: its file name under the texture folder, its
// size and the routine that draws it. Each theme file adds its own entries.
#pragma once

#include "Raster.h"

#include <functional>
#include <string>
#include <vector>

namespace texgen
{

struct ArtFile
{
    std::string name; // relative to the texture folder, for example "hud/Arrow.png"
    int width = 0;
    int height = 0;
    std::function<Image()> draw;
    bool grey = false; // written as one grey channel (height maps)
};

void AddConsoleArt(std::vector<ArtFile>& out);
void AddCursorArt(std::vector<ArtFile>& out);
void AddHudFrameArt(std::vector<ArtFile>& out);
void AddGameIconArt(std::vector<ArtFile>& out);
void AddEditorIconArt(std::vector<ArtFile>& out);
void AddSplashArt(std::vector<ArtFile>& out);
void AddPortraitArt(std::vector<ArtFile>& out);
void AddTerrainArt(std::vector<ArtFile>& out);
void AddObjectArt(std::vector<ArtFile>& out);
void AddRoomArt(std::vector<ArtFile>& out);
void AddPropArt(std::vector<ArtFile>& out);
void AddWidgetArt(std::vector<ArtFile>& out);
void AddObjectiveArt(std::vector<ArtFile>& out);
void AddWaterArt(std::vector<ArtFile>& out);

// Every file, in a fixed order.
std::vector<ArtFile> AllArt();

// Draws the file and writes it under `folder` (PNG, or JPEG for ".jpg" names), creating the
// sub-folders it needs. False with `error` filled when drawing gave the wrong size or the file
// could not be written.
bool WriteArt(const ArtFile& art, const std::string& folder, std::string& error);

} // namespace texgen
