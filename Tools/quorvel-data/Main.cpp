// quorvel-data: the game's data tools, one subcommand each. The command table below is the one
// list of them: the help is printed from it, and the README's list is checked against the help.

#include <cstdio>
#include <cstring>
#include <exception>

#include "Commands.h"

namespace {

// Add a subcommand here, in Commands.h and in the README; its code goes in a file of its own.
const Command kCommands[] = {
    {"rsrc", "FILE", "list the resources of FILE's resource fork (FILE.rsrc): type, ID, size, name",
     RunRsrcCommand},
    {"forge", "OUTDIR", "write the game's complete Data folder into OUTDIR", RunForgeCommand},
    {"check", "DATADIR", "check a data folder against the rules the game relies on", RunCheckCommand},
    {"level", "NAME OUT.png [--data DIR] [--overview | --at X Z [--heading DEG]]",
     "render a level's start view and print its counts", RunLevelCommand},
    {"sprites", "DATADIR OUT.png", "contact sheet of the start-up sprite groups and the font sheets",
     RunSpritesCommand},
    {"model", "FILE.tq3d OUT.png", "render every model of a model file into a contact sheet",
     RunModelCommand},
    {"skeleton",
     "FILE.skeleton OUT.png [--anim A] | FILE.skeleton --anim A --seconds S [--position X Y Z] "
     "[--rotation X Y Z] [--scale K] [--vertices]",
     "contact sheet of a creature's animations, or its skinned state after S seconds of animation A",
     RunSkeletonCommand},
    {"sound", "FILE [--snd ID] OUT.wav [--spectrogram OUT.png]",
     "decode a sound file (or FILE.rsrc's 'snd ' resource ID) as the game does into a WAV file, print its "
     "levels, and draw its spectrogram",
     RunSoundCommand},
    {"strings", "DATADIR [ID]", "every string in every language with the width of its widest line",
     RunStringsCommand},
};

void PrintUsage(FILE* to)
{
    std::fprintf(to, "usage: quorvel-data COMMAND [ARGUMENTS]\n\ncommands:\n");
    for (const Command& command : kCommands)
        std::fprintf(to, "  %s %s\n      %s\n", command.name, command.usage, command.summary);
}

} // namespace

int main(int argc, char** argv)
{
    if (argc < 2) {
        PrintUsage(stderr);
        return 2;
    }
    if (!std::strcmp(argv[1], "help") || !std::strcmp(argv[1], "--help") || !std::strcmp(argv[1], "-h")) {
        PrintUsage(stdout);
        return 0;
    }
    for (const Command& command : kCommands) {
        if (std::strcmp(argv[1], command.name) != 0)
            continue;
        try {
            return command.run(CommandArgs(argv + 2, argv + argc));
        } catch (const std::exception& e) {
            std::fprintf(stderr, "quorvel-data %s: %s\n", command.name, e.what());
            return 1;
        }
    }
    std::fprintf(stderr, "quorvel-data: unknown command \"%s\"\n\n", argv[1]);
    PrintUsage(stderr);
    return 2;
}
