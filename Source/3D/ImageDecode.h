// Decoding JPEG and PNG images from memory. Image files are untrusted, so every image the game and
// its tools read is decoded here: JPEG by libjpeg-turbo, PNG by stb_image. Sizes are read from the
// header and checked before any pixel memory is allocated. Safe to call from two threads at once.
#pragma once

#include <cstdint>

// The size an image's header gives, without decoding it. False and a reason when the data is not a
// JPEG or PNG or its header is damaged.
bool ReadImageSize(const uint8_t* data, int32_t size, int* width, int* height, const char** reason);

// Decodes to `channels` 8-bit channels (1 grey, 3 RGB, 4 RGBA); the caller frees the pixels with
// FreeDecodedImage. Returns null and a reason when the data does not decode, is truncated, or the
// image is larger than maxSide pixels on a side.
uint8_t* DecodeImage(const uint8_t* data, int32_t size, int channels, int maxSide, int* width, int* height,
                     const char** reason);
void FreeDecodedImage(uint8_t* pixels);

// Decodes an image that must be exactly width x height into `pixels` (width * height * 4 bytes of
// RGBA), the last image row first when `bottomUp`. False and a reason when it does not decode or
// has another size; `pixels` is then undefined.
bool DecodeImageInto(const uint8_t* data, int32_t size, int width, int height, bool bottomUp, uint8_t* pixels,
                     const char** reason);
