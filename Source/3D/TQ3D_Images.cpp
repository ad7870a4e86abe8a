// TQ3D_Images.cpp: the texture maps of model files. Compressed maps are decoded while the file is
// read; every map is uploaded to OpenGL afterwards, so reading a file needs no context.
#include "3D/ImageDecode.h"
#include "3D/OGL_Support.h"
#include "3D/TQ3D_Local.h"
#include "System/Alerts.h"
#include "System/BigEndian.h"
#include "System/Memory.h"

const char* DecodeQTImage(const uint8_t* buffer, int32_t size, int width, int height, uint8_t** pixels)
{
    *pixels = nullptr;
    // The description starts with the offset of the encoded image, counted from its own start.
    if (size < 4)
        return "pixelData";
    uint32_t offset = BigEndianU32(buffer);
    if (offset >= uint32_t(size))
        return "pixelData";
    const uint8_t* image = buffer + offset;
    int32_t imageSize = size - int32_t(offset);

    // The size is read from the image's header first, so a lying header costs no decode.
    int actualW = 0, actualH = 0;
    const char* reason = "";
    if (!ReadImageSize(image, imageSize, &actualW, &actualH, &reason))
        return "pixelData";
    if (actualW != width)
        return "actualW == w";
    if (actualH != height)
        return "actualH == h";

    uint8_t* decoded =
        DecodeImage(image, imageSize, 4, width > height ? width : height, &actualW, &actualH, &reason);
    if (!decoded)
        return "pixelData";
    if (actualW != width || actualH != height) {
        FreeDecodedImage(decoded);
        return actualW != width ? "actualW == w" : "actualH == h";
    }
    *pixels = decoded;
    return nullptr;
}

uint8_t* DecompressQTImage(const uint8_t* buffer, int32_t size, int width, int height)
{
    uint8_t* pixels = nullptr;
    const char* failed = DecodeQTImage(buffer, size, width, height, &pixels);
    if (failed)
        FatalAssertion("DecompressQTImage", __LINE__, failed);
    return pixels;
}

void TQ3D_FreeTextureImage(TQ3DTextureImage* image)
{
    if (image->fromDecoder)
        FreeDecodedImage(image->pixels);
    else
        SafeDisposePtr(image->pixels);
    image->pixels = nullptr;
}

void TQ3D_UploadTextureImages(TQ3DParsedFile* parsed, const char* fileName)
{
    if (parsed->numImages == 0)
        return;

    // A map larger than the card takes would fail inside OpenGL; say which file holds it instead.
    GLint maxTextureSize = 0;
    glGetIntegerv(GL_MAX_TEXTURE_SIZE, &maxTextureSize);
    for (int32_t i = 0; i < parsed->numImages; i++) {
        const TQ3DTextureImage* image = &parsed->images[i];
        if (image->width > maxTextureSize || image->height > maxTextureSize) {
            int width = image->width, height = image->height;
            TQ3D_FreeParsedFile(parsed);
            TQ3D_FatalInFile(fileName,
                             "TQ3D_UploadTextureImages: a %dx%d texture is larger than this video card's %d",
                             width, height, maxTextureSize);
        }
    }

    for (int32_t i = 0; i < parsed->numImages; i++) {
        TQ3DTextureImage* image = &parsed->images[i];
        MaterialRecord* material = MO_GetMaterialData(image->material);
        material->textureName[material->numMipmaps++] =
            OGL_TextureMap_Load(image->pixels, image->width, image->height, GL_RGBA, GL_RGBA, image->type);
        TQ3D_FreeTextureImage(image);
    }
    SafeDisposePtr(parsed->images);
    parsed->images = nullptr;
    parsed->numImages = parsed->imageCapacity = 0;
}
