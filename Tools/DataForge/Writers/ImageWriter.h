// Image writer: PNG and JPEG encoding of 8-bit images, to memory and to files, for textures,
// sprites, masks and the images embedded in model files.
//
// stb_image_write is compiled into ImageWriter.cpp only, as a private (static) copy, so that test
// files that define STB_IMAGE_WRITE_IMPLEMENTATION themselves still link against this library. Tool
// and forge code should call these functions and must not define STB_IMAGE_WRITE_IMPLEMENTATION again.
#pragma once

#include <cstdint>
#include <filesystem>
#include <vector>

// Rows top first; `channels` bytes a pixel: 1 grey, 3 RGB or 4 RGBA.
struct Image
{
    int width = 0;
    int height = 0;
    int channels = 4;
    std::vector<uint8_t> pixels;
};

// Encoders. Throw std::invalid_argument for an image whose pixel count does not match its size and
// std::runtime_error when the encoder fails. JPEG drops any alpha channel; quality is 1 to 100.
std::vector<uint8_t> EncodePng(const Image& image);
std::vector<uint8_t> EncodeJpeg(const Image& image, int quality);

// The same, written to `path`; throw std::runtime_error naming the path when it cannot be written.
void WritePngFile(const std::filesystem::path& path, const Image& image);
void WriteJpegFile(const std::filesystem::path& path, const Image& image, int quality);
