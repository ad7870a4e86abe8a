// The command line, read through a table of options so that a new switch is one more row. Options
// are "--name" switches or "--name VALUE" (also "--name=VALUE"); "--help" is always there.
#pragma once

#include <cstdio>

struct CommandLineOption
{
    const char* name;                 // with its dashes: "--verbose"
    const char* valueName;            // "NAME" when the option takes a value; nullptr for a switch
    const char* help;                 // one line for the usage message
    void (*apply)(const char* value); // value is nullptr for a switch
};

constexpr int kCommandLineGoOn = -1;

// Applies each argument after the program name through its option's routine, in order. Returns
// kCommandLineGoOn when the program should run; 0 after --help (usage on standard output); 2 after
// an unknown argument or a missing value (what was wrong, then the usage, on standard error).
int ParseCommandLine(int argc, char** argv, const char* programName, const CommandLineOption* options,
                     int numOptions);

void PrintCommandLineUsage(std::FILE* to, const char* programName, const CommandLineOption* options,
                           int numOptions);
