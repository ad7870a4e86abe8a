// OGL_Stereo.cpp: the anaglyph colour rules. Colour anaglyph tints every colour through the glasses'
// filters (optionally rebalancing the weak channels); monochrome anaglyph turns every colour grey
// through a brightness curve, so that the two eyes see the same picture.
#include "3D/OGL_Local.h"
#include "System/Prefs.h"

#include <cmath>

static uint8_t gGreyCurve[256];

void OGL_BuildGreyCurve()
{
    // A quarter sine from 0 to 255; accumulated in single precision like the table always was.
    float angle = 0;
    for (int i = 0; i < 256; i++) {
        gGreyCurve[i] = (uint8_t)(255.0f * sinf(angle));
        angle += 0.0061599857666913204f;
    }
}

void OGL_ColorToAnaglyph(uint8_t* r, uint8_t* g, uint8_t* b)
{
    uint32_t red = *r * gPrefs.anaglyphRed / 255;
    uint32_t green = *g * gPrefs.anaglyphGreen / 255;
    uint32_t blue = *b * gPrefs.anaglyphBlue / 255;

    // Balancing only ever raises a channel: it brings back what the filters darkened most.
    if (gPrefs.anaglyphBalance) {
        float p = 0.299f * red + 1.0f;
        float q = 0.587f * green + 0.114f * blue + 1.0f;
        float f = 1.5f * p / q;
        if (blue * f > blue)
            blue = fminf(255.0f, floorf(blue * f));
        if (0.8f * f * green > green)
            green = fminf(255.0f, floorf(0.8f * f * green));
        if (0.4f * (q / p) * red > red)
            red = fminf(255.0f, floorf(0.4f * (q / p) * red));
    }
    *r = (uint8_t)red;
    *g = (uint8_t)green;
    *b = (uint8_t)blue;
}

void OGL_ColorToGreyAnaglyph(uint8_t* r, uint8_t* g, uint8_t* b)
{
    float luminance = floorf(0.299f * *r + 0.586f * *g + 0.114f * *b);
    int index = luminance > 255 ? 255 : (int)luminance;
    uint32_t grey = gGreyCurve[index];
    *r = (uint8_t)(grey * gPrefs.anaglyphRed / 255);
    *g = (uint8_t)grey;
    *b = (uint8_t)(grey * gPrefs.anaglyphBlue / 255);
}

static void ConvertColor(uint8_t* r, uint8_t* g, uint8_t* b)
{
    if (gPrefs.stereoMode == 1)
        OGL_ColorToAnaglyph(r, g, b);
    else
        OGL_ColorToGreyAnaglyph(r, g, b);
}

// 16-bit channels are widened to 8 bits for the rules and narrowed back afterwards.
static uint16_t Convert1555(uint16_t pixel)
{
    uint8_t r = ((pixel >> 10) & 31) * 8;
    uint8_t g = ((pixel >> 5) & 31) * 8;
    uint8_t b = (pixel & 31) * 8;
    ConvertColor(&r, &g, &b);
    uint16_t r5 = r / 8 > 31 ? 31 : r / 8;
    uint16_t g5 = g / 8 > 31 ? 31 : g / 8;
    uint16_t b5 = b / 8 > 31 ? 31 : b / 8;
    return (pixel & 0x8000) | (r5 << 10) | (g5 << 5) | b5;
}

void OGL_ConvertTextureToStereo(void* pixels, int width, int height, GLenum format, GLenum type)
{
    if (gPrefs.stereoMode != 1 && gPrefs.stereoMode != 2)
        return;

    int64_t count = (int64_t)width * height;
    if (format == GL_RGBA && type == GL_UNSIGNED_BYTE) {
        uint8_t* p = (uint8_t*)pixels;
        for (int64_t i = 0; i < count; i++, p += 4)
            ConvertColor(&p[0], &p[1], &p[2]);
    } else if (type == GL_UNSIGNED_INT_8_8_8_8_REV) {
        // Alpha, red, green, blue from the high byte down.
        uint32_t* p = (uint32_t*)pixels;
        for (int64_t i = 0; i < count; i++) {
            uint8_t r = (p[i] >> 16) & 0xFF, g = (p[i] >> 8) & 0xFF, b = p[i] & 0xFF;
            ConvertColor(&r, &g, &b);
            p[i] = (p[i] & 0xFF000000u) | ((uint32_t)r << 16) | ((uint32_t)g << 8) | b;
        }
    } else if (type == GL_UNSIGNED_SHORT_1_5_5_5_REV) {
        uint16_t* p = (uint16_t*)pixels;
        for (int64_t i = 0; i < count; i++)
            p[i] = Convert1555(p[i]);
    }
}
