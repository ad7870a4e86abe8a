#include "System/CommandLine.h"

#include <cstring>

static const CommandLineOption kHelpOption = {"--help", nullptr, "show this help and quit", nullptr};

static void PrintOptionLine(std::FILE* to, const CommandLineOption& option)
{
    char left[64];
    std::snprintf(left, sizeof(left), "%s%s%s", option.name, option.valueName ? " " : "",
                  option.valueName ? option.valueName : "");
    std::fprintf(to, "  %-22s %s\n", left, option.help);
}

void PrintCommandLineUsage(std::FILE* to, const char* programName, const CommandLineOption* options,
                           int numOptions)
{
    std::fprintf(to, "usage: %s [OPTIONS]\n\noptions:\n", programName);
    for (int i = 0; i < numOptions; i++)
        PrintOptionLine(to, options[i]);
    PrintOptionLine(to, kHelpOption);
    std::fflush(to);
}

// The option an argument names, with `*inlineValue` pointing past a "=" when it carries its value.
static const CommandLineOption* FindOption(const char* argument, const CommandLineOption* options,
                                           int numOptions, const char** inlineValue)
{
    const char* equals = std::strchr(argument, '=');
    size_t nameLength = equals ? size_t(equals - argument) : std::strlen(argument);
    for (int i = 0; i < numOptions; i++) {
        if (std::strlen(options[i].name) == nameLength &&
            !std::strncmp(options[i].name, argument, nameLength)) {
            *inlineValue = equals ? equals + 1 : nullptr;
            return &options[i];
        }
    }
    return nullptr;
}

static int RefuseCommandLine(const char* programName, const CommandLineOption* options, int numOptions,
                             const char* problem, const char* argument)
{
    std::fprintf(stderr, "%s: %s \"%s\"\n\n", programName, problem, argument);
    PrintCommandLineUsage(stderr, programName, options, numOptions);
    return 2;
}

int ParseCommandLine(int argc, char** argv, const char* programName, const CommandLineOption* options,
                     int numOptions)
{
    for (int i = 1; i < argc; i++) {
        const char* argument = argv[i];
        if (!std::strcmp(argument, kHelpOption.name)) {
            PrintCommandLineUsage(stdout, programName, options, numOptions);
            return 0;
        }

        const char* value = nullptr;
        const CommandLineOption* option = FindOption(argument, options, numOptions, &value);
        if (!option)
            return RefuseCommandLine(programName, options, numOptions, "unknown argument", argument);

        if (!option->valueName) {
            if (value)
                return RefuseCommandLine(programName, options, numOptions, "takes no value:", argument);
        } else if (!value) {
            if (i + 1 >= argc)
                return RefuseCommandLine(programName, options, numOptions, "needs a value:", argument);
            value = argv[++i];
        }
        option->apply(value);
    }
    return kCommandLineGoOn;
}
