// Handle blocks: one allocation holding the header and then the data.

#include "Tarnet/Memory/Memory.h"

#include <cstddef>
#include <cstdlib>
#include <cstring>
#include <new>
#include <stdexcept>

#include "Tarnet/Todo.h"

namespace Tarnet {
namespace {

constexpr uint32_t kBlockLive = 0x4C495645; // 'LIVE'
constexpr uint32_t kBlockDead = 0x44454144; // 'DEAD'

// Aligned to 16 so that the data right after the header is aligned for any type.
struct alignas(16) HandleBlock
{
    uint32_t validity;
    int32_t size;
    Ptr masterPointer;
    const void* resourceLink;
};

HandleBlock* BlockOf(Handle h)
{
    auto* masterField = reinterpret_cast<std::byte*>(h);
    return reinterpret_cast<HandleBlock*>(masterField - offsetof(HandleBlock, masterPointer));
}

HandleBlock* CheckedBlockOf(Handle h)
{
    if (!h)
        throw std::invalid_argument("null handle");
    HandleBlock* block = BlockOf(h);
    if (block->validity == kBlockDead)
        throw std::runtime_error("ptr/handle double free?");
    if (block->validity != kBlockLive)
        throw std::runtime_error("corrupted ptr/handle");
    return block;
}

Handle AllocateHandle(Size size, bool clear)
{
    if (size < 0)
        throw std::invalid_argument("trying to alloc negative size handle");
    void* memory = std::malloc(sizeof(HandleBlock) + size_t(size));
    if (!memory)
        throw std::bad_alloc();
    auto* block = static_cast<HandleBlock*>(memory);
    block->validity = kBlockLive;
    block->size = size;
    block->masterPointer = reinterpret_cast<Ptr>(block + 1);
    block->resourceLink = nullptr;
    if (clear)
        std::memset(block->masterPointer, 0, size_t(size));
    return &block->masterPointer;
}

} // namespace

Handle NewHandle(Size size)
{
    return AllocateHandle(size, false);
}

Handle NewHandleClear(Size size)
{
    return AllocateHandle(size, true);
}

Handle NewHandleSys(Size size)
{
    return AllocateHandle(size, false);
}

Handle NewHandleSysClear(Size size)
{
    return AllocateHandle(size, true);
}

Handle TempNewHandle(Size size, OSErr* resultCode)
{
    Handle h = AllocateHandle(size, false);
    if (resultCode)
        *resultCode = noErr;
    return h;
}

void DisposeHandle(Handle h)
{
    if (!h || !*h)
        return;
    HandleBlock* block = CheckedBlockOf(h);
    // The dead mark catches a second dispose for as long as the allocator leaves the header alone.
    block->validity = kBlockDead;
    block->masterPointer = nullptr;
    block->resourceLink = nullptr;
    std::free(block);
}

Size GetHandleSize(Handle h)
{
    return CheckedBlockOf(h)->size;
}

OSErr PtrToHand(const void* source, Handle* destination, Size size)
{
    if (!destination || size < 0 || (!source && size > 0))
        return paramErr;
    Handle h;
    try {
        h = AllocateHandle(size, false);
    } catch (const std::bad_alloc&) {
        return memFullErr;
    }
    if (size > 0)
        std::memcpy(*h, source, size_t(size));
    *destination = h;
    return noErr;
}

void BlockMove(const void* source, void* destination, Size size)
{
    if (size > 0)
        std::memmove(destination, source, size_t(size));
}

void SetHandleSize(Handle, Size)
{
    ReportTodo("SetHandleSize", {}, 2);
}

void BlockMoveData(const void*, void*, Size)
{
    ReportTodo("BlockMoveData", {}, 2);
}

const void* GetHandleResourceLink(Handle h)
{
    return CheckedBlockOf(h)->resourceLink;
}

void SetHandleResourceLink(Handle h, const void* link)
{
    CheckedBlockOf(h)->resourceLink = link;
}

} // namespace Tarnet
