// Captures alerts for the duration of a test: no message box blocks, every message is kept, and a
// fatal alert throws FatalAlertError (so EXPECT_THROW can see it) instead of quitting.
#pragma once

#include "System/Alerts.h"

#include <string>
#include <vector>

struct CapturedAlert
{
    std::string message;
    bool isFatal;
};

class ScopedAlertCapture
{
public:
    ScopedAlertCapture();
    ~ScopedAlertCapture();
    ScopedAlertCapture(const ScopedAlertCapture&) = delete;
    ScopedAlertCapture& operator=(const ScopedAlertCapture&) = delete;

    const std::vector<CapturedAlert>& Alerts() const;
    std::string LastMessage() const; // empty when nothing was shown
};

// Runs `action` and returns the message of the fatal alert it raised, or "" if it raised none.
template <typename Action> std::string FatalAlertMessageOf(Action action)
{
    ScopedAlertCapture capture;
    try {
        action();
    } catch (const FatalAlertError& error) {
        return error.what();
    }
    return "";
}
