// The subcommands of quorvel-data. Each takes the arguments after its name and returns the
// process exit code (0 success, 1 failure, 2 bad usage).
#pragma once

#include <string>
#include <vector>

using CommandArgs = std::vector<std::string>;

struct Command
{
    const char* name;
    const char* usage;   // arguments, for the help text
    const char* summary; // one line
    int (*run)(const CommandArgs& args);
};

int RunRsrcCommand(const CommandArgs& args);
int RunForgeCommand(const CommandArgs& args);
int RunCheckCommand(const CommandArgs& args);
int RunModelCommand(const CommandArgs& args);
int RunSpritesCommand(const CommandArgs& args);
int RunLevelCommand(const CommandArgs& args);
int RunSkeletonCommand(const CommandArgs& args);
int RunSoundCommand(const CommandArgs& args);
int RunStringsCommand(const CommandArgs& args);
