// Start-up, in the order the rest of the program relies on: the host layer before anything reads
// a file, the preferences before the window (they choose its display and anti-aliasing), the
// window before the data folder (a missing mapping file is reported on top of the window).

#include "System/Boot.h"

#include "System/Alerts.h"
#include "System/GameShell.h"
#include "System/Log.h"
#include "System/Prefs.h"
#include "System/Window.h"
#include "Tarnet/Tarnet.h"

#include <SDL.h>
#include <filesystem>
#include <stdexcept>
#include <string>

uint8_t gActiveMSAALevel = 0;

// The window could not be made with the preference's anti-aliasing and was made without it.
static bool gAntiAliasingDropped = false;

// Some drivers refuse multisampled windows; the game then runs without anti-aliasing, and the
// preference says so from now on.
void CreateGameWindow()
{
    for (;;) {
        if (SDL_InitSubSystem(SDL_INIT_VIDEO) != 0)
            throw std::runtime_error("Couldn't initialize SDL video subsystem.");

        gActiveMSAALevel = gPrefs.msaaLevel;
        RequestOpenGLAttributes(gActiveMSAALevel);

        int display = GetPreferredDisplay();
        int width, height;
        ComputeWindowSize(display, &width, &height);

        gGameWindow = SDL_CreateWindow(kWindowTitle, SDL_WINDOWPOS_UNDEFINED_DISPLAY(display),
                                       SDL_WINDOWPOS_UNDEFINED_DISPLAY(display), width, height,
                                       SDL_WINDOW_OPENGL | SDL_WINDOW_SHOWN | SDL_WINDOW_RESIZABLE |
                                           SDL_WINDOW_ALLOW_HIGHDPI);
        if (gGameWindow)
            return;

        if (gActiveMSAALevel == 0)
            throw std::runtime_error("Couldn't create SDL window.");

        LogLine(kLogWarning,
                "Couldn't create SDL window with the requested MSAA level. Retrying without MSAA...\n");
        gPrefs.msaaLevel = 0;
        gAntiAliasingDropped = true;
        SDL_QuitSubSystem(SDL_INIT_VIDEO);
    }
}

// An installed game is started from anywhere: without a "Data" folder in the working directory it
// takes the one the install put beside it (QUORVEL_DATA_FROM_GAME is relative to the executable).
static std::filesystem::path InstalledDataFolder()
{
    char* base = SDL_GetBasePath();
    if (!base)
        return {};
    std::filesystem::path folder = (std::filesystem::path(base) / QUORVEL_DATA_FROM_GAME).lexically_normal();
    SDL_free(base);
    return folder;
}

std::filesystem::path FindDataFolder()
{
    std::filesystem::path dataFolder = (std::filesystem::current_path() / "Data").lexically_normal();
    if (!std::filesystem::is_directory(dataFolder)) {
        std::filesystem::path installed = InstalledDataFolder();
        if (!installed.empty() && std::filesystem::is_directory(installed))
            dataFolder = installed;
    }
    if (!std::filesystem::is_directory(dataFolder))
        LogLine(kLogWarning, "Quorvel 2: no \"Data\" folder in %s; the game cannot load its files.",
                std::filesystem::current_path().string().c_str());
    gDataFolderSpec = Tarnet::HostPathToFSSpec(dataFolder / "Skeletons");
    return dataFolder;
}

// Without the mapping file SDL's built-in mappings still serve the common controllers.
void LoadControllerMappings(const std::filesystem::path& dataFolder)
{
    std::filesystem::path mappingPath = dataFolder / "System" / "gamecontrollerdb.txt";
    if (SDL_GameControllerAddMappingsFromFile(mappingPath.string().c_str()) == -1)
        ShowWarningBox("Couldn't load gamecontrollerdb.txt!");
}

void KeepAntiAliasingFallback()
{
    if (!gAntiAliasingDropped || gPrefs.msaaLevel == 0)
        return;
    gPrefs.msaaLevel = 0;
    WritePrefsFile();
}

void BootProgram()
{
    // SDL's log priorities were set with the console's level before start-up.
    Tarnet::Startup();

    ResetPrefsToDefaults();
    ReadPrefsFile();

    CreateGameWindow();

    std::filesystem::path dataFolder = FindDataFolder();

    SDL_InitSubSystem(SDL_INIT_GAMECONTROLLER);
    LoadControllerMappings(dataFolder);
}
