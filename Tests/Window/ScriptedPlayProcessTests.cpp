// Scripted play as a bug report or a test uses it: the real game run from the command line with a
// script, a fixed step, a trace and shots; and everything wrong on that command line refused
// before a window opens.

#include "3D/ImageDecode.h"
#include "Support/LevelOneScript.h"
#include "Support/Sanitizer.h"
#include "Support/TempFolder.h"
#include "Support/TestWindow.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <chrono>
#include <csignal>
#include <cstdlib>
#include <fstream>
#include <sstream>
#include <string>
#include <sys/wait.h>
#include <thread>
#include <unistd.h>
#include <vector>

namespace {

std::string ReadWholeFile(const std::filesystem::path& path)
{
    std::ifstream in(path, std::ios::binary);
    std::stringstream text;
    text << in.rdbuf();
    return text.str();
}

struct GameRun
{
    int exitCode = -1;
    std::string out, err;
};

// Runs the game in `folder` with `arguments` and waits for it to end (killed after `limitSeconds`).
GameRun RunGame(const std::filesystem::path& folder, const std::vector<std::string>& arguments,
                int limitSeconds)
{
    std::filesystem::create_directories(folder / "config");
    pid_t pid = fork();
    if (pid == 0) {
        if (chdir(folder.c_str()) != 0 || !freopen("stdout.txt", "w", stdout) ||
            !freopen("stderr.txt", "w", stderr))
            _exit(127);
        setenv("XDG_CONFIG_HOME", (folder / "config").c_str(), 1);
        const char* asanOptions = std::getenv("ASAN_OPTIONS");
        setenv("ASAN_OPTIONS", (std::string(asanOptions ? asanOptions : "") + ":detect_leaks=0").c_str(), 1);
        std::vector<char*> argv = {const_cast<char*>(QUORVEL_GAME_EXECUTABLE)};
        for (const std::string& argument : arguments)
            argv.push_back(const_cast<char*>(argument.c_str()));
        argv.push_back(nullptr);
        execv(QUORVEL_GAME_EXECUTABLE, argv.data());
        _exit(127);
    }

    GameRun run;
    auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(limitSeconds);
    int status = 0;
    while (waitpid(pid, &status, WNOHANG) != pid) {
        if (std::chrono::steady_clock::now() > deadline) {
            kill(pid, SIGKILL);
            waitpid(pid, &status, 0);
            break;
        }
        std::this_thread::sleep_for(std::chrono::milliseconds(20));
    }
    run.exitCode = WIFEXITED(status) ? WEXITSTATUS(status) : 128 + WTERMSIG(status);
    run.out = ReadWholeFile(folder / "stdout.txt");
    run.err = ReadWholeFile(folder / "stderr.txt");
    return run;
}

void WriteFile(const std::filesystem::path& path, const std::string& text)
{
    std::ofstream(path, std::ios::binary) << text;
}

struct Picture
{
    int width = 0, height = 0;
    std::vector<uint8_t> rgba;

    // Mean colour of the rectangle of fractions [x0, x1) x [y0, y1) of the picture, rows from the top.
    Rgba MeanOf(float x0, float y0, float x1, float y1) const
    {
        long sum[3] = {0, 0, 0};
        long count = 0;
        for (int y = int(y0 * float(height)); y < int(y1 * float(height)); y++) {
            for (int x = int(x0 * float(width)); x < int(x1 * float(width)); x++) {
                for (int c = 0; c < 3; c++)
                    sum[c] += rgba[(size_t(y) * size_t(width) + size_t(x)) * 4 + size_t(c)];
                count++;
            }
        }
        count = count ? count : 1;
        return {uint8_t(sum[0] / count), uint8_t(sum[1] / count), uint8_t(sum[2] / count), 255};
    }
};

// Without a window manager the window may be smaller than the drawable the game was told of, and
// the picture then holds the frame in its lower-left part with black around it: keep that part.
void CropToShownFrame(Picture* picture)
{
    int right = 0, top = picture->height;
    for (int y = 0; y < picture->height; y++) {
        for (int x = 0; x < picture->width; x++) {
            const uint8_t* p = &picture->rgba[(size_t(y) * size_t(picture->width) + size_t(x)) * 4];
            if (p[0] | p[1] | p[2]) {
                right = std::max(right, x + 1);
                top = std::min(top, y);
            }
        }
    }
    if (right == 0)
        return;
    Picture cropped;
    cropped.width = right;
    cropped.height = picture->height - top;
    for (int y = top; y < picture->height; y++) {
        auto row = picture->rgba.begin() + std::ptrdiff_t((size_t(y) * size_t(picture->width)) * 4);
        cropped.rgba.insert(cropped.rgba.end(), row, row + std::ptrdiff_t(right) * 4);
    }
    *picture = cropped;
}

bool LoadPicture(const std::filesystem::path& path, Picture* picture)
{
    std::string bytes = ReadWholeFile(path);
    const char* reason = nullptr;
    uint8_t* pixels = DecodeImage(reinterpret_cast<const uint8_t*>(bytes.data()), int32_t(bytes.size()), 4,
                                  8192, &picture->width, &picture->height, &reason);
    if (!pixels)
        return false;
    picture->rgba.assign(pixels, pixels + size_t(picture->width) * size_t(picture->height) * 4);
    FreeDecodedImage(pixels);
    CropToShownFrame(picture);
    return true;
}

class ScriptedPlayProcessTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        std::filesystem::create_directory_symlink(QUORVEL_BINARY_DIR "/Data", folder.Path() / "Data");
    }

    void NeedDisplay()
    {
        if (!HasDisplayForWindowTests())
            GTEST_SKIP() << "no display";
    }

    TempFolder folder;
};

TEST_F(ScriptedPlayProcessTest, BadScriptsAndSwitchesAreRefusedBeforeAnythingOpens)
{
    WriteFile(folder.Path() / "unknown.txt", "0 left 1\n# a comment\n12 barrel-roll 1\n");
    WriteFile(folder.Path() / "backwards.txt", "30 left 1\n10 right 1\n");
    WriteFile(folder.Path() / "number.txt", "0 left 1\n5 right 2.5\n");
    WriteFile(folder.Path() / "player.txt", "0 1 left 1\n");
    struct Case
    {
        std::vector<std::string> arguments;
        std::string message;
    };
    const Case cases[] = {
        {{"--level", "level1", "--script", "unknown.txt"}, "unknown.txt: line 3: unknown need 'barrel-roll'"},
        {{"--level", "level1", "--script", "backwards.txt"}, "line 2: frame 10 comes after frame 30"},
        {{"--level", "level1", "--script", "number.txt"}, "line 2: bad value '2.5' (0 to 1)"},
        {{"--level", "level1", "--script", "player.txt"}, "player 1 in a game of 1 player"},
        {{"--level", "level1", "--script", "missing.txt"}, "cannot read the script \"missing.txt\""},
        {{"--level", "level9"},
         "unknown level \"level9\"; the levels are level1, level2, level3, race1, race2"},
        {{"--level", "race1", "--mode", "rally"}, "unknown mode \"rally\""},
        {{"--players", "3"}, "--players wants 1 or 2"},
        {{"--frames", "-5"}, "--frames wants a positive whole number"},
        {{"--frames", "2.5"}, "--frames wants a positive whole number"},
        {{"--step", "0"}, "--step wants seconds"},
        {{"--step", "1e400"}, "--step wants seconds"},
        {{"--shot", "abc"}, "--shot wants FRAME:OUT.png"},
        {{"--shot", "5:"}, "--shot wants FRAME:OUT.png"},
        {{"--timedemo", "--level", "level1"},
         "the time demo takes no other switches than --frames and --soak"},
        {{"--soak", "0"}, "--soak wants minutes as a positive whole number"},
    };
    for (const Case& bad : cases) {
        GameRun run = RunGame(folder.Path(), bad.arguments, 30);
        EXPECT_EQ(run.exitCode, 2) << bad.message;
        EXPECT_NE(run.err.find(bad.message), std::string::npos)
            << "expected: " << bad.message << "\ngot: " << run.err;
    }
}

TEST_F(ScriptedPlayProcessTest, AFixedStepRunRepeatsExactlyAndTracesEveryFrame)
{
    NeedDisplay();
    WriteFile(folder.Path() / "turn.txt", "0 right 1\n20 right 0\n20 down 0.6\n40 0 boost 1\n");
    std::vector<std::string> traces;
    for (int run = 0; run < 2; run++) {
        std::string trace = "trace" + std::to_string(run) + ".csv";
        GameRun game = RunGame(folder.Path(),
                               {"--level", "level1", "--script", "turn.txt", "--frames", "60", "--step",
                                "0.02", "--trace", trace},
                               240);
        ASSERT_EQ(game.exitCode, 0) << game.err;
        traces.push_back(ReadWholeFile(folder.Path() / trace));
    }
    EXPECT_EQ(traces[0], traces[1]) << "the same script and step give the same flight";

    std::istringstream rows(traces[0]);
    std::string header, row, last;
    std::getline(rows, header);
    EXPECT_EQ(header.rfind(
                  "frame,player,x,y,z,pitch,heading,roll,speed,speed_cap,health,fuel,shield,lives,anim,", 0),
              0u);
    int count = 0;
    while (std::getline(rows, row)) {
        count++;
        last = row;
    }
    EXPECT_EQ(count, 60);
    EXPECT_EQ(last.rfind("59,0,", 0), 0u);
}

TEST_F(ScriptedPlayProcessTest, TenSecondsOverTheForestShowSkyAboveTheChasedPlayerAndTwoRacePanes)
{
    NeedDisplay();
    WriteFile(folder.Path() / "glide.txt", "0 left 0.3\n200 left 0\n300 down 0.4\n400 down 0\n");
    GameRun forest = RunGame(folder.Path(),
                             {"--level", "level1", "--script", "glide.txt", "--frames", "600", "--step",
                              "0.0166667", "--shot", "599:forest.png"},
                             400);
    ASSERT_EQ(forest.exitCode, 0) << forest.err;
    Picture picture;
    ASSERT_TRUE(LoadPicture(folder.Path() / "forest.png", &picture));
    Rgba top = picture.MeanOf(0.1f, 0.02f, 0.9f, 0.15f);
    Rgba ground = picture.MeanOf(0.1f, 0.8f, 0.9f, 0.98f);
    EXPECT_GT(int(top.b), int(top.r)) << "a blue sky at the top";
    EXPECT_GT(int(top.b), 120);
    EXPECT_GT(int(ground.g), int(ground.b)) << "green forest ground at the bottom";
    EXPECT_GT(int(ground.g), 40);

    WriteFile(folder.Path() / "race.txt", "0 0 right 0.5\n0 1 left 0.5\n");
    GameRun race = RunGame(folder.Path(),
                           {"--level", "race1", "--script", "race.txt", "--frames", "120", "--step",
                            "0.0166667", "--shot", "119:race.png"},
                           400);
    ASSERT_EQ(race.exitCode, 0) << race.err;
    ASSERT_TRUE(LoadPicture(folder.Path() / "race.png", &picture));
    // Side-by-side panes (the default layout): each shows its own lit scene, neither is left black.
    Rgba left = picture.MeanOf(0.05f, 0.05f, 0.45f, 0.95f);
    Rgba right = picture.MeanOf(0.55f, 0.05f, 0.95f, 0.95f);
    EXPECT_GT(int(left.r) + int(left.g) + int(left.b), 90);
    EXPECT_GT(int(right.r) + int(right.g) + int(right.b), 90);
}

// The fixture script Tests/Scripts/level1-complete.txt, written by Tests/Pilot/LevelPilot, flies the
// whole first adventure level: every egg found and carried to a wormhole, the exit wormhole taken.
// After a change to flight, scenery or the level generator it may no longer fit: fly it again with
// the pilot (see its header). The sanitizer build does not play it: its unoptimised arithmetic
// differs from the release build's in the last bits, and a flight of thousands of frames past tree
// tops does not keep to the same path.
TEST_F(ScriptedPlayProcessTest, TheLevelOneScriptDeliversEveryEggAndTakesTheExit)
{
    NeedDisplay();
#ifdef QUORVEL_UNDER_SANITIZER
    GTEST_SKIP() << "the sanitizer build plays this script inside the whole-game run";
#endif
    const int frameLimit = 7000;
    GameRun run = RunGame(folder.Path(),
                          {"--level", "level1", "--script", kLevelOneScript, "--step", "0.05", "--frames",
                           std::to_string(frameLimit), "--trace", "trace.csv"},
                          1200);
    ASSERT_EQ(run.exitCode, 0) << run.err;

    // One row a frame: frame, player, ... lives (13), anim (14), on_ground, dead (16), ...
    std::istringstream rows(ReadWholeFile(folder.Path() / "trace.csv"));
    std::string row;
    std::getline(rows, row); // the header
    std::vector<std::string> last;
    int frames = 0, fewestLives = 99;
    while (std::getline(rows, row)) {
        frames++;
        last.clear();
        std::stringstream cells(row);
        for (std::string cell; std::getline(cells, cell, ',');)
            last.push_back(cell);
        ASSERT_GE(last.size(), 17u) << row;
        fewestLives = std::min(fewestLives, std::stoi(last[13]));
    }
    // The level ends by itself, well before the script's frames run out, with the player alive and
    // being drawn into the exit wormhole (animation 9).
    ASSERT_FALSE(last.empty());
    EXPECT_EQ(frames, kLevelOneLastFrame + 1) << "the level did not end where the whole-game run expects";
    EXPECT_EQ(last[14], "9") << "not drawn into the exit wormhole at frame " << last[0];
    EXPECT_EQ(last[16], "0") << "dead at the end";
    EXPECT_GE(fewestLives, 1);
}

} // namespace
