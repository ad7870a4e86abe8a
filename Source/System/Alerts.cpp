// Alerts go to the console first so that a player who dismisses the box, or a run with no
// display at all, still leaves the message behind.

#include "System/Alerts.h"

#include "System/Log.h"
#include "System/ProgramState.h"

#include <SDL.h>
#include <cstdarg>
#include <cstdio>

static constexpr int kAlertBufferSize = 1024;

static AlertPresenter gAlertPresenter = nullptr;
static void (*gReleaseCursorForDialog)() = nullptr;
static void (*gHideCursorAfterDialog)() = nullptr;

void SetAlertPresenter(AlertPresenter presenter)
{
    gAlertPresenter = presenter;
}

void SetAlertCursorRoutines(void (*releaseForDialog)(), void (*hideAfterDialog)())
{
    gReleaseCursorForDialog = releaseForDialog;
    gHideCursorAfterDialog = hideAfterDialog;
}

static void PresentAlert(const char* message, bool isFatal)
{
    if (gReleaseCursorForDialog)
        gReleaseCursorForDialog();
    // On standard output at information level, every time: it is the player's message, and a
    // repeat is not the log's to drop.
    LogLine(kLogInfo, isFatal ? "Quorvel 2 Fatal Alert: %s" : "Quorvel 2 Alert: %s", message);

    if (gAlertPresenter) {
        gAlertPresenter(message, isFatal);
    } else {
        // A box that SDL cannot show (no display) is not an error of its own.
        SDL_ShowSimpleMessageBox(SDL_MESSAGEBOX_ERROR, "Quorvel 2", message, nullptr);
    }
    if (gHideCursorAfterDialog)
        gHideCursorAfterDialog();
}

// Formats into the caller's buffer (longer text is cut) and presents the alert.
static void PresentFormattedAlert(char (&message)[kAlertBufferSize], bool isFatal, const char* format,
                                  va_list args)
{
    std::vsnprintf(message, sizeof(message), format, args);
    PresentAlert(message, isFatal);
}

void ShowAlert(const char* format, ...)
{
    char message[kAlertBufferSize];
    va_list args;
    va_start(args, format);
    PresentFormattedAlert(message, false, format, args);
    va_end(args);
}

void ShowFatalAlert(const char* format, ...)
{
    char message[kAlertBufferSize];
    va_list args;
    va_start(args, format);
    PresentFormattedAlert(message, true, format, args);
    va_end(args);

    if (gAlertPresenter)
        throw FatalAlertError(message);
    RequestQuit();
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
