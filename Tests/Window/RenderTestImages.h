// Test images encoded in memory; one .cpp per test executable defines STB_IMAGE_WRITE_IMPLEMENTATION.
#pragma once

// The library's own code trips the project's warnings; it is not ours to fix.
#pragma GCC diagnostic push
#pragma GCC diagnostic ignored "-Wmissing-field-initializers"
#pragma GCC diagnostic ignored "-Wunused-parameter"
#pragma GCC diagnostic ignored "-Wsign-compare"
#include <stb_image_write.h>
#pragma GCC diagnostic pop

#include <cstdint>
#include <filesystem>
#include <fstream>
#include <vector>

inline void AppendBytes(void* context, void* data, int size)
{
    auto* out = static_cast<std::vector<uint8_t>*>(context);
    out->insert(out->end(), (uint8_t*)data, (uint8_t*)data + size);
}

// A JPEG of one colour.
inline std::vector<uint8_t> SolidJpeg(int width, int height, uint8_t r, uint8_t g, uint8_t b)
{
    std::vector<uint8_t> pixels;
    for (int i = 0; i < width * height; i++)
        pixels.insert(pixels.end(), {r, g, b});
    std::vector<uint8_t> file;
    stbi_write_jpg_to_func(AppendBytes, &file, width, height, 3, pixels.data(), 95);
    return file;
}

// A PNG of `channels` channels (1 grey, 4 RGBA) from raw pixels.
inline std::vector<uint8_t> EncodePng(int width, int height, int channels, const std::vector<uint8_t>& pixels)
{
    std::vector<uint8_t> file;
    stbi_write_png_to_func(AppendBytes, &file, width, height, channels, pixels.data(), width * channels);
    return file;
}

// A grey mask: opaque on the left half, transparent on the right.
inline std::vector<uint8_t> LeftHalfMask(int width, int height)
{
    std::vector<uint8_t> pixels(width * height);
    for (int y = 0; y < height; y++)
        for (int x = 0; x < width; x++)
            pixels[y * width + x] = x < width / 2 ? 255 : 0;
    return EncodePng(width, height, 1, pixels);
}

inline void WriteFile(const std::filesystem::path& path, const std::vector<uint8_t>& bytes)
{
    std::ofstream out(path, std::ios::binary);
    out.write((const char*)bytes.data(), (std::streamsize)bytes.size());
}
