// Image files in and out for the texture helpers: PNG and JPG decoded with stb_image after our
// own checks (a known signature, a size the device can hold, a JPG that ends), PNG written with
// stb_image_write. Pixels are A8R8G8B8 words, top row first.
#pragma once

#include "platform/win32.h"

#include <cstdint>
#include <string>
#include <vector>

namespace plat::detail
{
struct DecodedImage
{
    UINT width = 0; // pixels
    UINT height = 0;
    bool hasAlpha = false; // the file has an alpha channel; otherwise every alpha is 255
    std::vector<std::uint32_t> pixels;
};

// The size a PNG or JPG says it has, read from its header without decoding a pixel (a PNG's
// chunks are checked to end first). False with the reason on anything else.
bool ReadImageSize(const unsigned char* data, std::size_t size, UINT& width, UINT& height,
                   std::string& reason);

// PNG or JPG bytes, at most maxSize pixels a side. False with the reason on anything else.
bool DecodeImage(const unsigned char* data, std::size_t size, UINT maxSize, DecodedImage& image,
                 std::string& reason);

// The next mip level: each pixel the mean of the (up to) 2 x 2 pixels it covers.
void HalveImage(const std::vector<std::uint32_t>& src, UINT width, UINT height,
                std::vector<std::uint32_t>& dst, UINT& halfWidth, UINT& halfHeight);

// An opaque 8-bit RGB PNG of the pixels, top row first.
bool EncodePng(const std::vector<std::uint32_t>& pixels, UINT width, UINT height,
               std::vector<unsigned char>& png);

// A whole file through the path helper. False with the reason.
bool ReadWholeFile(const std::string& path, std::vector<unsigned char>& bytes, std::string& reason);
} // namespace plat::detail
