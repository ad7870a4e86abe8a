// The data checker: opens every file of a data folder through the game's own readers and checks
// the content rules the game relies on. Each problem is one line naming the file and the rule.
#pragma once

#include <filesystem>
#include <string>
#include <vector>

struct DataProblem
{
    std::string file; // relative to the data folder, e.g. "Models/Global.tq3d"
    std::string rule; // what is wrong, e.g. "model 20 must be a single mesh"
};

struct DataCheckReport
{
    std::vector<DataProblem> problems;
    void Add(const std::string& file, const std::string& rule) { problems.push_back({file, rule}); }
};

// Runs every checker over `dataFolder`, in a fixed order.
DataCheckReport CheckDataFolder(const std::filesystem::path& dataFolder);

// The checkers, in the order CheckDataFolder runs them. A checker records problems and never
// stops at the first one; a fatal alert of a game reader counts as a problem of that file.
void CheckSystemFiles(const std::filesystem::path& dataFolder, DataCheckReport* report);
void CheckModelFiles(const std::filesystem::path& dataFolder, DataCheckReport* report);
void CheckSprites(const std::filesystem::path& dataFolder,
                  DataCheckReport* report);                                         // sprite images and fonts
void CheckLevels(const std::filesystem::path& dataFolder, DataCheckReport* report); // playfields, mini-maps
void CheckInterfaceTables(const std::filesystem::path& dataFolder,
                          DataCheckReport* report); // strings.csv and twitch.csv
void CheckSkeletons(const std::filesystem::path& dataFolder, DataCheckReport* report); // creatures
void CheckAudio(const std::filesystem::path& dataFolder,
                DataCheckReport* report); // effects, narration, songs
