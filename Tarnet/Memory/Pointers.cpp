// Non-relocatable blocks without a header.

#include "Tarnet/Memory/Memory.h"

#include <cstdlib>
#include <new>
#include <stdexcept>

namespace Tarnet {
namespace {

Ptr AllocatePtr(Size size, bool clear)
{
    if (size < 0)
        throw std::invalid_argument("trying to NewPtr negative size");
    // A zero-size request still gets a distinct block, so that callers can tell it from failure.
    size_t bytes = size == 0 ? 1 : size_t(size);
    void* memory = clear ? std::calloc(1, bytes) : std::malloc(bytes);
    if (!memory)
        throw std::bad_alloc();
    return static_cast<Ptr>(memory);
}

} // namespace

Ptr NewPtr(Size size)
{
    return AllocatePtr(size, false);
}

Ptr NewPtrClear(Size size)
{
    return AllocatePtr(size, true);
}

Ptr NewPtrSys(Size size)
{
    return AllocatePtr(size, false);
}

void DisposePtr(Ptr p)
{
    std::free(p);
}

} // namespace Tarnet
