// Alerts go to the console first so that a player who dismisses the box, or a run with no
// display at all, still leaves the message behind.

#include "System/Alerts.h"

#include "System/GameShell.h"
#include "System/Window.h"

#include <SDL.h>
#include <cstdarg>
#include <cstdio>

static constexpr int kAlertBufferSize = 1024;

static AlertPresenter gAlertPresenter = nullptr;

void SetAlertPresenter(AlertPresenter presenter)
{
    gAlertPresenter = presenter;
}

static void PresentAlert(const char* message, bool isFatal)
{
    ShowCursorForDialog();
    std::printf(isFatal ? "Quorvel 2 Fatal Alert: %s\n" : "Quorvel 2 Alert: %s\n", message);
    std::fflush(stdout);

    if (gAlertPresenter) {
        gAlertPresenter(message, isFatal);
    } else {
        // A box that SDL cannot show (no display) is not an error of its own.
        SDL_ShowSimpleMessageBox(SDL_MESSAGEBOX_ERROR, "Quorvel 2", message, nullptr);
    }
    HideCursorAgain();
}

void ShowAlert(const char* format, ...)
{
    char message[kAlertBufferSize];
    va_list args;
    va_start(args, format);
    std::vsnprintf(message, sizeof(message), format, args);
    va_end(args);

    PresentAlert(message, false);
}

void ShowFatalAlert(const char* format, ...)
{
    char message[kAlertBufferSize];
    va_list args;
    va_start(args, format);
    std::vsnprintf(message, sizeof(message), format, args);
    va_end(args);

    PresentAlert(message, true);
    if (gAlertPresenter)
        throw FatalAlertError(message);
    QuitCleanly();
}

void FatalAssertion(const char* function, int line, const char* condition)
{
    ShowFatalAlert("%s:%d: %s", function, line, condition);
}

void ShowWarningBox(const char* message)
{
    if (gAlertPresenter)
        gAlertPresenter(message, false);
    else
        SDL_ShowSimpleMessageBox(SDL_MESSAGEBOX_WARNING, "Quorvel 2", message, gGameWindow);
}
