// A PNG read back from a file for the tests to look at: rows from the top, three bytes a pixel.
// Tests with their own colour questions derive from PngPicture and load as their own type.
#pragma once

#include <stb_image.h>

#include <cstddef>
#include <string>
#include <vector>

namespace testsupport
{
// Empty (width and height 0) when the file could not be read.
struct PngPicture
{
    int width = 0;
    int height = 0;
    std::vector<unsigned char> rgb;
    int At(int x, int y, int c) const { return rgb[(static_cast<std::size_t>(y) * width + x) * 3 + c]; }
};

// The PNG at the path as P (a PngPicture).
template <class P = PngPicture> P LoadPng(const std::string& path)
{
    P picture;
    int channels = 0;
    unsigned char* data = stbi_load(path.c_str(), &picture.width, &picture.height, &channels, 3);
    if (data)
    {
        picture.rgb.assign(data, data + static_cast<std::size_t>(picture.width) * picture.height * 3);
        stbi_image_free(data);
    }
    return picture;
}
} // namespace testsupport
