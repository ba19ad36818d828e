#include "platform/image_codec.h"

#include "platform/files.h"

// PNG goes to libpng and JPG to libjpeg-turbo, each read a row at a time straight into the
// caller's pixels, so an image is never held twice: a texture's file is decoded into the
// texture's own first level. Both report errors without ending the program (libpng through the
// jump below). stb_image_write comes from the system's library.
#include <png.h>
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

// Every chunk of a PNG lies inside the file and the last one is IEND: a damaged length or a
// cut-off file is refused before a decoder believes the length and allocates for it.
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

// libpng's view of the bytes and where its last error goes.
struct PngSource
{
    const unsigned char* data;
    std::size_t size;
    std::size_t pos;
    char error[200];
};

void ReadPngBytes(png_structp png, png_bytep out, png_size_t length)
{
    auto* source = static_cast<PngSource*>(png_get_io_ptr(png));
    if (length > source->size - source->pos)
        png_error(png, "the file ends early");
    std::memcpy(out, source->data + source->pos, length);
    source->pos += length;
}

void OnPngError(png_structp png, png_const_charp message)
{
    auto* source = static_cast<PngSource*>(png_get_error_ptr(png));
    std::snprintf(source->error, sizeof source->error, "%s", message ? message : "no reason given");
    png_longjmp(png, 1);
}

void OnPngWarning(png_structp, png_const_charp) {}

// The chunks the game has no use for are skipped unread (a text or colour-profile chunk would
// otherwise be inflated for nothing); the pixels come out as stb_image's always did, without
// gamma or colour profile.
constexpr png_byte kIgnoredChunks[] = {'b', 'K', 'G', 'D', 0, 'c', 'H', 'R', 'M', 0, 'e', 'X', 'I', 'f', 0,
                                       'g', 'A', 'M', 'A', 0, 'h', 'I', 'S', 'T', 0, 'i', 'C', 'C', 'P', 0,
                                       'i', 'T', 'X', 't', 0, 'o', 'F', 'F', 's', 0, 'p', 'C', 'A', 'L', 0,
                                       'p', 'H', 'Y', 's', 0, 's', 'B', 'I', 'T', 0, 's', 'C', 'A', 'L', 0,
                                       's', 'P', 'L', 'T', 0, 's', 'R', 'G', 'B', 0, 's', 'T', 'E', 'R', 0,
                                       't', 'E', 'X', 't', 0, 't', 'I', 'M', 'E', 0, 'z', 'T', 'X', 't', 0};

// The header and, with pixels, the image (header.width x header.height words) of a PNG. A libpng
// error jumps back to the setjmp here, so nothing between it and the jump has a destructor.
bool RunPng(png_structp png, png_infop info, ImageHeader& header, std::uint32_t* pixels)
{
    if (setjmp(png_jmpbuf(png)) != 0)
        return false;
    png_set_read_fn(png, png_get_error_ptr(png), &ReadPngBytes);
    // stb_image, which read the game's textures before, never checked a CRC; a file that loaded
    // then loads now.
    png_set_crc_action(png, PNG_CRC_QUIET_USE, PNG_CRC_QUIET_USE);
    png_set_keep_unknown_chunks(png, PNG_HANDLE_CHUNK_NEVER, kIgnoredChunks,
                                static_cast<int>(sizeof kIgnoredChunks / 5));
    // The side limit is the caller's, so that its refusal names the size.
    png_set_user_limits(png, PNG_UINT_31_MAX, PNG_UINT_31_MAX);
    png_read_info(png, info);
    png_uint_32 width = 0, height = 0;
    int depth = 0, colour = 0;
    png_get_IHDR(png, info, &width, &height, &depth, &colour, nullptr, nullptr, nullptr);
    const bool transparentColour = png_get_valid(png, info, PNG_INFO_tRNS) != 0;
    if (pixels && (width != header.width || height != header.height))
        png_error(png, "the image's size changed");
    header.width = width;
    header.height = height;
    header.hasAlpha = (colour & PNG_COLOR_MASK_ALPHA) != 0 || transparentColour;
    if (!pixels)
        return true;
    // Whatever the file holds comes out as 8-bit B, G, R, A bytes: one A8R8G8B8 word a pixel.
    if (depth == 16)
        png_set_strip_16(png);
    if (colour == PNG_COLOR_TYPE_PALETTE)
        png_set_palette_to_rgb(png);
    if (colour == PNG_COLOR_TYPE_GRAY && depth < 8)
        png_set_expand_gray_1_2_4_to_8(png);
    if (transparentColour)
        png_set_tRNS_to_alpha(png);
    if ((colour & PNG_COLOR_MASK_COLOR) == 0)
        png_set_gray_to_rgb(png);
    png_set_bgr(png);
    if (!header.hasAlpha)
        png_set_filler(png, 0xFF, PNG_FILLER_AFTER);
    const int passes = png_set_interlace_handling(png);
    png_read_update_info(png, info);
    if (png_get_rowbytes(png, info) != std::size_t{width} * 4)
        png_error(png, "the pixels cannot be made 32-bit");
    // An interlaced image comes in passes, each adding its own pixels to the same rows.
    for (int pass = 0; pass < passes; ++pass)
        for (png_uint_32 y = 0; y < height; ++y)
            png_read_row(png, reinterpret_cast<png_bytep>(pixels + std::size_t{y} * width), nullptr);
    return true;
}

bool ReadPng(const unsigned char* data, std::size_t size, ImageHeader& header, std::uint32_t* pixels,
             std::string& reason)
{
    if (!PngChunksComplete(data, size))
    {
        reason = "the PNG image is damaged or truncated (its chunks do not end)";
        return false;
    }
    PngSource source{data, size, 0, {}};
    png_structp png = png_create_read_struct(PNG_LIBPNG_VER_STRING, &source, &OnPngError, &OnPngWarning);
    png_infop info = png ? png_create_info_struct(png) : nullptr;
    const bool started = info != nullptr;
    const bool ok = started && RunPng(png, info, header, pixels);
    if (png)
        png_destroy_read_struct(&png, info ? &info : nullptr, nullptr);
    if (!ok)
    {
        if (!started)
            reason = "the PNG decoder cannot start";
        else if (pixels)
            reason = std::string("the PNG image is damaged or truncated (") + DecoderText(source.error) + ")";
        else
            reason = std::string("the PNG image cannot be read (") + DecoderText(source.error) + ")";
    }
    return ok;
}

bool ReadJpg(const unsigned char* data, std::size_t size, ImageHeader& header, std::uint32_t* pixels,
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
    if (ok && pixels && (static_cast<UINT>(w) != header.width || static_cast<UINT>(h) != header.height))
    {
        reason = "the JPG image's size changed";
        tjDestroy(decoder);
        return false;
    }
    if (ok)
    {
        header.width = static_cast<UINT>(std::max(w, 0));
        header.height = static_cast<UINT>(std::max(h, 0));
        header.hasAlpha = false;
    }
    if (ok && pixels)
    {
        // Bytes B, G, R, X are one A8R8G8B8 word; a warning (a cut-off file) is an error here.
        ok = tjDecompress2(decoder, data, length, reinterpret_cast<unsigned char*>(pixels), w, w * 4, h,
                           TJPF_BGRX, TJFLAG_STOPONWARNING) == 0;
        const std::size_t count = static_cast<std::size_t>(w) * static_cast<std::size_t>(h);
        for (std::size_t i = 0; i < count; ++i)
            pixels[i] |= 0xFF000000u;
    }
    if (!ok)
        reason = std::string("the JPG image is damaged or truncated (") +
                 DecoderText(tjGetErrorStr2(decoder)) + ")";
    tjDestroy(decoder);
    return ok;
}

// The header, and with pixels the image, of a PNG or JPG.
bool ReadImage(const unsigned char* data, std::size_t size, ImageHeader& header, std::uint32_t* pixels,
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
    if (!(png ? ReadPng(data, size, header, pixels, reason) : ReadJpg(data, size, header, pixels, reason)))
        return false;
    if (header.width == 0 || header.height == 0)
    {
        reason = "the image has no pixels";
        return false;
    }
    return true;
}
} // namespace

bool ReadImageHeader(const unsigned char* data, std::size_t size, ImageHeader& header, std::string& reason)
{
    header = ImageHeader();
    return ReadImage(data, size, header, nullptr, reason);
}

bool DecodeImageInto(const unsigned char* data, std::size_t size, const ImageHeader& header,
                     std::uint32_t* pixels, std::string& reason)
{
    ImageHeader read = header;
    return pixels && header.width > 0 && header.height > 0 && ReadImage(data, size, read, pixels, reason);
}

bool DecodeImage(const unsigned char* data, std::size_t size, UINT maxSize, DecodedImage& image,
                 std::string& reason)
{
    ImageHeader header;
    if (!ReadImageHeader(data, size, header, reason))
        return false;
    if (header.width > maxSize || header.height > maxSize)
    {
        reason = "the image is " + std::to_string(header.width) + " x " + std::to_string(header.height) +
                 " pixels, more than the " + std::to_string(maxSize) + " a side a texture can have";
        return false;
    }
    image.pixels.assign(static_cast<std::size_t>(header.width) * header.height, 0u);
    if (!DecodeImageInto(data, size, header, image.pixels.data(), reason))
    {
        std::vector<std::uint32_t>().swap(image.pixels);
        return false;
    }
    image.width = header.width;
    image.height = header.height;
    image.hasAlpha = header.hasAlpha;
    return true;
}

void HalveImage(const std::uint32_t* src, UINT width, UINT height, std::uint32_t* dst)
{
    const UINT halfWidth = std::max(1u, width / 2), halfHeight = std::max(1u, height / 2);
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
