// TQ3D_Local.h: what the model-file sources share among themselves. Not for the rest of the game.
#pragma once

#include "3D/TQ3D.h"

// Ends in a fatal alert with the formatted message followed by the name of the file it is about.
[[noreturn]] void TQ3D_FatalInFile(const char* fileName, const char* format, ...)
    __attribute__((format(printf, 2, 3)));

// Decodes a compressed image description into 8-bit RGBA of exactly width x height. On success
// returns null and sets *pixels (free with FreeDecodedImage); on failure returns the condition that
// failed ("pixelData", "actualW == w", "actualH == h") and leaves *pixels null.
const char* DecodeQTImage(const uint8_t* buffer, int32_t size, int width, int height, uint8_t** pixels);

// Frees the pixels of one texture image.
void TQ3D_FreeTextureImage(TQ3DTextureImage* image);

// A new container with no materials and an empty root group.
TQ3DContainer* TQ3D_NewContainer();
// Drops the container's references to its materials and root, then frees it.
void TQ3D_FreeContainer(TQ3DContainer* container);
