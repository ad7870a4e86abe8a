// Handles and pointers. A handle is a fixed block with a checked header: the data never moves and
// never changes size, and every handle call first checks the block's validity word so that a stale
// or overwritten handle fails loudly instead of corrupting memory.
#pragma once

#include "Tarnet/MacTypes.h"

namespace Tarnet {

Handle NewHandle(Size size);         // uninitialised data; a negative size throws std::invalid_argument
Handle NewHandleClear(Size size);    // as NewHandle, data zero-filled
Handle NewHandleSys(Size size);      // same as NewHandle
Handle NewHandleSysClear(Size size); // same as NewHandleClear
Handle TempNewHandle(Size size, OSErr* resultCode); // as NewHandle; *resultCode = noErr
void DisposeHandle(Handle h); // null is ignored; a dead or damaged block throws std::runtime_error
Size GetHandleSize(Handle h); // the data size; a dead or damaged block throws std::runtime_error

// A new handle holding a copy of `size` bytes at `source`: paramErr for a null output, a null
// source with a positive size, or a negative size; memFullErr when the block cannot be allocated.
OSErr PtrToHand(const void* source, Handle* destination, Size size);

void BlockMove(const void* source, void* destination, Size size); // copies; the ranges may overlap

Ptr NewPtr(Size size);      // plain block without header; a negative size throws std::invalid_argument
Ptr NewPtrClear(Size size); // zero-filled
Ptr NewPtrSys(Size size);   // same as NewPtr
void DisposePtr(Ptr p);     // frees a block from NewPtr; null is ignored

// Not supported: handles never change size. Both report the missing feature and throw.
void SetHandleSize(Handle h, Size newSize);
void BlockMoveData(const void* source, void* destination, Size size);

// The process's resident memory in bytes, for soak runs and benchmarks; 0 where the system
// cannot tell.
uint64_t ResidentBytes();

// Called first in main: on Linux with the GNU C library, starts the program again with the
// allocator set to serve blocks below 32 MB from its heap and to ask for 2 MB pages there. A level
// fills hundreds of megabytes of fresh texture storage, which the software renderer clears, and
// with 4 KB pages its first load goes mostly to page faults. Does nothing when GLIBC_TUNABLES is
// already set (by this relaunch, or by a user who wants other settings) or the relaunch fails.
// (Files/Relaunch.cpp)
void RelaunchWithLargePages(char** argv);

// For the resource manager: the resource-map entry a handle was read from (null if none).
const void* GetHandleResourceLink(Handle h);
void SetHandleResourceLink(Handle h, const void* link);

} // namespace Tarnet
