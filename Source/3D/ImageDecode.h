// Decoding JPEG and PNG images from memory. Image files are untrusted: the decoder does not check
// everything itself, so every game reader decodes through here.
#pragma once

#include <cstdint>

// False when a JPEG's Huffman table claims more than 256 codes: the decoder would write past its
// tables. Data that is not a JPEG passes.
bool JpegHuffmanTablesFit(const uint8_t* data, int32_t size);

// Decodes to `channels` 8-bit channels (1 grey, 4 RGBA); the caller frees the pixels with
// FreeDecodedImage. Returns null and a reason when the data does not decode or the image is larger
// than maxSide pixels on a side (checked from the header, before any pixel is decoded).
uint8_t* DecodeImage(const uint8_t* data, int32_t size, int channels, int maxSide, int* width, int* height,
                     const char** reason);
void FreeDecodedImage(uint8_t* pixels);
