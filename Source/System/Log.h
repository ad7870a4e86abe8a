// The console: one route for every line the game and SDL write. Each line is written whole and
// flushed at once, so a pipe or a file sees it when it happens, not when the program ends.
// Information and above are shown by default; debug lines only in verbose mode (--verbose).
// Debug and information lines go to standard output, warnings and errors to standard error.
#pragma once

enum LogLevel
{
    kLogDebug,
    kLogInfo,
    kLogWarning,
    kLogError
};

// Writes one line (a newline is added when the text has none). Lines below the current level are
// dropped. Warnings and errors are reported once each: a line repeating one already written is
// dropped, so a failure that recurs every frame leaves one line, not hundreds.
void LogLine(LogLevel level, const char* format, ...) __attribute__((format(printf, 2, 3)));

void SetLogVerbose(bool verbose); // debug lines shown too; also sets SDL's log priorities
bool IsLogVerbose();

// Sends SDL's own log messages through this route, at the priorities of the current level.
void RouteSDLLogToConsole();

// Tests catch the lines instead of the console; nullptr restores the console. Resetting also
// forgets which warnings were already reported.
typedef void (*LogSink)(LogLevel level, const char* line);
void SetLogSinkForTesting(LogSink sink);
