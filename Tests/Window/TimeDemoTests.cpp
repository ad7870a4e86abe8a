// "Quorvel2 --timedemo" run as a player or a benchmark script runs it: to its end under the real
// window, with its results and the frame-time report on standard output and no alert waiting for a
// click, and the same frames and object counts every run.

#include "Support/Sanitizer.h"
#include "Support/TempFolder.h"
#include "Support/TestWindow.h"

#include <gtest/gtest.h>

#include <chrono>
#include <cstdlib>
#include <fstream>
#include <map>
#include <sstream>
#include <string>
#include <sys/wait.h>
#include <thread>
#include <unistd.h>
#include <vector>

using namespace std::chrono_literals;

struct DemoRun
{
    int exitCode = -1;
    std::string output;
    std::map<std::string, std::string> report; // the report's lines, by label
};

// Runs the demo in `folder` (holding the Data link) with standard output in a file, so not a
// terminal. Gives up after `limit`.
static DemoRun RunTimeDemo(const std::filesystem::path& folder, std::chrono::seconds limit,
                           std::vector<std::string> switches = {})
{
    std::vector<char*> arguments = {(char*)QUORVEL_GAME_EXECUTABLE, (char*)"--timedemo"};
    for (std::string& s : switches)
        arguments.push_back(s.data());
    arguments.push_back(nullptr);
    DemoRun run;
    std::filesystem::create_directories(folder / "config");
    std::filesystem::path out = folder / "stdout.txt";
    pid_t pid = fork();
    if (pid == 0) {
        if (chdir(folder.c_str()) != 0 || !freopen(out.c_str(), "w", stdout))
            _exit(127);
        setenv("XDG_CONFIG_HOME", (folder / "config").c_str(), 1);
        execv(QUORVEL_GAME_EXECUTABLE, arguments.data());
        _exit(127);
    }
    auto deadline = std::chrono::steady_clock::now() + limit;
    int status = 0;
    while (waitpid(pid, &status, WNOHANG) == 0) {
        if (std::chrono::steady_clock::now() > deadline) {
            kill(pid, SIGKILL);
            waitpid(pid, &status, 0);
            ADD_FAILURE() << "the time demo did not end within " << limit.count() << " s";
            return run;
        }
        std::this_thread::sleep_for(200ms);
    }
    run.exitCode = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
    std::ifstream in(out);
    std::stringstream text;
    text << in.rdbuf();
    run.output = text.str();

    // "  label     value" lines after "Time demo report".
    std::istringstream lines(
        run.output.substr(std::min(run.output.find("Time demo report"), run.output.size())));
    std::string line;
    while (std::getline(lines, line)) {
        if (line.size() < 24 || line[0] != ' ')
            continue;
        size_t end = line.find_last_not_of(' ', 23);
        run.report[line.substr(2, end - 1)] = line.substr(line.find_first_not_of(' ', 24));
    }
    return run;
}

TEST(TimeDemo, RunsToItsEndAndPrintsTheSameFramesAndObjectCountsEveryRun)
{
    if (!HasDisplayForWindowTests())
        GTEST_SKIP() << "no display";
#ifdef QUORVEL_UNDER_SANITIZER
    // Two full demo runs are a benchmark's worth of frames; under the sanitizers they would take most
    // of an hour.
    GTEST_SKIP() << "two whole demo runs are left to the release build";
#endif

    DemoRun runs[2];
    for (DemoRun& run : runs) {
        TempFolder folder;
        std::filesystem::create_directory_symlink(QUORVEL_BINARY_DIR "/Data", folder.Path() / "Data");
        run = RunTimeDemo(folder.Path(), 900s);
        ASSERT_EQ(run.exitCode, 0) << run.output;
        EXPECT_NE(run.output.find("ShowTimeDemoResults:\nFrames: "), std::string::npos) << run.output;
        EXPECT_EQ(run.output.find("Quorvel 2 Alert:"), std::string::npos) << "no alert without a terminal";
        for (const char* label : {"frames", "wall seconds", "average fps", "frame time ms", "peak objects",
                                  "peak triangles/frame", "logic ms/frame", "object count digest"})
            EXPECT_TRUE(run.report.count(label)) << label << " missing from:\n" << run.output;
    }

    // 60 to 90 seconds of demo time at 40 frames a second.
    int frames = std::atoi(runs[0].report["frames"].c_str());
    EXPECT_GE(frames, 60 * 40);
    EXPECT_LE(frames, 90 * 40 + 40);
    EXPECT_GT(std::atoi(runs[0].report["peak triangles/frame"].c_str()), 0);

    for (const char* label : {"frames", "peak objects", "weapon events", "object count digest"})
        EXPECT_EQ(runs[0].report[label], runs[1].report[label]) << label;
}

// A soak plays short demos one after another in one process; whatever a run leaks shows as a count
// that grows from one run's line to the next.
TEST(TimeDemo, ASoakOfShortRunsKeepsItsMemoryCountsSteady)
{
    if (!HasDisplayForWindowTests())
        GTEST_SKIP() << "no display";
#ifdef QUORVEL_UNDER_SANITIZER
    // The level-cycle test starts and ends every level three times in this build; a minute of soak
    // adds little to it.
    GTEST_SKIP() << "the soak is left to the release build";
#endif

    TempFolder folder;
    std::filesystem::create_directory_symlink(QUORVEL_BINARY_DIR "/Data", folder.Path() / "Data");
    DemoRun run = RunTimeDemo(folder.Path(), 300s, {"--frames", "20", "--soak", "1"});
    ASSERT_EQ(run.exitCode, 0) << run.output;
    EXPECT_EQ(run.report["frames"], "20") << "the frame limit ends each run";

    // "Soak run N at M min: <counts>, resident R MB": the counts must not change from run to run.
    std::vector<std::string> counts;
    std::istringstream lines(run.output);
    std::string line;
    while (std::getline(lines, line)) {
        size_t colon = line.find(": live blocks ");
        if (line.rfind("Soak run ", 0) == 0 && colon != std::string::npos)
            counts.push_back(line.substr(colon, line.find(", resident") - colon));
    }
    ASSERT_GE(counts.size(), 2u) << run.output;
    for (const std::string& later : counts)
        EXPECT_EQ(later, counts[0]);
}
