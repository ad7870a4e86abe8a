// The host toolbox layer: start-up and shut-down, quitting, clocks, and every module's calls.
#pragma once

#include <cstdint>
#include <functional>
#include <stdexcept>

#include "Tarnet/Files/Files.h"
#include "Tarnet/MacTypes.h"
#include "Tarnet/Memory/Memory.h"
#include "Tarnet/Resources/Resources.h"
#include "Tarnet/Sound/Sound.h"
#include "Tarnet/Streams/BigEndianReader.h"
#include "Tarnet/Streams/MemStream.h"
#include "Tarnet/Streams/StructPack.h"
#include "Tarnet/Todo.h"

namespace Tarnet {

// Starts the layer once: volume 0 (the working directory is directory 0), refNum 0 for the System
// file, then the Sound Manager. A second call does nothing.
void Startup();

// Closes every open resource file and fork, stops the Sound Manager and forgets the volumes, so
// that Startup can run again (tests do).
void Shutdown();

// Thrown by ExitToShell; the program entry catches it and ends normally.
class QuitRequest : public std::exception
{
public:
    const char* what() const noexcept override { return "the user has requested to quit the application"; }
};

[[noreturn]] void ExitToShell();

// Microseconds since the program started, from a monotonic clock; also stored in *out (low word
// first) when out is given.
uint64_t Microseconds(UnsignedWide* out);
uint64_t MicrosecondsNow();

// Sixtieths of a second since the program started.
uint32_t TickCount();

// Seconds since midnight, 1 January 1904, truncated to 32 bits.
void GetDateTime(unsigned long* secs);
void GetDateTime(uint32_t* secs);

// Replaces the clock behind Microseconds and TickCount, so that tests can drive frame timing;
// nullptr restores the real clock.
void SetMicrosecondClockForTesting(std::function<uint64_t()> clock);

} // namespace Tarnet
