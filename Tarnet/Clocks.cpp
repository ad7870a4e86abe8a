#include <chrono>
#include <ctime>
#include <utility>

#include "Tarnet/Tarnet.h"

namespace Tarnet {
namespace {

// Set during static initialisation, so the clocks count from the program's start.
const std::chrono::steady_clock::time_point gProgramStart = std::chrono::steady_clock::now();

std::function<uint64_t()> gTestClock;

constexpr uint64_t kSecondsFrom1904To1970 = 2082844800;

} // namespace

uint64_t MicrosecondsNow()
{
    if (gTestClock)
        return gTestClock();
    auto elapsed = std::chrono::steady_clock::now() - gProgramStart;
    return uint64_t(std::chrono::duration_cast<std::chrono::microseconds>(elapsed).count());
}

uint64_t Microseconds(UnsignedWide* out)
{
    uint64_t now = MicrosecondsNow();
    if (out) {
        out->lo = uint32_t(now);
        out->hi = uint32_t(now >> 32);
    }
    return now;
}

uint32_t TickCount()
{
    return uint32_t(MicrosecondsNow() * 60 / 1000000);
}

void GetDateTime(unsigned long* secs)
{
    if (secs)
        *secs = uint32_t(uint64_t(std::time(nullptr)) + kSecondsFrom1904To1970);
}

void GetDateTime(uint32_t* secs)
{
    if (secs)
        *secs = uint32_t(uint64_t(std::time(nullptr)) + kSecondsFrom1904To1970);
}

void SetMicrosecondClockForTesting(std::function<uint64_t()> clock)
{
    gTestClock = std::move(clock);
}

} // namespace Tarnet
