#include "System/Random.h"

static uint32_t gRandomSeed = 0;
static uint32_t gRandomMixer = 0;
static uint32_t gRandomResult = 0;

void SeedRandom(uint32_t seed)
{
    gRandomSeed = seed;
    gRandomMixer = 0;
    gRandomResult = 0;
}

uint32_t RandomU32()
{
    gRandomMixer = ((gRandomResult >> 5) * 0x5D7BD927u) ^ gRandomMixer;
    gRandomSeed = gRandomSeed * 0xBB40E62Du + 0xBB40E62Du;
    gRandomResult = gRandomResult ^ (((gRandomMixer >> 7) + gRandomSeed) * 0x91290C71u);
    return gRandomResult;
}

float RandomUnit()
{
    uint32_t k = RandomU32() & 0xFFF;
    return float(k) * 0.00024420026f;
}

float RandomSigned()
{
    uint32_t k = RandomU32() & 0xFFF;
    if (k == 0)
        return 0.0f;
    return float(k) * 0.0004884005f - 1.0f;
}

uint16_t RandomInt(uint16_t lo, uint16_t hi)
{
    uint32_t n = uint32_t(hi) - uint32_t(lo) + 1;
    uint32_t m = RandomU32() & 0xFFFF;
    return uint16_t(lo + ((n * m) >> 16));
}
