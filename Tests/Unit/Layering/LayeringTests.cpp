// The layers of the code, checked on its includes: a file may include headers of its own layer and
// of the layers below it, never of one above. From the bottom:
//   host     Tarnet/ (its own library; the build also refuses game headers there)
//   base     alerts, memory blocks, big-endian readers, random numbers, the console, the command
//            line and the program state with its registered way out
//   services frame timing, pause flag, preferences and user files, the window, input
//   engine   3D/, Objects/, Terrain/, Skeleton/ and the overlay projection
//   game     Gameplay/, Interface/, Sound/
//   shell    the rest of System/: boot, main routine, level cycle, fades, saves, quitting

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <regex>
#include <set>
#include <string>
#include <vector>

namespace fs = std::filesystem;

namespace {

enum Layer
{
    kHost,
    kBase,
    kServices,
    kEngine,
    kGame,
    kShell
};

const char* const kLayerNames[] = {"host", "base", "services", "engine", "game", "shell"};

const std::set<std::string> kBaseModules = {"Alerts",       "Memory",       "BigEndian",
                                            "Random",       "LevelGlobals", "Log",
                                            "ProgramState", "CommandLine",  "DataFiles"};
const std::set<std::string> kServiceModules = {
    "FrameRate",         "Pause",      "Prefs",     "PrefsFile",  "UserDataFiles",
    "Languages",         "Window",     "Input",     "InputLocal", "InputBindings",
    "InputGamepadNeeds", "InputNeeds", "InputPoll", "InputHook",  "Controllers",
    "MouseCapture",      "Rumble"};

bool StartsWith(const std::string& text, const std::string& prefix)
{
    return text.compare(0, prefix.size(), prefix) == 0;
}

// The layer of a path relative to the repository ("Source/3D/Math3D.h", "Tarnet/Tarnet.h").
Layer LayerOf(const std::string& path)
{
    if (StartsWith(path, "Tarnet/"))
        return kHost;
    std::string module = fs::path(path).stem().string();
    if (StartsWith(path, "Source/System/")) {
        if (kBaseModules.count(module))
            return kBase;
        if (kServiceModules.count(module))
            return kServices;
        return kShell;
    }
    // The 640 x 480 overlay projection is what the renderer's overlay pass draws in.
    if (StartsWith(path, "Source/Interface/Overlay."))
        return kEngine;
    for (const char* folder : {"Source/3D/", "Source/Objects/", "Source/Terrain/", "Source/Skeleton/"}) {
        if (StartsWith(path, folder))
            return kEngine;
    }
    for (const char* folder : {"Source/Gameplay/", "Source/Interface/", "Source/Sound/"}) {
        if (StartsWith(path, folder))
            return kGame;
    }
    return kShell;
}

struct Include
{
    std::string file; // relative to the repository
    int line;
    std::string target; // as written between the quotes or brackets
    bool quoted;
};

std::vector<Include> IncludesUnder(const char* folder)
{
    const fs::path root = QUORVEL_SOURCE_DIR;
    static const std::regex kInclude(R"(^\s*#\s*include\s*([<"])([^>"]+)[>"])");
    std::vector<Include> includes;
    for (const auto& entry : fs::recursive_directory_iterator(root / folder)) {
        std::string extension = entry.path().extension().string();
        if (!entry.is_regular_file() || (extension != ".cpp" && extension != ".h" && extension != ".c"))
            continue;
        std::ifstream in(entry.path());
        std::string text;
        int lineNumber = 0;
        while (std::getline(in, text)) {
            lineNumber++;
            std::smatch match;
            if (std::regex_search(text, match, kInclude))
                includes.push_back({fs::relative(entry.path(), root).generic_string(), lineNumber,
                                    match[2].str(), match[1].str() == "\""});
        }
    }
    return includes;
}

// The repository path a quoted game include names: "Tarnet/..." as it is, the rest under Source/.
std::string RepositoryPathOf(const std::string& target)
{
    return StartsWith(target, "Tarnet/") ? target : "Source/" + target;
}

} // namespace

TEST(Layering, NoGameFileIncludesAHeaderOfAHigherLayer)
{
    std::vector<std::string> upward;
    for (const Include& include : IncludesUnder("Source")) {
        if (!include.quoted)
            continue;
        Layer from = LayerOf(include.file);
        Layer to = LayerOf(RepositoryPathOf(include.target));
        if (to > from)
            upward.push_back(include.file + ":" + std::to_string(include.line) + " (" + kLayerNames[from] +
                             ") includes " + include.target + " (" + kLayerNames[to] + ")");
    }
    EXPECT_TRUE(upward.empty()) << ::testing::PrintToString(upward);
}

TEST(Layering, HostLayerIncludesNothingOfTheGameEvenByARelativePath)
{
    std::vector<std::string> foreign;
    for (const Include& include : IncludesUnder("Tarnet")) {
        if (include.quoted && !StartsWith(include.target, "Tarnet/"))
            foreign.push_back(include.file + ":" + std::to_string(include.line) + " includes " +
                              include.target);
    }
    EXPECT_TRUE(foreign.empty()) << ::testing::PrintToString(foreign);
}

TEST(Layering, PosixOnlyCallsStayInTheHostLayersFileCode)
{
    const std::set<std::string> kPosixHeaders = {"unistd.h", "fcntl.h", "dirent.h", "pwd.h", "dlfcn.h"};
    std::vector<std::string> outside;
    for (const char* folder : {"Source", "Tarnet"}) {
        for (const Include& include : IncludesUnder(folder)) {
            bool isPosix = !include.quoted &&
                           (kPosixHeaders.count(include.target) || StartsWith(include.target, "sys/"));
            if (isPosix && !StartsWith(include.file, "Tarnet/Files/"))
                outside.push_back(include.file + ":" + std::to_string(include.line) + " includes <" +
                                  include.target + ">");
        }
    }
    EXPECT_TRUE(outside.empty()) << ::testing::PrintToString(outside);
}
