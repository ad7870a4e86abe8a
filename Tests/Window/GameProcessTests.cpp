// Runs the real game executable the way a player does and watches it from outside: its window,
// its OpenGL context, and how it ends when the window manager closes it or the system asks it to
// quit. The window is found and closed through the X server, as a window manager would.

#include "Support/TempFolder.h"
#include "Support/TestWindow.h"

#include <X11/Xatom.h>
#include <X11/Xlib.h>
#include <gtest/gtest.h>

#include <chrono>
#include <csignal>
#include <cstdlib>
#include <fstream>
#include <optional>
#include <sstream>
#include <string>
#include <sys/wait.h>
#include <thread>
#include <unistd.h>

using namespace std::chrono_literals;

static const char* kGameTitle = "Quorvel II: Drellin (v2.1.0)";

struct GameProcess
{
    pid_t pid = -1;
    std::filesystem::path stdoutPath;
    std::filesystem::path stderrPath;
};

// Starts the game in `folder` with its own preferences folder, output going to files there (so
// fully buffered, as into a pipe), with one command-line argument when given.
static GameProcess StartGame(const std::filesystem::path& folder, bool withVideo,
                             const char* argument = nullptr)
{
    GameProcess game;
    game.stdoutPath = folder / "stdout.txt";
    game.stderrPath = folder / "stderr.txt";
    std::filesystem::create_directories(folder / "config");

    game.pid = fork();
    if (game.pid == 0) {
        if (chdir(folder.c_str()) != 0)
            _exit(127);
        if (!freopen(game.stdoutPath.c_str(), "w", stdout) || !freopen(game.stderrPath.c_str(), "w", stderr))
            _exit(127);
        setenv("XDG_CONFIG_HOME", (folder / "config").c_str(), 1);
        // The game process is watched from outside for how it starts and ends; leaks are checked
        // in-process by the level tests, where the graphics driver's own allocations can be told
        // apart from the game's.
        const char* asanOptions = std::getenv("ASAN_OPTIONS");
        std::string options = std::string(asanOptions ? asanOptions : "") + ":detect_leaks=0";
        setenv("ASAN_OPTIONS", options.c_str(), 1);
        if (!withVideo) {
            // Without a display the error box cannot open and wait for a click either.
            setenv("SDL_VIDEODRIVER", "no-such-driver", 1);
            unsetenv("DISPLAY");
        }
        execl(QUORVEL_GAME_EXECUTABLE, QUORVEL_GAME_EXECUTABLE, argument, (char*)nullptr);
        _exit(127);
    }
    return game;
}

static std::string ReadWholeFile(const std::filesystem::path& path)
{
    std::ifstream in(path);
    std::stringstream text;
    text << in.rdbuf();
    return text.str();
}

// Waits for the process to end; the exit code, or nothing if it is still running after `limit`.
static std::optional<int> WaitForExit(pid_t pid, std::chrono::milliseconds limit)
{
    auto deadline = std::chrono::steady_clock::now() + limit;
    while (std::chrono::steady_clock::now() < deadline) {
        int status = 0;
        if (waitpid(pid, &status, WNOHANG) == pid)
            return WIFEXITED(status) ? WEXITSTATUS(status) : 128 + WTERMSIG(status);
        std::this_thread::sleep_for(10ms);
    }
    return std::nullopt;
}

static void KillGame(pid_t pid)
{
    kill(pid, SIGKILL);
    waitpid(pid, nullptr, 0);
}

static std::string WindowName(Display* display, Window window)
{
    Atom netWmName = XInternAtom(display, "_NET_WM_NAME", False);
    Atom utf8 = XInternAtom(display, "UTF8_STRING", False);
    Atom type;
    int format;
    unsigned long count, remaining;
    unsigned char* data = nullptr;
    std::string name;
    if (XGetWindowProperty(display, window, netWmName, 0, 1024, False, utf8, &type, &format, &count,
                           &remaining, &data) == Success &&
        data) {
        name.assign(reinterpret_cast<char*>(data), count);
        XFree(data);
    }
    return name;
}

static Window FindWindowNamed(Display* display, Window parent, const std::string& title)
{
    if (WindowName(display, parent) == title)
        return parent;
    Window root, ownParent;
    Window* children = nullptr;
    unsigned int count = 0;
    Window found = 0;
    if (XQueryTree(display, parent, &root, &ownParent, &children, &count)) {
        for (unsigned int i = 0; i < count && !found; i++)
            found = FindWindowNamed(display, children[i], title);
        if (children)
            XFree(children);
    }
    return found;
}

static Window WaitForGameWindow(Display* display, std::chrono::seconds limit)
{
    auto deadline = std::chrono::steady_clock::now() + limit;
    while (std::chrono::steady_clock::now() < deadline) {
        Window window = FindWindowNamed(display, DefaultRootWindow(display), kGameTitle);
        if (window)
            return window;
        std::this_thread::sleep_for(50ms);
    }
    return 0;
}

// What a window manager sends when the player clicks the close box.
static void SendDeleteWindow(Display* display, Window window)
{
    XEvent event = {};
    event.xclient.type = ClientMessage;
    event.xclient.window = window;
    event.xclient.message_type = XInternAtom(display, "WM_PROTOCOLS", False);
    event.xclient.format = 32;
    event.xclient.data.l[0] = long(XInternAtom(display, "WM_DELETE_WINDOW", False));
    event.xclient.data.l[1] = CurrentTime;
    XSendEvent(display, window, False, NoEventMask, &event);
    XFlush(display);
}

static bool LogContains(const std::filesystem::path& path, const char* text)
{
    return ReadWholeFile(path).find(text) != std::string::npos;
}

// The "OpenGL 2.1 Mesa ..." line the game logs once its context exists; 0 until then.
static int LoggedOpenGLMajorVersion(const std::filesystem::path& stdoutPath)
{
    std::string log = ReadWholeFile(stdoutPath);
    size_t at = log.find("OpenGL ");
    if (at == std::string::npos)
        return 0;
    return std::atoi(log.c_str() + at + 7);
}

class GameProcessTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        if (!HasDisplayForWindowTests())
            GTEST_SKIP() << "no display";
        display = XOpenDisplay(nullptr);
        ASSERT_NE(display, nullptr);
        // A window that vanishes between finding it and writing to it is expected here, not fatal.
        XSetErrorHandler([](Display*, XErrorEvent*) { return 0; });
        // The game's own generated data, as a player's installation has it.
        std::filesystem::create_directory_symlink(QUORVEL_BINARY_DIR "/Data", folder.Path() / "Data");
    }

    void TearDown() override
    {
        if (display)
            XCloseDisplay(display);
    }

    // Starts the game and waits until its window is up and start-up is over: the OpenGL context
    // runs and the shared art is loaded, so the frame cycle is what handles the next event.
    GameProcess StartAndWaitForWindow()
    {
        GameProcess game = StartGame(folder.Path(), true);
        Window window = WaitForGameWindow(display, 60s);
        EXPECT_NE(window, 0u) << "no window titled " << kGameTitle << "\n" << ReadWholeFile(game.stderrPath);
        for (int i = 0; i < 1200 && !LogContains(game.stdoutPath, "Shared art loaded"); i++)
            std::this_thread::sleep_for(100ms);
        // Going full screen may give the game a new window; ask again for the one it has now.
        gameWindow = WaitForGameWindow(display, 10s);
        return game;
    }

    TempFolder folder;
    Display* display = nullptr;
    Window gameWindow = 0;
};

TEST_F(GameProcessTest, ClosingTheWindowQuitsCleanlyWithinTwoSeconds)
{
    GameProcess game = StartAndWaitForWindow();
    ASSERT_NE(gameWindow, 0u);
    EXPECT_GE(LoggedOpenGLMajorVersion(game.stdoutPath), 2) << ReadWholeFile(game.stdoutPath);

    // Each console line is written when it happens: the first screen's line is there while the
    // game runs, not only once it ends and its buffers are flushed.
    for (int i = 0; i < 600 && !LogContains(game.stdoutPath, "Title splash shown"); i++)
        std::this_thread::sleep_for(100ms);
    ASSERT_FALSE(WaitForExit(game.pid, 10ms).has_value()) << ReadWholeFile(game.stderrPath);
    EXPECT_TRUE(LogContains(game.stdoutPath, "Title splash shown")) << ReadWholeFile(game.stdoutPath);

    // The window may have been replaced since it was found (going full screen can do that without a
    // window manager), so the request goes to whichever window carries the title, until one takes it.
    auto deadline = std::chrono::steady_clock::now() + 2000ms;
    std::optional<int> exitCode;
    while (!exitCode && std::chrono::steady_clock::now() < deadline) {
        Window window = FindWindowNamed(display, DefaultRootWindow(display), kGameTitle);
        if (window)
            SendDeleteWindow(display, window);
        exitCode = WaitForExit(game.pid, 200ms);
    }
    if (!exitCode)
        KillGame(game.pid);
    ASSERT_TRUE(exitCode.has_value()) << "still running 2 s after the close request";
    EXPECT_EQ(*exitCode, 0) << ReadWholeFile(game.stderrPath);
    EXPECT_EQ(ReadWholeFile(game.stderrPath).find("Uncaught exception"), std::string::npos);
    // SDL's debug lines, among them errors it sets and the game ignores, stay off the console
    // unless --verbose asks for them.
    std::string console = ReadWholeFile(game.stdoutPath) + ReadWholeFile(game.stderrPath);
    EXPECT_EQ(console.find("That operation is not supported"), std::string::npos) << console;
}

TEST_F(GameProcessTest, SystemQuitRequestQuitsCleanly)
{
    GameProcess game = StartAndWaitForWindow();
    ASSERT_NE(gameWindow, 0u);

    // SDL turns an interrupt into its quit event.
    kill(game.pid, SIGINT);
    std::optional<int> exitCode = WaitForExit(game.pid, 2000ms);
    if (!exitCode)
        KillGame(game.pid);
    ASSERT_TRUE(exitCode.has_value());
    EXPECT_EQ(*exitCode, 0);
}

// SDL falls back to an off-screen driver when there is no display at all; a video driver that
// cannot start is what makes start-up fail for real.
TEST(GameProcessWithoutVideo, FailingStartUpReportsTheErrorAndExitsWithOne)
{
    TempFolder folder;
    GameProcess game = StartGame(folder.Path(), false);
    std::optional<int> exitCode = WaitForExit(game.pid, 30000ms);
    if (!exitCode)
        KillGame(game.pid);
    ASSERT_TRUE(exitCode.has_value());
    EXPECT_EQ(*exitCode, 1);
    EXPECT_NE(
        ReadWholeFile(game.stderrPath).find("Uncaught exception: Couldn't initialize SDL video subsystem."),
        std::string::npos)
        << ReadWholeFile(game.stderrPath);
}

TEST(GameProcessCommandLine, UnknownArgumentPrintsTheUsageAndExitsWithTwo)
{
    TempFolder folder;
    GameProcess game = StartGame(folder.Path(), false, "--no-such-switch");
    std::optional<int> exitCode = WaitForExit(game.pid, 30000ms);
    if (!exitCode)
        KillGame(game.pid);
    ASSERT_TRUE(exitCode.has_value());
    EXPECT_EQ(*exitCode, 2);
    std::string errors = ReadWholeFile(game.stderrPath);
    EXPECT_NE(errors.find("unknown argument \"--no-such-switch\""), std::string::npos) << errors;
    EXPECT_NE(errors.find("--verbose"), std::string::npos) << errors;
}
