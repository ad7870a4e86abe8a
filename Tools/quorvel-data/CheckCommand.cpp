// quorvel-data check DATADIR: checks a data folder against the rules the game relies on; one line
// per problem ("FILE: RULE"), exit code 1 when there is any.

#include "Commands.h"

#include "DataForge/Check.h"

#include <cstdio>

int RunCheckCommand(const CommandArgs& args)
{
    if (args.size() != 1) {
        std::fprintf(stderr, "usage: quorvel-data check DATADIR\n");
        return 2;
    }
    DataCheckReport report = CheckDataFolder(args[0]);
    for (const DataProblem& problem : report.problems)
        std::printf("%s: %s\n", problem.file.c_str(), problem.rule.c_str());
    if (!report.problems.empty()) {
        std::printf("%zu problem%s\n", report.problems.size(), report.problems.size() == 1 ? "" : "s");
        return 1;
    }
    std::printf("data folder is sound\n");
    return 0;
}
