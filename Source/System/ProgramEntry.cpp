// The program's entry: the command line, then the exception boundary around the game. A quit
// request is the orderly way out from any depth; any other exception is an error the player must
// see, as a console line and a message box.

#include "Gameplay/TimeDemo.h"
#include "System/Alerts.h"
#include "System/Boot.h"
#include "System/CommandLine.h"
#include "System/GameShell.h"
#include "System/Log.h"
#include "System/ScriptedPlay.h"
#include "System/Window.h"

#include "Tarnet/Tarnet.h"

#include <SDL.h>
#include <exception>
#include <iterator>
#include <string>

static constexpr const char* kProgramName = "Quorvel2";

static void ApplyVerbose(const char*)
{
    SetLogVerbose(true);
}

static void ApplyTimeDemo(const char*)
{
    gTimeDemoRequested = true;
}

// Every switch the game takes; a new one is one more row and its routine.
static const CommandLineOption kGameOptions[] = {
    {"--verbose", nullptr, "also show debug lines, SDL's among them, on the console", ApplyVerbose},
    {"--timedemo", nullptr, "play the time demo, print its report on standard output, then quit",
     ApplyTimeDemo},
    {"--level", "NAME", "play this level at once (level1 ... flag2), no menus", ApplyLevelOption},
    {"--mode", "MODE", "in this mode: adventure, race, battle or capture", ApplyModeOption},
    {"--players", "N", "with 1 or 2 players", ApplyPlayersOption},
    {"--script", "FILE", "play the level from a script of input needs", ApplyScriptOption},
    {"--frames", "N", "play N frames, then quit (a script: 600 by default)", ApplyFramesOption},
    {"--step", "SECONDS", "every frame lasts exactly this long (repeatable runs)", ApplyStepOption},
    {"--trace", "OUT.csv", "write each player's state, one row per frame", ApplyTraceOption},
    {"--shot", "FRAME:OUT.png", "save the picture of a frame (repeatable)", ApplyShotOption},
    {"--record", "FILE", "write what is played by hand as a script", ApplyRecordOption},
    {"--game", nullptr, "play the whole game from its start (with --script: scripted)", ApplyGameOption},
    {"--soak", "MINUTES", "play the time demo again and again for this long, memory counts after each run",
     ApplySoakOption},
};

// Low layers reach the shell only through what it registers here.
static void RegisterShellRoutines()
{
    SetQuitRoutine(QuitCleanly);
    SetAlertCursorRoutines(ShowCursorForDialog, HideCursorAgain);
    RouteSDLLogToConsole();
}

int RunProgram(int argc, char** argv)
{
    int commandLineResult =
        ParseCommandLine(argc, argv, kProgramName, kGameOptions, int(std::size(kGameOptions)));
    if (commandLineResult != kCommandLineGoOn)
        return commandLineResult;
    commandLineResult = CheckScriptedPlayOptions();
    if (commandLineResult != kCommandLineGoOn)
        return commandLineResult;

    RegisterShellRoutines();

    bool failed = false;
    std::string message;

    try {
        BootProgram();
        RunGameShell();
    } catch (const Tarnet::QuitRequest&) {
        // The player quit; nothing to report.
    } catch (const std::exception& error) {
        failed = true;
        message = error.what();
    } catch (...) {
        failed = true;
        message = "unknown";
    }

    Tarnet::Shutdown();
    if (gGameWindow) {
        SDL_DestroyWindow(gGameWindow);
        gGameWindow = nullptr;
    }
    SDL_Quit();

    if (!failed)
        return 0;

    LogLine(kLogError, "Uncaught exception: %s", message.c_str());
    SDL_ShowSimpleMessageBox(0, "Quorvel 2", message.c_str(), nullptr);
    return 1;
}
