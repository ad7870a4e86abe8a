// The program's exception boundary. A quit request is the orderly way out from any depth; any
// other exception is an error the player must see, as a console line and a message box.

#include "System/Boot.h"
#include "System/GameShell.h"

#include "Tarnet/Tarnet.h"

#include <SDL.h>
#include <cstdio>
#include <exception>
#include <string>

int RunProgram()
{
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

    std::fprintf(stderr, "Uncaught exception: %s\n", message.c_str());
    SDL_ShowSimpleMessageBox(0, "Quorvel 2", message.c_str(), nullptr);
    return 1;
}
