// Every console line passes through WriteLine, under one lock: SDL may log from its audio thread.

#include "System/Log.h"

#include <SDL.h>
#include <cstdarg>
#include <cstdio>
#include <cstring>
#include <mutex>
#include <string>
#include <unordered_set>

static constexpr int kLineBufferSize = 2048; // room for an alert of 1023 bytes and its prefix
// Failures already reported are remembered up to this many; past it a new kind is still shown.
static constexpr size_t kMaxRememberedFailures = 256;

static std::mutex gLogLock;
static bool gLogVerbose = false;
static LogSink gLogSink = nullptr;
static std::unordered_set<std::string> gReportedFailures;

// True the first time a failure's text is seen; false for every repeat.
static bool IsFirstReport(const char* line)
{
    if (gReportedFailures.count(line))
        return false;
    if (gReportedFailures.size() < kMaxRememberedFailures)
        gReportedFailures.insert(line);
    return true;
}

static void WriteLine(LogLevel level, bool isFailure, const char* text)
{
    if (level == kLogDebug && !gLogVerbose)
        return;

    char line[kLineBufferSize];
    size_t length = std::strlen(text);
    bool endsLine = length > 0 && text[length - 1] == '\n';
    std::snprintf(line, sizeof(line), endsLine ? "%s" : "%s\n", text);

    std::lock_guard<std::mutex> hold(gLogLock);
    if (isFailure && !IsFirstReport(line))
        return;
    if (gLogSink) {
        gLogSink(level, line);
        return;
    }
    std::FILE* stream = level >= kLogWarning ? stderr : stdout;
    std::fputs(line, stream);
    std::fflush(stream);
}

void LogLine(LogLevel level, const char* format, ...)
{
    char text[kLineBufferSize];
    va_list args;
    va_start(args, format);
    std::vsnprintf(text, sizeof(text), format, args);
    va_end(args);
    WriteLine(level, level >= kLogWarning, text);
}

void SetLogVerbose(bool verbose)
{
    gLogVerbose = verbose;
    // SDL formats nothing below its priority, so debug lines cost nothing unless asked for.
    SDL_LogSetAllPriority(verbose ? SDL_LOG_PRIORITY_VERBOSE : SDL_LOG_PRIORITY_INFO);
}

bool IsLogVerbose()
{
    return gLogVerbose;
}

static LogLevel LevelOfPriority(SDL_LogPriority priority)
{
    switch (priority) {
    case SDL_LOG_PRIORITY_VERBOSE:
    case SDL_LOG_PRIORITY_DEBUG:
        return kLogDebug;
    case SDL_LOG_PRIORITY_INFO:
        return kLogInfo;
    case SDL_LOG_PRIORITY_WARN:
        return kLogWarning;
    default:
        return kLogError;
    }
}

// SDL logs every error it sets in its error category, at debug priority; a call that fails every
// frame would otherwise fill the console with the same line.
static void WriteSDLMessage(void*, int category, SDL_LogPriority priority, const char* message)
{
    char text[kLineBufferSize];
    std::snprintf(text, sizeof(text), "SDL: %s", message);
    LogLevel level = LevelOfPriority(priority);
    WriteLine(level, level >= kLogWarning || category == SDL_LOG_CATEGORY_ERROR, text);
}

void RouteSDLLogToConsole()
{
    SDL_LogSetOutputFunction(WriteSDLMessage, nullptr);
    SetLogVerbose(gLogVerbose);
}

void SetLogSinkForTesting(LogSink sink)
{
    std::lock_guard<std::mutex> hold(gLogLock);
    gLogSink = sink;
    gReportedFailures.clear();
}
