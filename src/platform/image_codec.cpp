#include "platform/image_codec.h"

#include "platform/files.h"

// stb_image is compiled here, privately and for PNG only: no other format can be taken for a
// PNG, its internal checks do not end the program, and sanitised builds look inside it. JPG
// goes to libjpeg-turbo: the stb_image of the system trusts a JPG's Huffman tables and reads
// and writes out of bounds on a hostile one. stb_image_write comes from the system's library.
#define STB_IMAGE_IMPLEMENTATION
#define STB_IMAGE_STATIC
#define STBI_ONLY_PNG
#define STBI_NO_STDIO
#define STBI_ASSERT(x) ((void)0)
#pragma GCC diagnostic push
#pragma GCC diagnostic ignored "-Wunused-function"
#pragma GCC diagnostic ignored "-Wsign-compare"
#pragma GCC diagnostic ignored "-Wimplicit-fallthrough"
#pragma GCC diagnostic ignored "-Wunused-parameter"
#pragma GCC diagnostic ignored "-Wunused-but-set-variable"
#include <stb_image.h>
#pragma GCC diagnostic pop
#include <stb_image_write.h>
#include <turbojpeg.h>

#include <algorithm>
#include <cstdio>
#include <cstring>
#include <filesystem>

namespace plat::detail
{
namespace
{
constexpr unsigned char kPngSignature[8] = {0x89, 'P', 'N', 'G', 0x0D, 0x0A, 0x1A, 0x0A};

// A decoder's message may quote bytes of the file (stb_image names an unknown chunk by its
// type): anything but printable ASCII becomes '?', so the report stays one readable line.
std::string DecoderText(const char* text)
{
    std::string out = text ? text : "no reason given";
    for (char& c : out)
        if (c < 0x20 || c > 0x7E)
            c = '?';
    return out;
}

bool IsPng(const unsigned char* data, std::size_t size)
{
    return size >= sizeof kPngSignature && std::memcmp(data, kPngSignature, sizeof kPngSignature) == 0;
}

// Every chunk of a PNG lies inside the file and the last one is IEND. stb_image believes a
// chunk's length and allocates for it before reading, so a damaged length would cost gigabytes.
bool PngChunksComplete(const unsigned char* data, std::size_t size)
{
    std::size_t pos = sizeof kPngSignature;
    while (size - pos >= 12)
    {
        const std::size_t length = (std::size_t{data[pos]} << 24) | (std::size_t{data[pos + 1]} << 16) |
                                   (std::size_t{data[pos + 2]} << 8) | data[pos + 3];
        if (length > size - pos - 12)
            return false;
        if (std::memcmp(data + pos + 4, "IEND", 4) == 0)
            return true;
        pos += 12 + length;
    }
    return false;
}

bool IsJpg(const unsigned char* data, std::size_t size)
{
    return size >= 3 && data[0] == 0xFF && data[1] == 0xD8 && data[2] == 0xFF;
}

void AppendToVector(void* context, void* data, int size)
{
    auto* out = static_cast<std::vector<unsigned char>*>(context);
    const auto* bytes = static_cast<const unsigned char*>(data);
    out->insert(out->end(), bytes, bytes + size);
}
bool TooLarge(int w, int h, UINT maxSize, std::string& reason)
{
    if (w > 0 && h > 0 && static_cast<UINT>(w) <= maxSize && static_cast<UINT>(h) <= maxSize)
        return false;
    reason = "the image is " + std::to_string(w) + " x " + std::to_string(h) + " pixels, more than the " +
             std::to_string(maxSize) + " a side a texture can have";
    return true;
}

bool DecodePng(const unsigned char* data, std::size_t size, UINT maxSize, DecodedImage& image,
               std::string& reason)
{
    if (!PngChunksComplete(data, size))
    {
        reason = "the PNG image is damaged or truncated (its chunks do not end)";
        return false;
    }
    const int length = static_cast<int>(size);
    int w = 0, h = 0, channels = 0;
    if (!stbi_info_from_memory(data, length, &w, &h, &channels))
    {
        reason = std::string("the PNG image cannot be read (") + DecoderText(stbi_failure_reason()) + ")";
        return false;
    }
    if (TooLarge(w, h, maxSize, reason))
        return false;
    unsigned char* rgba = stbi_load_from_memory(data, length, &w, &h, &channels, 4);
    if (!rgba)
    {
        reason =
            std::string("the PNG image is damaged or truncated (") + DecoderText(stbi_failure_reason()) + ")";
        return false;
    }
    image.width = static_cast<UINT>(w);
    image.height = static_cast<UINT>(h);
    image.hasAlpha = channels == 2 || channels == 4;
    image.pixels.resize(static_cast<std::size_t>(w) * static_cast<std::size_t>(h));
    for (std::size_t i = 0; i < image.pixels.size(); ++i)
    {
        const unsigned char* p = rgba + 4 * i;
        const std::uint32_t alpha = image.hasAlpha ? p[3] : 0xFFu;
        image.pixels[i] = (alpha << 24) | (std::uint32_t{p[0]} << 16) | (std::uint32_t{p[1]} << 8) | p[2];
    }
    stbi_image_free(rgba);
    return true;
}

bool DecodeJpg(const unsigned char* data, std::size_t size, UINT maxSize, DecodedImage& image,
               std::string& reason)
{
    tjhandle decoder = tjInitDecompress();
    if (!decoder)
    {
        reason = "the JPG decoder cannot start";
        return false;
    }
    const auto length = static_cast<unsigned long>(size);
    int w = 0, h = 0, subsampling = 0, colourSpace = 0;
    bool ok = tjDecompressHeader3(decoder, data, length, &w, &h, &subsampling, &colourSpace) == 0;
    if (!ok)
        reason = std::string("the JPG image is damaged or truncated (") +
                 DecoderText(tjGetErrorStr2(decoder)) + ")";
    else if (TooLarge(w, h, maxSize, reason))
        ok = false;
    else
    {
        image.width = static_cast<UINT>(w);
        image.height = static_cast<UINT>(h);
        image.hasAlpha = false;
        image.pixels.assign(static_cast<std::size_t>(w) * static_cast<std::size_t>(h), 0u);
        // Bytes B, G, R, X are one A8R8G8B8 word; a warning (a cut-off file) is an error here.
        ok = tjDecompress2(decoder, data, length, reinterpret_cast<unsigned char*>(image.pixels.data()), w,
                           w * 4, h, TJPF_BGRX, TJFLAG_STOPONWARNING) == 0;
        if (!ok)
            reason = std::string("the JPG image is damaged or truncated (") +
                     DecoderText(tjGetErrorStr2(decoder)) + ")";
        for (std::uint32_t& p : image.pixels)
            p |= 0xFF000000u;
    }
    tjDestroy(decoder);
    return ok;
}
} // namespace

bool ReadImageSize(const unsigned char* data, std::size_t size, UINT& width, UINT& height,
                   std::string& reason)
{
    width = height = 0;
    if (size == 0 || size > static_cast<std::size_t>(INT32_MAX))
    {
        reason = size == 0 ? "the file is empty" : "the file is too large";
        return false;
    }
    int w = 0, h = 0;
    if (IsPng(data, size))
    {
        int channels = 0;
        if (!PngChunksComplete(data, size))
        {
            reason = "the PNG image is damaged or truncated (its chunks do not end)";
            return false;
        }
        if (!stbi_info_from_memory(data, static_cast<int>(size), &w, &h, &channels))
        {
            reason = std::string("the PNG image cannot be read (") + DecoderText(stbi_failure_reason()) + ")";
            return false;
        }
    }
    else if (IsJpg(data, size))
    {
        tjhandle decoder = tjInitDecompress();
        int subsampling = 0, colourSpace = 0;
        const bool ok =
            decoder != nullptr && tjDecompressHeader3(decoder, data, static_cast<unsigned long>(size), &w, &h,
                                                      &subsampling, &colourSpace) == 0;
        if (!ok)
            reason = decoder ? std::string("the JPG image is damaged or truncated (") +
                                   DecoderText(tjGetErrorStr2(decoder)) + ")"
                             : "the JPG decoder cannot start";
        if (decoder)
            tjDestroy(decoder);
        if (!ok)
            return false;
    }
    else
    {
        reason = "not a PNG or JPG image";
        return false;
    }
    if (w <= 0 || h <= 0)
    {
        reason = "the image has no pixels";
        return false;
    }
    width = static_cast<UINT>(w);
    height = static_cast<UINT>(h);
    return true;
}

bool DecodeImage(const unsigned char* data, std::size_t size, UINT maxSize, DecodedImage& image,
                 std::string& reason)
{
    if (size == 0)
    {
        reason = "the file is empty";
        return false;
    }
    const bool png = IsPng(data, size);
    if (!png && !IsJpg(data, size))
    {
        reason = "not a PNG or JPG image";
        return false;
    }
    if (size > static_cast<std::size_t>(INT32_MAX))
    {
        reason = "the file is too large";
        return false;
    }
    return png ? DecodePng(data, size, maxSize, image, reason)
               : DecodeJpg(data, size, maxSize, image, reason);
}

void HalveImage(const std::vector<std::uint32_t>& src, UINT width, UINT height,
                std::vector<std::uint32_t>& dst, UINT& halfWidth, UINT& halfHeight)
{
    halfWidth = std::max(1u, width / 2);
    halfHeight = std::max(1u, height / 2);
    dst.assign(static_cast<std::size_t>(halfWidth) * halfHeight, 0u);
    for (UINT y = 0; y < halfHeight; ++y)
    {
        for (UINT x = 0; x < halfWidth; ++x)
        {
            const UINT x0 = std::min(2 * x, width - 1), x1 = std::min(2 * x + 1, width - 1);
            const UINT y0 = std::min(2 * y, height - 1), y1 = std::min(2 * y + 1, height - 1);
            const std::uint32_t p[4] = {src[std::size_t{y0} * width + x0], src[std::size_t{y0} * width + x1],
                                        src[std::size_t{y1} * width + x0], src[std::size_t{y1} * width + x1]};
            std::uint32_t out = 0;
            for (int shift = 0; shift < 32; shift += 8)
            {
                std::uint32_t sum = 2; // rounds to nearest
                for (std::uint32_t v : p)
                    sum += (v >> shift) & 0xFFu;
                out |= (sum / 4) << shift;
            }
            dst[std::size_t{y} * halfWidth + x] = out;
        }
    }
}

bool EncodePng(const std::vector<std::uint32_t>& pixels, UINT width, UINT height,
               std::vector<unsigned char>& png)
{
    if (width == 0 || height == 0 || pixels.size() != static_cast<std::size_t>(width) * height)
        return false;
    std::vector<unsigned char> rgb(pixels.size() * 3);
    for (std::size_t i = 0; i < pixels.size(); ++i)
    {
        rgb[3 * i + 0] = static_cast<unsigned char>((pixels[i] >> 16) & 0xFF);
        rgb[3 * i + 1] = static_cast<unsigned char>((pixels[i] >> 8) & 0xFF);
        rgb[3 * i + 2] = static_cast<unsigned char>(pixels[i] & 0xFF);
    }
    png.clear();
    const int w = static_cast<int>(width), h = static_cast<int>(height);
    return stbi_write_png_to_func(&AppendToVector, &png, w, h, 3, rgb.data(), w * 3) != 0 && !png.empty();
}

bool ReadWholeFile(const std::string& path, std::vector<unsigned char>& bytes, std::string& reason)
{
    std::error_code ec;
    if (!std::filesystem::exists(ResolvePath(path), ec))
    {
        reason = "the file does not exist";
        return false;
    }
    std::string error;
    if (ReadDataFile(path, DataKind::Media, bytes, error))
        return true;
    // The callers put the file's name in front of the reason themselves.
    reason = error.compare(0, path.size() + 2, path + ": ") == 0 ? error.substr(path.size() + 2) : error;
    return false;
}
} // namespace plat::detail
