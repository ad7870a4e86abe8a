#include "DataForge/Check.h"

void CheckSystemFiles(const std::filesystem::path& dataFolder, DataCheckReport* report)
{
    if (!std::filesystem::is_regular_file(dataFolder / "System" / "gamecontrollerdb.txt"))
        report->Add("System/gamecontrollerdb.txt", "the controller mapping file must exist");
}
