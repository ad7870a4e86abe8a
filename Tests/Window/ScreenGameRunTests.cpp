// The whole game from its start, as a player goes through it, run as the real program from a
// script (--game): the splash and the story skipped, the main menu, a new adventure, level 1 played
// to its exit by its own script, the save prompt, level 2, quit; and a two-player race through the
// controller check. A picture of each screen is taken on the way; set QUORVEL_SCREENSHOTS to a
// folder to keep them.

#include "3D/ImageDecode.h"
#include "Support/LevelOneScript.h"
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

// Runs the game in `folder` with `arguments` (its own configuration folder there) and waits for it
// to end, killing it after `limitSeconds`.
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
        // The game closes its GL context at quit and the software driver is unloaded with it; a
        // leak report could then not name the driver's own lasting allocations. Preloaded, the
        // driver stays, and the suppressions of system libraries apply to it.
        if (std::filesystem::exists(QUORVEL_SOFTWARE_GL_DRIVER))
            setenv("LD_PRELOAD", QUORVEL_SOFTWARE_GL_DRIVER, 1);
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
        std::this_thread::sleep_for(std::chrono::milliseconds(50));
    }
    run.exitCode = WIFEXITED(status) ? WEXITSTATUS(status) : 128 + WTERMSIG(status);
    run.out = ReadWholeFile(folder / "stdout.txt");
    run.err = ReadWholeFile(folder / "stderr.txt");
    return run;
}

// What share of a picture's pixels are brighter than black, and its mean brightness (0..765).
struct PictureLook
{
    bool loaded = false;
    float litShare = 0;
    float brightness = 0;
};

// Without a window manager the window may be smaller than the drawable the game was told of: the
// frame then lies in the picture's lower-left part. `shownPart` keeps to the box of lit pixels
// there (a picture of a lit scene), else the whole picture is judged.
PictureLook LookAt(const std::filesystem::path& path, bool shownPart = false)
{
    PictureLook look;
    std::string bytes = ReadWholeFile(path);
    int width = 0, height = 0;
    const char* reason = nullptr;
    uint8_t* pixels = DecodeImage(reinterpret_cast<const uint8_t*>(bytes.data()), int32_t(bytes.size()), 4,
                                  8192, &width, &height, &reason);
    if (!pixels)
        return look;
    look.loaded = true;
    auto value = [&](int x, int y) {
        const uint8_t* p = &pixels[(size_t(y) * size_t(width) + size_t(x)) * 4];
        return p[0] + p[1] + p[2];
    };
    int right = width, top = 0;
    if (shownPart) {
        right = 0;
        top = height;
        for (int y = 0; y < height; y++) {
            for (int x = 0; x < width; x++) {
                if (value(x, y) > 0) {
                    right = std::max(right, x + 1);
                    top = std::min(top, y);
                }
            }
        }
    }
    long lit = 0, sum = 0, count = 0;
    for (int y = top; y < height; y++) {
        for (int x = 0; x < right; x++) {
            lit += value(x, y) > 30;
            sum += value(x, y);
            count++;
        }
    }
    FreeDecodedImage(pixels);
    look.litShare = float(lit) / float(count ? count : 1);
    look.brightness = float(sum) / float(count ? count : 1);
    return look;
}

// The frame of the whole game at which level 1 plays its first frame, after the splash, the story,
// the menus below and the level's intro; the game logs it.
constexpr int kLevelOneStart = 254;

// A level's script as lines of the whole game's script: every frame moved on by `by`.
std::string ShiftedScript(const char* path, int by)
{
    std::istringstream lines(ReadWholeFile(path));
    std::string shifted;
    for (std::string line; std::getline(lines, line);) {
        if (line.empty() || line[0] == '#')
            continue;
        size_t end = line.find(' ');
        shifted += std::to_string(std::stoi(line.substr(0, end)) + by) + line.substr(end) + "\n";
    }
    return shifted;
}

// Where the lines of the log are: each of `lines` must come after the one before.
bool InOrder(const std::string& log, const std::vector<std::string>& lines, std::string* missing)
{
    size_t at = 0;
    for (const std::string& line : lines) {
        size_t found = log.find(line, at);
        if (found == std::string::npos) {
            *missing = line;
            return false;
        }
        at = found + line.size();
    }
    return true;
}

void KeepPictures(const std::filesystem::path& folder, const std::vector<std::string>& names)
{
    const char* keep = std::getenv("QUORVEL_SCREENSHOTS");
    if (!keep)
        return;
    for (const std::string& name : names)
        std::filesystem::copy_file(folder / name, std::filesystem::path(keep) / name,
                                   std::filesystem::copy_options::overwrite_existing);
}

} // namespace

class ScreenGameRunTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        if (!HasDisplayForWindowTests())
            GTEST_SKIP() << "no display";
        std::filesystem::create_directory_symlink(QUORVEL_BINARY_DIR "/Data", folder.Path() / "Data");
    }

    void WriteScript(const std::string& text)
    {
        std::ofstream(folder.Path() / "play.txt", std::ios::binary) << text;
    }

    TempFolder folder;
};

TEST_F(ScreenGameRunTest, AnAdventureFromTheSplashThroughLevelOneAndTheSavePromptIntoLevelTwo)
{
    // One frame is 1/20 s. The presses wait for each screen's fade-in; level 1 is flown by its own
    // script from the frame the level starts at, and the save prompt comes up after its exit.
    const int levelEnd = kLevelOneStart + kLevelOneLastFrame;
    std::string script = "# splash, story: skipped\n"
                         "20 menu-confirm 1\n22 menu-confirm 0\n"
                         "50 menu-confirm 1\n52 menu-confirm 0\n"
                         "# main menu: Play, New Adventure\n"
                         "110 menu-confirm 1\n112 menu-confirm 0\n"
                         "140 menu-confirm 1\n142 menu-confirm 0\n"
                         "# level 1, after its 5 s intro\n";
    script += ShiftedScript(kLevelOneScript, kLevelOneStart);
    script += "# the save prompt: Save Game, slot A\n";
    for (const char* need : {"left", "right", "up", "down", "boost"})
        script += std::to_string(levelEnd + 5) + " " + need + " 0\n";
    script += std::to_string(levelEnd + 117) + " menu-confirm 1\n" + std::to_string(levelEnd + 119) +
              " menu-confirm 0\n" + std::to_string(levelEnd + 147) + " menu-confirm 1\n" +
              std::to_string(levelEnd + 149) + " menu-confirm 0\n";
    WriteScript(script);

    const std::vector<std::string> shots = {"splash.png", "story.png",      "mainmenu.png", "levelstart.png",
                                            "level1.png", "saveprompt.png", "level2.png"};
    const int frames[] = {12, 42, 100, 200, kLevelOneStart + 1500, levelEnd + 130, levelEnd + 340};
    std::vector<std::string> arguments = {
        "--game", "--script", "play.txt", "--step", "0.05", "--frames", std::to_string(levelEnd + 360)};
    for (size_t i = 0; i < shots.size(); i++) {
        arguments.push_back("--shot");
        arguments.push_back(std::to_string(frames[i]) + ":" + shots[i]);
    }
    GameRun run = RunGame(folder.Path(), arguments, 3000);
    ASSERT_EQ(run.exitCode, 0) << run.err;

    // The level is played through: only a won level leads to the between-levels intro and its save.
    std::string missing;
    EXPECT_TRUE(
        InOrder(run.out,
                {"Title splash shown", "Intro story shown", "Main menu shown", "Level intro shown (mode 2)",
                 "LoadLevelArt", "Level 1 starts at script frame " + std::to_string(kLevelOneStart) + "\n",
                 "Level intro shown (mode 3)", "Wrote FileA", "LoadLevelArt", "Level 2 starts"},
                &missing))
        << "missing or out of order: " << missing << "\n"
        << run.out;
    EXPECT_TRUE(std::filesystem::exists(folder.Path() / "config" / "Quorvel2" / "FileA"))
        << "the game was saved";

    KeepPictures(folder.Path(), shots);
    for (const std::string& shot : shots) {
        PictureLook look = LookAt(folder.Path() / shot);
        ASSERT_TRUE(look.loaded) << shot;
        EXPECT_GT(look.litShare, 0.001f) << shot << " shows something";
    }
    EXPECT_GT(LookAt(folder.Path() / "level1.png", true).litShare, 0.9f) << "the forest fills the screen";
    EXPECT_GT(LookAt(folder.Path() / "level2.png", true).litShare, 0.9f) << "so does the desert";
    EXPECT_LT(LookAt(folder.Path() / "splash.png").litShare, 0.2f) << "the splash is text on black";
}

TEST_F(ScreenGameRunTest, ATwoPlayerRaceThroughTheControllerCheck)
{
    // No gamepads under Xvfb: the cheat keys let the players through the check.
    WriteScript("20 menu-confirm 1\n22 menu-confirm 0\n"
                "50 menu-confirm 1\n52 menu-confirm 0\n"
                "# Play, then down to Two-Player Games, then Race 1\n"
                "110 menu-confirm 1\n112 menu-confirm 0\n"
                "130 menu-down 1\n132 menu-down 0\n"
                "150 menu-confirm 1\n152 menu-confirm 0\n"
                "180 menu-confirm 1\n182 menu-confirm 0\n"
                "240 key:B 1\n240 key:U 1\n240 key:G 1\n250 key:B 0\n250 key:U 0\n250 key:G 0\n"
                "300 0 boost 1\n300 1 boost 1\n");
    GameRun run = RunGame(folder.Path(),
                          {"--game", "--script", "play.txt", "--step", "0.05", "--frames", "400", "--shot",
                           "230:controllercheck.png", "--shot", "390:race.png"},
                          600);
    ASSERT_EQ(run.exitCode, 0) << run.err;
    std::string missing;
    EXPECT_TRUE(InOrder(run.out, {"Main menu shown", "Controller check shown", "LoadLevelArt"}, &missing))
        << "missing or out of order: " << missing << "\n"
        << run.out;
    KeepPictures(folder.Path(), {"controllercheck.png", "race.png"});
    PictureLook check = LookAt(folder.Path() / "controllercheck.png", true);
    EXPECT_GT(check.litShare, 0.9f) << "the check's grey screen";
    EXPECT_LT(check.brightness, 300) << "a dark grey, so its grey prompt shows";
    EXPECT_GT(LookAt(folder.Path() / "race.png", true).litShare, 0.9f) << "the race's panes";
}
