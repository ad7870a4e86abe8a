#include "3D/ImageDecode.h"

#include <cstdarg>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <turbojpeg.h>

// The one copy of stb_image in the program, for PNG only. Its pixels are allocated with malloc, so
// FreeDecodedImage frees them and the JPEG pixels alike with free.
#define STB_IMAGE_IMPLEMENTATION
// A corrupt image must end in the decoder's failure result, as it does in release builds, not in an
// internal assertion that aborts the game.
#define STBI_ASSERT(condition) ((void)0)
#define STBI_ONLY_PNG
#include <stb_image.h>

// No image the game reads comes near this many pixels (256 MB as RGBA); a header claiming more is
// refused before anything is allocated.
static constexpr int64_t kLargestImagePixels = int64_t(1) << 26;

// Reasons that carry numbers are formatted into a buffer of the calling thread, valid until its
// next call here.
static const char* FormatReason(const char* format, ...) __attribute__((format(printf, 1, 2)));
static const char* FormatReason(const char* format, ...)
{
    thread_local char text[160];
    va_list args;
    va_start(args, format);
    std::vsnprintf(text, sizeof(text), format, args);
    va_end(args);
    return text;
}

static bool IsJpeg(const uint8_t* data, int32_t size)
{
    return size >= 2 && data[0] == 0xFF && data[1] == 0xD8;
}

static bool IsPng(const uint8_t* data, int32_t size)
{
    static const uint8_t kSignature[8] = {0x89, 'P', 'N', 'G', '\r', '\n', 0x1A, '\n'};
    return size >= 8 && std::memcmp(data, kSignature, sizeof(kSignature)) == 0;
}

// ---------------------------------------------------------------------------------------------------------
// JPEG
// ---------------------------------------------------------------------------------------------------------

// One decompressor per thread, made on first use and destroyed when the thread ends. After a
// failure it is replaced: a decompressor stopped in the middle of a header stays in that state and
// would refuse the next, good image.
struct JpegDecompressor
{
    tjhandle handle = nullptr;
    ~JpegDecompressor()
    {
        if (handle)
            tjDestroy(handle);
    }
};
static thread_local JpegDecompressor gJpegDecompressor;

static tjhandle GetJpegDecompressor()
{
    if (!gJpegDecompressor.handle)
        gJpegDecompressor.handle = tjInitDecompress();
    return gJpegDecompressor.handle;
}

// The decompressor's message as the reason, then a fresh decompressor for the next image.
static bool JpegFailed(const char** reason)
{
    *reason = FormatReason("%s", tjGetErrorStr2(gJpegDecompressor.handle));
    tjDestroy(gJpegDecompressor.handle);
    gJpegDecompressor.handle = nullptr;
    return false;
}

static bool ReadJpegSize(const uint8_t* data, int32_t size, int* width, int* height, const char** reason)
{
    tjhandle decompressor = GetJpegDecompressor();
    if (!decompressor) {
        *reason = "the JPEG decoder cannot start";
        return false;
    }
    int subsampling = 0, colorspace = 0;
    if (tjDecompressHeader3(decompressor, data, (unsigned long)size, width, height, &subsampling,
                            &colorspace) != 0)
        return JpegFailed(reason);
    // Data that ends before the frame header passes as a stream of tables only, with no size.
    if (*width < 1 || *height < 1) {
        JpegFailed(reason);
        *reason = "the JPEG data ends before the image's size";
        *width = *height = 0;
        return false;
    }
    return true;
}

// Decodes into pixels of exactly the header's size. A warning (truncated data, a corrupt segment)
// stops the decode and fails it: a half-grey image must not pass for a good one.
static bool DecodeJpeg(const uint8_t* data, int32_t size, int width, int height, int channels, bool bottomUp,
                       uint8_t* pixels, const char** reason)
{
    tjhandle decompressor = GetJpegDecompressor();
    if (!decompressor) {
        *reason = "the JPEG decoder cannot start";
        return false;
    }
    int format = channels == 1 ? TJPF_GRAY : channels == 3 ? TJPF_RGB : TJPF_RGBA;
    int flags = TJFLAG_STOPONWARNING | (bottomUp ? TJFLAG_BOTTOMUP : 0);
    if (tjDecompress2(decompressor, data, (unsigned long)size, pixels, width, 0, height, format, flags) != 0)
        return JpegFailed(reason);
    return true;
}

// ---------------------------------------------------------------------------------------------------------
// Both formats
// ---------------------------------------------------------------------------------------------------------

bool ReadImageSize(const uint8_t* data, int32_t size, int* width, int* height, const char** reason)
{
    *width = *height = 0;
    if (!data || size <= 0) {
        *reason = "no image data";
        return false;
    }
    if (IsJpeg(data, size))
        return ReadJpegSize(data, size, width, height, reason);
    if (!IsPng(data, size)) {
        *reason = "neither a JPEG nor a PNG image";
        return false;
    }
    int channels = 0;
    if (!stbi_info_from_memory(data, size, width, height, &channels)) {
        *reason = stbi_failure_reason();
        return false;
    }
    return true;
}

uint8_t* DecodeImage(const uint8_t* data, int32_t size, int channels, int maxSide, int* width, int* height,
                     const char** reason)
{
    *width = *height = 0;
    if (channels != 1 && channels != 3 && channels != 4) {
        *reason = FormatReason("%d channels cannot be decoded", channels);
        return nullptr;
    }
    int headerWidth = 0, headerHeight = 0;
    if (!ReadImageSize(data, size, &headerWidth, &headerHeight, reason))
        return nullptr;
    if (headerWidth > maxSide || headerHeight > maxSide) {
        *reason = FormatReason("%dx%d is larger than %d pixels a side", headerWidth, headerHeight, maxSide);
        return nullptr;
    }
    if (int64_t(headerWidth) * headerHeight > kLargestImagePixels) {
        *reason = FormatReason("%dx%d is more than %lld pixels", headerWidth, headerHeight,
                               (long long)kLargestImagePixels);
        return nullptr;
    }

    if (IsJpeg(data, size)) {
        auto* pixels = (uint8_t*)std::malloc(size_t(headerWidth) * size_t(headerHeight) * size_t(channels));
        if (!pixels) {
            *reason = "out of memory";
            return nullptr;
        }
        if (!DecodeJpeg(data, size, headerWidth, headerHeight, channels, false, pixels, reason)) {
            std::free(pixels);
            return nullptr;
        }
        *width = headerWidth;
        *height = headerHeight;
        return pixels;
    }

    int fileChannels = 0;
    uint8_t* pixels = stbi_load_from_memory(data, size, width, height, &fileChannels, channels);
    if (!pixels)
        *reason = stbi_failure_reason();
    return pixels;
}

void FreeDecodedImage(uint8_t* pixels)
{
    std::free(pixels);
}

bool DecodeImageInto(const uint8_t* data, int32_t size, int width, int height, bool bottomUp, uint8_t* pixels,
                     const char** reason)
{
    int headerWidth = 0, headerHeight = 0;
    if (!ReadImageSize(data, size, &headerWidth, &headerHeight, reason))
        return false;
    if (headerWidth != width || headerHeight != height) {
        *reason = FormatReason("the image is %dx%d, not %dx%d", headerWidth, headerHeight, width, height);
        return false;
    }
    if (IsJpeg(data, size))
        return DecodeJpeg(data, size, width, height, 4, bottomUp, pixels, reason);

    int decodedWidth = 0, decodedHeight = 0, fileChannels = 0;
    uint8_t* decoded = stbi_load_from_memory(data, size, &decodedWidth, &decodedHeight, &fileChannels, 4);
    if (!decoded) {
        *reason = stbi_failure_reason();
        return false;
    }
    if (decodedWidth != width || decodedHeight != height) {
        stbi_image_free(decoded);
        *reason = "the image's size changed while it was decoded";
        return false;
    }
    size_t rowBytes = size_t(width) * 4;
    for (int y = 0; y < height; y++)
        std::memcpy(pixels + size_t(y) * rowBytes, decoded + size_t(bottomUp ? height - 1 - y : y) * rowBytes,
                    rowBytes);
    stbi_image_free(decoded);
    return true;
}
