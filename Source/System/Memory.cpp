// The header's cookie catches double frees and pointers that never came from here; the tags say
// which allocator made the block when a heap dump is read by hand.

#include "System/Memory.h"

#include "System/Alerts.h"

#include <cstdlib>
#include <cstring>

int32_t gLiveBlockCount = 0;
int64_t gLiveBlockBytes = 0;

static constexpr uint32_t kCookieLive = FourCharCode("FACE");
static constexpr uint32_t kCookieDead = FourCharCode("DEAD");

struct BlockHeader
{
    uint32_t cookie;
    int32_t totalSize;
    uint32_t tag1;
    uint32_t tag2;
};
static_assert(sizeof(BlockHeader) == 16);

static void* FinishNewBlock(BlockHeader* header, int32_t size, const char (&tag1)[5], const char (&tag2)[5])
{
    header->cookie = kCookieLive;
    header->totalSize = size + int32_t(sizeof(BlockHeader));
    header->tag1 = FourCharCode(tag1);
    header->tag2 = FourCharCode(tag2);
    gLiveBlockCount++;
    gLiveBlockBytes += header->totalSize;
    return header + 1;
}

static BlockHeader* HeaderOf(void* payload)
{
    return static_cast<BlockHeader*>(payload) - 1;
}

// A size near INT32_MAX would overflow the header arithmetic; treat it as out of memory.
static bool SizeFitsWithHeader(int32_t size)
{
    return size <= INT32_MAX - int32_t(sizeof(BlockHeader));
}

void* AllocPtr(int32_t size)
{
    if (size < 0)
        FatalAssertion("AllocPtr", 229, "size >= 0");
    void* p = SizeFitsWithHeader(size) ? std::malloc(size_t(size) + sizeof(BlockHeader)) : nullptr;
    if (!p)
        FatalAssertion("AllocPtr", 234, "p");
    return FinishNewBlock(static_cast<BlockHeader*>(p), size, "PTR3", "PTR4");
}

void* AllocPtrClear(int32_t size)
{
    if (size < 0)
        FatalAssertion("AllocPtrClear", 253, "size >= 0");
    void* p = SizeFitsWithHeader(size) ? std::calloc(1, size_t(size) + sizeof(BlockHeader)) : nullptr;
    if (!p)
        FatalAssertion("AllocPtrClear", 258, "p");
    return FinishNewBlock(static_cast<BlockHeader*>(p), size, "PTC3", "PTC4");
}

void* ReallocPtr(void* ptr, int32_t newSize)
{
    if (newSize < 0)
        FatalAssertion("ReallocPtr", 277, "newSize >= 0");
    if (!ptr)
        return AllocPtr(newSize);

    BlockHeader* old = HeaderOf(ptr);
    // Check before handing the block to realloc: a foreign pointer must not reach the C heap.
    if (old->cookie != kCookieLive)
        FatalAssertion("ReallocPtr", 292, "cookiePtr[0] == 'FACE'");
    int32_t oldTotal = old->totalSize;

    void* p =
        SizeFitsWithHeader(newSize) ? std::realloc(old, size_t(newSize) + sizeof(BlockHeader)) : nullptr;
    if (!p)
        FatalAssertion("ReallocPtr", 289, "p");
    BlockHeader* header = static_cast<BlockHeader*>(p);

    int32_t newTotal = newSize + int32_t(sizeof(BlockHeader));
    gLiveBlockBytes += newTotal - oldTotal;
    header->totalSize = newTotal;
    header->cookie = kCookieLive;
    header->tag1 = FourCharCode("REA3");
    header->tag2 = FourCharCode("REA4");
    return header + 1;
}

void SafeDisposePtr(void* ptr)
{
    if (!ptr)
        return;
    BlockHeader* header = HeaderOf(ptr);
    if (header->cookie != kCookieLive)
        FatalAssertion("SafeDisposePtr", 318, "cookiePtr[0] == 'FACE'");
    gLiveBlockBytes -= header->totalSize;
    header->cookie = kCookieDead;
    std::free(header);
    gLiveBlockCount--;
}
