// Alerts: the recoverable alert, the fatal alert that ends the program through the clean-quit
// sequence, and the internal-assertion convention built on it.
#pragma once

#include <stdexcept>
#include <string>

// Shows "Quorvel 2 Alert: <message>" on standard output and in a modal message box; returns when
// the player dismisses it. Text longer than 1023 bytes is cut.
void ShowAlert(const char* format, ...) __attribute__((format(printf, 1, 2)));

// As ShowAlert with "Quorvel 2 Fatal Alert: ", then RequestQuit (the shell's clean-quit sequence).
// Never returns.
[[noreturn]] void ShowFatalAlert(const char* format, ...) __attribute__((format(printf, 1, 2)));

// A warning box over the game window that does not stop the game (no console line).
void ShowWarningBox(const char* message);

// The fatal alert of a failed internal check: "<function>:<line>: <condition>".
[[noreturn]] void FatalAssertion(const char* function, int line, const char* condition);

// Internal checks of the game: a failed condition is a programming error, never a recoverable one.
#define GAME_ASSERT(condition)                                                                               \
    do {                                                                                                     \
        if (!(condition))                                                                                    \
            FatalAssertion(__func__, __LINE__, #condition);                                                  \
    } while (0)

// Tests replace the message box so that nothing blocks. While a presenter is installed a fatal
// alert throws FatalAlertError with the message instead of running the clean-quit sequence, so a
// test can catch it and go on. Pass nullptr to restore the real message box.
typedef void (*AlertPresenter)(const char* message, bool isFatal);
void SetAlertPresenter(AlertPresenter presenter);

// The shell's routines around a dialog: release the mouse and show the system cursor before the
// box, hide the cursor after it. Registered at start-up; without them the cursor is left alone.
void SetAlertCursorRoutines(void (*releaseForDialog)(), void (*hideAfterDialog)());

struct FatalAlertError : std::runtime_error
{
    explicit FatalAlertError(const std::string& message) : std::runtime_error(message) {}
};
