// Tagged heap blocks. Every block carries a 16-byte header (cookie 'FACE', total size, two
// allocator tags) in front of the payload, and the live count and byte total are kept so that a
// level can prove it gave back everything it took.
#pragma once

#include <cstdint>

extern int32_t gLiveBlockCount; // blocks handed out and not yet disposed
extern int64_t gLiveBlockBytes; // their total size, headers included

void* AllocPtr(int32_t size);                 // uninitialised payload of `size` bytes; fatal on failure
void* AllocPtrClear(int32_t size);            // zero-filled payload; fatal on failure
void* ReallocPtr(void* ptr, int32_t newSize); // keeps the contents; a null ptr allocates like AllocPtr
void SafeDisposePtr(void* ptr);               // frees a block; null is ignored; a foreign pointer is fatal

constexpr uint32_t FourCharCode(const char (&code)[5])
{
    return (uint32_t(uint8_t(code[0])) << 24) | (uint32_t(uint8_t(code[1])) << 16) |
           (uint32_t(uint8_t(code[2])) << 8) | uint32_t(uint8_t(code[3]));
}
