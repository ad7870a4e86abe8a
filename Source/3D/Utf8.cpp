// Utf8.cpp: UTF-8 decoding and upper-casing of the Latin letters the fonts hold.
#include "3D/Utf8.h"

// Reads `count` continuation bytes after the lead byte; false when the text ends first, leaving the
// cursor on the terminating byte.
static bool ReadContinuation(const uint8_t** bytes, int count, uint32_t* codepoint)
{
    for (int i = 0; i < count; i++) {
        uint8_t b = **bytes;
        if (b == 0)
            return false;
        *codepoint = (*codepoint << 6) | (b & 0x3F);
        (*bytes)++;
    }
    return true;
}

uint32_t DecodeUTF8(const char** cursor)
{
    const uint8_t* bytes = (const uint8_t*)*cursor;
    uint8_t lead = *bytes;
    if (lead == 0)
        return 0;
    bytes++;

    uint32_t codepoint;
    int continuation;
    if (lead < 0x80) {
        codepoint = lead;
        continuation = 0;
    } else if (lead >= 0xC0 && lead <= 0xDF) {
        codepoint = lead & 0x1F;
        continuation = 1;
    } else if (lead >= 0xE0 && lead <= 0xEF) {
        codepoint = lead & 0x0F;
        continuation = 2;
    } else { // any other lead byte is taken as the start of a four-byte sequence
        codepoint = lead & 0x07;
        continuation = 3;
    }
    bool complete = ReadContinuation(&bytes, continuation, &codepoint);
    *cursor = (const char*)bytes;
    return complete ? codepoint : 0;
}

uint32_t ToUpperCodepoint(uint32_t cp)
{
    if ((cp >= 97 && cp <= 122) || (cp >= 224 && cp <= 246) || (cp >= 248 && cp <= 254))
        return cp - 32;
    if (cp == 255)
        return 376; // y with diaeresis: its capital lives in Latin Extended-A
    if ((cp >= 256 && cp <= 311) || (cp >= 330 && cp <= 375))
        return cp & ~1u; // capital first in each pair
    // These pairs start on an odd code point: the capital is odd, its small letter the even one after
    // it. Setting bit 0 would turn a small letter into the next pair's capital (l with stroke into N
    // with acute), so the small letter steps back instead.
    if ((cp >= 313 && cp <= 328) || (cp >= 377 && cp <= 382))
        return (cp & 1u) ? cp : cp - 1;
    return cp;
}
