// Readers for values stored most-significant byte first, as every game file stores them. They read
// byte by byte, so the source needs no alignment; bounds are the caller's (see the file readers).
#pragma once

#include <cstdint>
#include <cstring>

inline uint32_t BigEndianU32(const void* p)
{
    const uint8_t* b = static_cast<const uint8_t*>(p);
    return (uint32_t(b[0]) << 24) | (uint32_t(b[1]) << 16) | (uint32_t(b[2]) << 8) | uint32_t(b[3]);
}

inline int32_t BigEndianS32(const void* p)
{
    return int32_t(BigEndianU32(p));
}

inline uint16_t BigEndianU16(const void* p)
{
    const uint8_t* b = static_cast<const uint8_t*>(p);
    return uint16_t((b[0] << 8) | b[1]);
}

inline int16_t BigEndianS16(const void* p)
{
    return int16_t(BigEndianU16(p));
}

inline float BigEndianFloat(const void* p)
{
    uint32_t bits = BigEndianU32(p);
    float value;
    std::memcpy(&value, &bits, sizeof(value));
    return value;
}
