// Image files in and out for the texture helpers: PNG (libpng) and JPG (libjpeg-turbo) decoded
// after our own checks (a known signature, chunks that end, a size the caller can hold) straight
// into the caller's pixels, PNG written with stb_image_write. Pixels are A8R8G8B8 words, top row
// first.
#pragma once

#include "platform/win32.h"

#include <cstdint>
#include <string>
#include <vector>

namespace plat::detail
{
struct ImageHeader
{
    UINT width = 0; // pixels
    UINT height = 0;
    bool hasAlpha = false; // an alpha channel or a transparent colour; otherwise every alpha is 255
};

struct DecodedImage
{
    UINT width = 0; // pixels
    UINT height = 0;
    bool hasAlpha = false; // as ImageHeader::hasAlpha
    std::vector<std::uint32_t> pixels;
};

// What a PNG or JPG says it is, read without decoding a pixel (a PNG's chunks are checked to
// end first). False with the reason on anything else.
bool ReadImageHeader(const unsigned char* data, std::size_t size, ImageHeader& header, std::string& reason);

// The image of a file whose header was read, decoded a row at a time into pixels (header.width
// x header.height words, rows next to each other), with no other copy held on the way. False
// with the reason when the file is damaged; the pixels are then partly written.
bool DecodeImageInto(const unsigned char* data, std::size_t size, const ImageHeader& header,
                     std::uint32_t* pixels, std::string& reason);

// PNG or JPG bytes, at most maxSize pixels a side, into an image of their own. False with the
// reason on anything else.
bool DecodeImage(const unsigned char* data, std::size_t size, UINT maxSize, DecodedImage& image,
                 std::string& reason);

// The next mip level: each pixel of dst (max(1, width / 2) x max(1, height / 2)) the mean of the
// (up to) 2 x 2 pixels of src it covers.
void HalveImage(const std::uint32_t* src, UINT width, UINT height, std::uint32_t* dst);

// An opaque 8-bit RGB PNG of the pixels, top row first.
bool EncodePng(const std::vector<std::uint32_t>& pixels, UINT width, UINT height,
               std::vector<unsigned char>& png);

// A whole file through the path helper. False with the reason.
bool ReadWholeFile(const std::string& path, std::vector<unsigned char>& bytes, std::string& reason);
} // namespace plat::detail
