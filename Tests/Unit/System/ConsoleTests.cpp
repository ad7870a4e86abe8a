// The console route and the command line: what reaches the console, when, and how often; which
// arguments the game takes and what it does with the rest.

#include "System/CommandLine.h"
#include "System/GameShell.h"
#include "System/Log.h"

#include <SDL.h>
#include <gtest/gtest.h>

#include <cstring>
#include <fcntl.h>
#include <string>
#include <unistd.h>
#include <vector>

namespace {

std::vector<std::string> gCaughtLines;

void CatchLine(LogLevel, const char* line)
{
    gCaughtLines.push_back(line);
}

class ConsoleTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        gCaughtLines.clear();
        SetLogSinkForTesting(CatchLine);
        SetLogVerbose(false);
    }
    void TearDown() override
    {
        SetLogVerbose(false);
        SDL_LogSetOutputFunction(nullptr, nullptr);
        SDL_LogResetPriorities();
        SetLogSinkForTesting(nullptr);
    }
};

} // namespace

TEST_F(ConsoleTest, DebugLinesShowOnlyInVerboseMode)
{
    LogLine(kLogDebug, "hidden %d", 1);
    LogLine(kLogInfo, "LoadLevelArt: %d ms", 12);
    SetLogVerbose(true);
    LogLine(kLogDebug, "shown %d", 2);

    EXPECT_EQ(gCaughtLines, (std::vector<std::string>{"LoadLevelArt: 12 ms\n", "shown 2\n"}));
}

TEST_F(ConsoleTest, RepeatingFailureIsReportedOnceButInformationEveryTime)
{
    for (int i = 0; i < 3; i++) {
        LogLine(kLogWarning, "Couldn't open the audio device");
        LogLine(kLogInfo, "Wrote %s", "Preferences");
    }
    LogLine(kLogWarning, "Couldn't open the mixer");

    EXPECT_EQ(gCaughtLines, (std::vector<std::string>{"Couldn't open the audio device\n",
                                                      "Wrote Preferences\n", "Wrote Preferences\n",
                                                      "Wrote Preferences\n", "Couldn't open the mixer\n"}));
}

TEST_F(ConsoleTest, ErrorsSDLSetsStayOffTheConsoleUnlessVerboseAndThenShowOnce)
{
    RouteSDLLogToConsole();
    for (int i = 0; i < 5; i++)
        SDL_SetError("That operation is not supported");
    EXPECT_TRUE(gCaughtLines.empty());

    SetLogVerbose(true);
    for (int i = 0; i < 5; i++)
        SDL_SetError("That operation is not supported");
    SDL_Log("an application line");
    EXPECT_EQ(gCaughtLines, (std::vector<std::string>{"SDL: That operation is not supported\n",
                                                      "SDL: an application line\n"}));
}

TEST_F(ConsoleTest, LineReachesAPipeWithoutWaitingForTheBufferToFill)
{
    SetLogSinkForTesting(nullptr);
    int ends[2];
    ASSERT_EQ(pipe(ends), 0);
    fcntl(ends[0], F_SETFL, O_NONBLOCK);
    std::fflush(stdout);
    int savedStdout = dup(STDOUT_FILENO);
    dup2(ends[1], STDOUT_FILENO);

    LogLine(kLogInfo, "%s: %d ms", "LoadLevelArt", 480);

    char received[64] = {};
    ssize_t count = read(ends[0], received, sizeof(received) - 1);
    std::fflush(stdout);
    dup2(savedStdout, STDOUT_FILENO);
    close(savedStdout);
    close(ends[0]);
    close(ends[1]);
    EXPECT_STREQ(count > 0 ? received : "", "LoadLevelArt: 480 ms\n");
}

namespace {

std::vector<std::string> gApplied;

void ApplyLevel(const char* value)
{
    gApplied.push_back(std::string("level=") + value);
}

void ApplyQuiet(const char*)
{
    gApplied.push_back("quiet");
}

const CommandLineOption kTestOptions[] = {
    {"--level", "NAME", "start this level", ApplyLevel},
    {"--quiet", nullptr, "say less", ApplyQuiet},
};

// Parses `arguments` (after a program name) with the test table; the error output is kept.
int Parse(std::vector<const char*> arguments, std::string* errors = nullptr)
{
    gApplied.clear();
    arguments.insert(arguments.begin(), "Quorvel2");
    ::testing::internal::CaptureStderr();
    int result = ParseCommandLine(int(arguments.size()), const_cast<char**>(arguments.data()), "Quorvel2",
                                  kTestOptions, 2);
    std::string captured = ::testing::internal::GetCapturedStderr();
    if (errors)
        *errors = captured;
    return result;
}

} // namespace

TEST(CommandLine, SwitchesAndValuesOfEitherSpellingApplyInOrder)
{
    EXPECT_EQ(Parse({"--quiet", "--level", "level2", "--level=race1"}), kCommandLineGoOn);
    EXPECT_EQ(gApplied, (std::vector<std::string>{"quiet", "level=level2", "level=race1"}));
    EXPECT_EQ(Parse({}), kCommandLineGoOn);
    EXPECT_TRUE(gApplied.empty());
}

TEST(CommandLine, UnknownArgumentIsRefusedWithTheUsageAndExitCodeTwo)
{
    std::string errors;
    EXPECT_EQ(Parse({"--quiet", "--bogus"}, &errors), 2);
    EXPECT_NE(errors.find("unknown argument \"--bogus\""), std::string::npos) << errors;
    EXPECT_NE(errors.find("usage: Quorvel2 [OPTIONS]"), std::string::npos) << errors;
    EXPECT_NE(errors.find("--level NAME"), std::string::npos) << errors;

    EXPECT_EQ(Parse({"level1"}), 2) << "a bare word is not a level name without its switch";
    EXPECT_EQ(Parse({"--quietly"}), 2) << "a switch matches whole, not by its prefix";
}

TEST(CommandLine, MissingValueOrValueOnASwitchIsRefused)
{
    EXPECT_EQ(Parse({"--level"}), 2);
    EXPECT_EQ(Parse({"--quiet=yes"}), 2);
    EXPECT_TRUE(gApplied.empty());
}

TEST(CommandLine, HelpPrintsTheUsageToStandardOutputAndEndsWithZero)
{
    ::testing::internal::CaptureStdout();
    EXPECT_EQ(Parse({"--help", "--bogus"}), 0);
    std::string usage = ::testing::internal::GetCapturedStdout();
    EXPECT_NE(usage.find("--quiet"), std::string::npos) << usage;
    EXPECT_NE(usage.find("--help"), std::string::npos) << usage;
}

TEST(CommandLine, GameRefusesAnUnknownArgumentBeforeStartingAnything)
{
    const char* arguments[] = {"Quorvel2", "--no-such-switch"};
    ::testing::internal::CaptureStderr();
    int result = RunProgram(2, const_cast<char**>(arguments));
    std::string errors = ::testing::internal::GetCapturedStderr();
    EXPECT_EQ(result, 2);
    EXPECT_NE(errors.find("--verbose"), std::string::npos) << errors;
    EXPECT_EQ(gGameWindow, nullptr);
}
