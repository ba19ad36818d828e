#include "ArtCatalog.h"

#include <stb_image_write.h>

#include <filesystem>
#include <system_error>

namespace texgen
{
namespace
{
constexpr int kJpegQuality = 92;

bool EndsWith(const std::string& s, const std::string& tail)
{
    return s.size() >= tail.size() && s.compare(s.size() - tail.size(), tail.size(), tail) == 0;
}
} // namespace

std::vector<ArtFile> AllArt()
{
    std::vector<ArtFile> all;
    AddConsoleArt(all);
    AddCursorArt(all);
    AddHudFrameArt(all);
    AddGameIconArt(all);
    AddEditorIconArt(all);
    AddSplashArt(all);
    AddPortraitArt(all);
    AddTerrainArt(all);
    AddObjectArt(all);
    AddRoomArt(all);
    AddPropArt(all);
    AddWidgetArt(all);
    AddObjectiveArt(all);
    AddWaterArt(all);
    return all;
}

bool WriteArt(const ArtFile& art, const std::string& folder, std::string& error)
{
    const Image image = art.draw();
    if (image.Width() != art.width || image.Height() != art.height)
    {
        error = art.name + ": drawn at " + std::to_string(image.Width()) + " x " +
                std::to_string(image.Height()) + ", expected " + std::to_string(art.width) + " x " +
                std::to_string(art.height);
        return false;
    }
    const std::filesystem::path path = std::filesystem::path(folder) / art.name;
    std::error_code ec;
    std::filesystem::create_directories(path.parent_path(), ec);
    if (ec)
    {
        error = path.parent_path().string() + ": cannot create the folder (" + ec.message() + ")";
        return false;
    }
    const bool jpeg = EndsWith(art.name, ".jpg");
    const int channels = art.grey ? 1 : ((jpeg || image.IsOpaque()) ? 3 : 4);
    const std::vector<uint8_t> bytes = image.ToBytes(channels);
    const int ok =
        jpeg ? stbi_write_jpg(path.c_str(), art.width, art.height, channels, bytes.data(), kJpegQuality)
             : stbi_write_png(path.c_str(), art.width, art.height, channels, bytes.data(),
                              art.width * channels);
    if (!ok)
    {
        error = path.string() + ": cannot write the file";
        return false;
    }
    return true;
}

} // namespace texgen
