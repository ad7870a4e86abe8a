// The relaunch with the allocator's large-page settings (declared in Memory.h; kept here with the
// layer's other POSIX calls). The C library reads its tunables only when a program starts, so the
// only way for the program to choose them is to start itself again from its own file.

#include "Tarnet/Memory/Memory.h"

#include <cstdlib>
#include <unistd.h>

namespace Tarnet {

#if defined(__linux__) && defined(__GLIBC__)
// Below the mmap threshold blocks come from the heap, which hugetlb=1 lets grow in 2 MB pages; above
// it every block would be a mapping of its own, in small pages again.
static const char* const kLargePageTunables = "glibc.malloc.hugetlb=1:glibc.malloc.mmap_threshold=33554432";
#endif

void RelaunchWithLargePages(char** argv)
{
#if defined(__linux__) && defined(__GLIBC__)
    if (std::getenv("GLIBC_TUNABLES"))
        return;
    if (setenv("GLIBC_TUNABLES", kLargePageTunables, 1) != 0)
        return;
    execv("/proc/self/exe", argv);
    unsetenv("GLIBC_TUNABLES"); // still here: the relaunch failed, go on as started
#else
    (void)argv;
#endif
}

} // namespace Tarnet
