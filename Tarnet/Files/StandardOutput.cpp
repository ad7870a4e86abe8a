#include "Tarnet/Files/StandardOutput.h"

#if defined(_WIN32)
#include <cstdio>
#include <io.h>
#else
#include <unistd.h>
#endif

namespace Tarnet {

bool IsStandardOutputATerminal()
{
#if defined(_WIN32)
    return _isatty(_fileno(stdout)) != 0;
#else
    return isatty(STDOUT_FILENO) != 0;
#endif
}

} // namespace Tarnet
