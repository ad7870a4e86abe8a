#include "DataForge/Writers/ImageWriter.h"

#include "DataForge/Writers/BigEndianWriter.h"

#include <stdexcept>

// A private copy: static functions, so other translation units may define their own.
#define STB_IMAGE_WRITE_IMPLEMENTATION
#define STB_IMAGE_WRITE_STATIC
#pragma GCC diagnostic push
#pragma GCC diagnostic ignored "-Wunused-function"
#pragma GCC diagnostic ignored "-Wmissing-field-initializers"
#include <stb_image_write.h>
#pragma GCC diagnostic pop

static void CheckImage(const Image& image)
{
    bool goodChannels = image.channels == 1 || image.channels == 3 || image.channels == 4;
    if (image.width <= 0 || image.height <= 0 || !goodChannels ||
        image.pixels.size() != size_t(image.width) * size_t(image.height) * size_t(image.channels))
        throw std::invalid_argument("image pixels do not match its size");
}

static void AppendToVector(void* context, void* data, int size)
{
    auto* out = static_cast<std::vector<uint8_t>*>(context);
    const auto* first = static_cast<const uint8_t*>(data);
    out->insert(out->end(), first, first + size);
}

std::vector<uint8_t> EncodePng(const Image& image)
{
    CheckImage(image);
    std::vector<uint8_t> out;
    if (!stbi_write_png_to_func(AppendToVector, &out, image.width, image.height, image.channels,
                                image.pixels.data(), image.width * image.channels))
        throw std::runtime_error("PNG encoding failed");
    return out;
}

std::vector<uint8_t> EncodeJpeg(const Image& image, int quality)
{
    CheckImage(image);
    std::vector<uint8_t> out;
    if (!stbi_write_jpg_to_func(AppendToVector, &out, image.width, image.height, image.channels,
                                image.pixels.data(), quality))
        throw std::runtime_error("JPEG encoding failed");
    return out;
}

void WritePngFile(const std::filesystem::path& path, const Image& image)
{
    WriteFileBytes(path, EncodePng(image));
}

void WriteJpegFile(const std::filesystem::path& path, const Image& image, int quality)
{
    WriteFileBytes(path, EncodeJpeg(image, quality));
}
