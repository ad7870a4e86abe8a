// OGL_Textures.cpp: texture loading. Images are JPEG with an optional PNG alpha mask of the same size,
// or PNG alone; they are decoded in memory and uploaded with linear filtering and no mipmaps.
#include "3D/ImageDecode.h"
#include "3D/OGL_Local.h"
#include "System/Alerts.h"
#include "System/DataFiles.h"
#include "System/Memory.h"
#include "System/ProgramState.h"
#include "Tarnet/Files/Files.h"

#include <cstdio>

// No video card takes textures larger than this; a header claiming more is refused before decoding.
static constexpr int kLargestDecodableSide = 16384;

int32_t gLiveTextureCount = 0;

// Decodes to 8-bit RGBA (or one grey channel). A file that does not decode is fatal with its name;
// `heldPixels` (may be null) is freed first, so a failing mask does not leak its colour image.
static uint8_t* DecodeTextureImage(const uint8_t* data, int32_t size, int channels, const char* name,
                                   int* width, int* height, uint8_t* heldPixels)
{
    const char* reason = "";
    uint8_t* pixels = DecodeImage(data, size, channels, kLargestDecodableSide, width, height, &reason);
    if (!pixels) {
        FreeDecodedImage(heldPixels);
        ShowFatalAlert("OGL_TextureMap_LoadImageFile: Cannot decode image %s (%s)", name, reason);
    }
    return pixels;
}

GLuint OGL_TextureMap_LoadImageBuffers(const char* name, const uint8_t* jpgData, int32_t jpgSize,
                                       const uint8_t* pngData, int32_t pngSize, int* outWidth, int* outHeight,
                                       bool* outHasAlpha)
{
    if (!jpgData && !pngData)
        ShowFatalAlert("%s: Texture file missing: %s\n", "OGL_TextureMap_LoadImageFile", name);

    int width = 0, height = 0;
    uint8_t* colorPixels = nullptr;
    if (jpgData) {
        colorPixels = DecodeTextureImage(jpgData, jpgSize, 4, name, &width, &height, nullptr);
        if (pngData) {
            int maskWidth = 0, maskHeight = 0;
            uint8_t* alphaPixels =
                DecodeTextureImage(pngData, pngSize, 1, name, &maskWidth, &maskHeight, colorPixels);
            if (maskWidth != width || maskHeight != height) {
                FreeDecodedImage(alphaPixels);
                FreeDecodedImage(colorPixels);
                ShowFatalAlert("%s: PNG mask dimensions must match JPEG file: %s",
                               "OGL_TextureMap_LoadImageFile", name);
            }
            for (int64_t i = 0; i < (int64_t)width * height; i++)
                colorPixels[i * 4 + 3] = alphaPixels[i];
            FreeDecodedImage(alphaPixels);
        }
    } else {
        colorPixels = DecodeTextureImage(pngData, pngSize, 4, name, &width, &height, nullptr);
    }

    GLint maxTextureSize = 0;
    glGetIntegerv(GL_MAX_TEXTURE_SIZE, &maxTextureSize);
    if (width > maxTextureSize || height > maxTextureSize) {
        FreeDecodedImage(colorPixels);
        ShowFatalAlert(
            "OGL_TextureMap_LoadImageFile: %s is %dx%d, larger than this video card's %d-texel limit", name,
            width, height, maxTextureSize);
    }

    GLuint textureName = OGL_TextureMap_Load(colorPixels, width, height, GL_RGBA, GL_RGBA, GL_UNSIGNED_BYTE);
    FreeDecodedImage(colorPixels);

    if (outWidth)
        *outWidth = width;
    if (outHeight)
        *outHeight = height;
    if (outHasAlpha)
        *outHasAlpha = pngData != nullptr;
    return textureName;
}

GLuint OGL_TextureMap_LoadImageFile(const char* path, int* width, int* height, bool* hasAlpha)
{
    char jpgPath[256], pngPath[256];
    snprintf(jpgPath, sizeof(jpgPath), "%s.jpg", path);
    snprintf(pngPath, sizeof(pngPath), "%s.png", path);

    int32_t jpgSize = 0, pngSize = 0;
    uint8_t* jpgData = (uint8_t*)LoadDataFile(jpgPath, &jpgSize);
    uint8_t* pngData = (uint8_t*)LoadDataFile(pngPath, &pngSize);
    GLuint textureName;
    try {
        textureName = OGL_TextureMap_LoadImageBuffers(path, jpgData, jpgSize, pngData, pngSize, width, height,
                                                      hasAlpha);
    } catch (...) {
        SafeDisposePtr(jpgData);
        SafeDisposePtr(pngData);
        throw;
    }
    SafeDisposePtr(jpgData);
    SafeDisposePtr(pngData);
    return textureName;
}

GLuint OGL_TextureMap_Load(void* pixels, int width, int height, GLint internalFormat, GLenum format,
                           GLenum type)
{
    OGL_ConvertTextureToStereo(pixels, width, height, format, type);

    GLuint textureName = 0;
    glGenTextures(1, &textureName);
    GAME_ASSERT(textureName);
    gLiveTextureCount++;
    OGL_Texture_SetOpenGLTexture(textureName);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MIN_FILTER, GL_LINEAR);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MAG_FILTER, GL_LINEAR);
    glPixelStorei(GL_UNPACK_ALIGNMENT, 1);
    glTexImage2D(GL_TEXTURE_2D, 0, internalFormat, width, height, 0, format, type, pixels);
    OGL_CheckGLError(__FILE__, __LINE__);
    return textureName;
}

void OGL_DeleteTextures(int count, const GLuint* textureNames)
{
    for (int i = 0; i < count; i++) {
        if (textureNames[i] != 0)
            gLiveTextureCount--;
    }
    glDeleteTextures(count, textureNames);
}

void OGL_Texture_SetOpenGLTexture(GLuint textureName)
{
    glBindTexture(GL_TEXTURE_2D, textureName);
    gFrameStats.textureBinds++;
    if (glGetError() != GL_NO_ERROR)
        ShowFatalAlert("OGL_Texture_SetOpenGLTexture: glBindTexture failed!");
    OGL_EnableTexture2D();
}
