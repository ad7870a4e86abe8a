#include "3D/ImageDecode.h"

#include <cstdio>

// The one copy of the decoder in the program; the game's images are JPEG and PNG only.
#define STB_IMAGE_IMPLEMENTATION
// The decoder's internal assertions fire on corrupt Huffman data; a corrupt image must end in the
// decoder's own failure result, as it does in release builds, not abort the game.
#define STBI_ASSERT(condition) ((void)0)
#define STBI_ONLY_JPEG
#define STBI_ONLY_PNG
#include <stb_image.h>

// Each Huffman table is built into arrays of 257 entries without a check that the table's sixteen
// code counts add up to at most 256. Every place the decoder could take for a table definition
// (a 0xFF 0xC4 marker, the segment's tables one after another) is checked here first; entropy-coded
// data never holds that marker, so nothing valid is refused.
bool JpegHuffmanTablesFit(const uint8_t* data, int32_t size)
{
    // Only data the decoder may take for a JPEG (it skips any run of 0xFF before the start marker)
    // is read this way; other formats may hold these bytes anywhere.
    bool isJpeg = size >= 1 && data[0] == 0xFF;
    if (!isJpeg)
        return true;

    // Past the end the decoder reads zeros; so does this.
    auto byteAt = [data, size](int64_t i) { return i < size ? int(data[i]) : 0; };
    for (int32_t marker = 0; marker + 1 < size; marker++) {
        if (data[marker] != 0xFF || data[marker + 1] != 0xC4)
            continue;
        int64_t at = marker + 2;
        int64_t remaining = ((byteAt(at) << 8) | byteAt(at + 1)) - 2;
        at += 2;
        while (remaining > 0 && at < size) {
            int codes = 0;
            for (int i = 0; i < 16; i++)
                codes += byteAt(at + 1 + i);
            if (codes > 256)
                return false;
            at += 17 + codes;
            remaining -= 17 + codes;
        }
    }
    return true;
}

uint8_t* DecodeImage(const uint8_t* data, int32_t size, int channels, int maxSide, int* width, int* height,
                     const char** reason)
{
    *width = *height = 0;
    if (!data || size <= 0) {
        *reason = "no image data";
        return nullptr;
    }
    if (!JpegHuffmanTablesFit(data, size)) {
        *reason = "corrupt Huffman table";
        return nullptr;
    }

    int headerWidth = 0, headerHeight = 0, fileChannels = 0;
    if (!stbi_info_from_memory(data, size, &headerWidth, &headerHeight, &fileChannels)) {
        *reason = stbi_failure_reason();
        return nullptr;
    }
    if (headerWidth > maxSide || headerHeight > maxSide) {
        static char tooLarge[64];
        std::snprintf(tooLarge, sizeof(tooLarge), "%dx%d is larger than %d pixels a side", headerWidth,
                      headerHeight, maxSide);
        *reason = tooLarge;
        return nullptr;
    }

    uint8_t* pixels = stbi_load_from_memory(data, size, width, height, &fileChannels, channels);
    if (!pixels)
        *reason = stbi_failure_reason();
    return pixels;
}

void FreeDecodedImage(uint8_t* pixels)
{
    stbi_image_free(pixels);
}
