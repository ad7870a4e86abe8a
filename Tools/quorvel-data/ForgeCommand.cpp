// quorvel-data forge OUTDIR: writes the game's complete Data folder into OUTDIR.

#include "Commands.h"

#include "DataForge/Forge.h"

#include <cstdio>

int RunForgeCommand(const CommandArgs& args)
{
    if (args.size() != 1) {
        std::fprintf(stderr, "usage: quorvel-data forge OUTDIR\n");
        return 2;
    }
    ForgeDataFolder(args[0]);
    return 0;
}
