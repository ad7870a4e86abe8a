// Start-up, in the order the rest of the program relies on: the host layer before anything reads
// a file, the preferences before the window (they choose its display and anti-aliasing), the
// window before the data folder (a missing mapping file is reported on top of the window).

#include "System/Boot.h"

#include "System/Alerts.h"
#include "System/GameShell.h"
#include "System/Prefs.h"
#include "System/Window.h"
#include "Tarnet/Tarnet.h"

#include <SDL.h>
#include <filesystem>
#include <stdexcept>
#include <string>

SDL_Window* gGameWindow = nullptr;
uint8_t gActiveMSAALevel = 0;

static void RequestOpenGLContext()
{
    SDL_GL_SetAttribute(SDL_GL_CONTEXT_PROFILE_MASK, SDL_GL_CONTEXT_PROFILE_COMPATIBILITY);
    SDL_GL_SetAttribute(SDL_GL_CONTEXT_MAJOR_VERSION, 2);
    SDL_GL_SetAttribute(SDL_GL_CONTEXT_MINOR_VERSION, 0);

    gActiveMSAALevel = gPrefs.msaaLevel;
    if (gActiveMSAALevel != 0) {
        SDL_GL_SetAttribute(SDL_GL_MULTISAMPLEBUFFERS, 1);
        SDL_GL_SetAttribute(SDL_GL_MULTISAMPLESAMPLES, 1 << gActiveMSAALevel);
    } else {
        SDL_GL_SetAttribute(SDL_GL_MULTISAMPLEBUFFERS, 0);
        SDL_GL_SetAttribute(SDL_GL_MULTISAMPLESAMPLES, 0);
    }
}

// Some drivers refuse multisampled windows; the game then runs without anti-aliasing, and the
// preference says so from now on (it is saved at quit).
static void CreateGameWindow()
{
    for (;;) {
        if (SDL_InitSubSystem(SDL_INIT_VIDEO) != 0)
            throw std::runtime_error("Couldn't initialize SDL video subsystem.");

        RequestOpenGLContext();

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

        SDL_Log("Couldn't create SDL window with the requested MSAA level. Retrying without MSAA...\n");
        gPrefs.msaaLevel = 0;
        SDL_QuitSubSystem(SDL_INIT_VIDEO);
    }
}

std::filesystem::path FindDataFolder()
{
    std::filesystem::path dataFolder = (std::filesystem::current_path() / "Data").lexically_normal();
    if (!std::filesystem::is_directory(dataFolder))
        std::printf("Quorvel 2: no \"Data\" folder in %s; the game cannot load its files.\n",
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

void BootProgram()
{
    SDL_LogSetAllPriority(SDL_LOG_PRIORITY_VERBOSE);

    Tarnet::Startup();

    ResetPrefsToDefaults();
    ReadPrefsFile();

    CreateGameWindow();

    std::filesystem::path dataFolder = FindDataFolder();

    SDL_InitSubSystem(SDL_INIT_GAMECONTROLLER);
    LoadControllerMappings(dataFolder);
}
