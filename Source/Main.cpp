// Quorvel 2. The program is the game library's RunProgram; this file only gives it an entry.

#include "System/GameShell.h"
#include "Tarnet/Memory/Memory.h"

#include <SDL.h>

int main(int argc, char** argv)
{
    Tarnet::RelaunchWithLargePages(argv);
    return RunProgram(argc, argv);
}
