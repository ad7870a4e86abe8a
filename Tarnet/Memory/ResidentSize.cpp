// How much of the process is in memory: read from the kernel's per-process status, so the figure
// is the one the system itself would report for the game.

#include "Tarnet/Memory/Memory.h"

#include <fstream>
#include <string>

namespace Tarnet {

uint64_t ResidentBytes()
{
    // A line "VmRSS:     123456 kB" among others.
    std::ifstream status("/proc/self/status");
    std::string label;
    while (status >> label) {
        if (label == "VmRSS:") {
            uint64_t kilobytes = 0;
            return status >> kilobytes ? kilobytes * 1024 : 0;
        }
        status.ignore(4096, '\n');
    }
    return 0;
}

} // namespace Tarnet
