// TimeDemo.h: the time demo, the game's benchmark. Level "level3" is played with one player and no
// intro, vertical sync off and every frame counted as 1/40 s from a fixed random seed, so every run
// sees the same events. A camera path (spline item 49, made only in time-demo mode) drives camera 0
// across the level; when it reaches its end the level ends and the results are shown.
//
// Started from the main menu, or by the "--timedemo" switch, which also prints the results and a
// frame-time report on standard output and shows the results alert only when standard output is a
// terminal, so that a run can be scripted.
#pragma once

#include <cstdint>
#include <cstdio>

#include "Terrain/Terrain.h"

constexpr int TIME_DEMO_LEVEL = 2;        // "level3"
constexpr int TIME_DEMO_SPLINE_ITEM = 49; // the camera path
constexpr float TIME_DEMO_SPEED = 450.0f; // spline points per second along the path
constexpr float TIME_DEMO_CAMERA_HEIGHT = 600.0f;

extern bool gTimeDemoRequested; // "--timedemo": play the demo at start-up, print its report, quit
extern int32_t gTimeDemoEvents; // random weapon events so far in this run
// "--frames N" with the demo: it ends after N frames instead of at its path's end (0).
extern int32_t gTimeDemoFrameLimit;
// "--soak MINUTES": the demo is played again and again in one process until this many minutes have
// passed, with a line of memory counts after each run, so that a leak shows as a growing count.
extern int32_t gTimeDemoSoakMinutes;

bool IsTimeDemoFrameLimitReached(int32_t frames);
void BeginTimeDemoSoak();                      // the soak's clock starts
bool DoesTimeDemoSoakGoOn();                   // a soak was asked for and its time is not up
void PrintSoakRunLine(std::FILE* to, int run); // after a run's level has been ended

// The shell's way to end the demo level when the path is done (it sets gLevelLost).
void SetTimeDemoEndRoutine(void (*routine)());

// Spline item 49: in time-demo mode an invisible node driven along its spline as the demo camera;
// otherwise nothing.
bool AddTimeDemoPath(int splineIndex, SplineItemType* item);

// The frame-time report: started with play, fed once per drawn frame, printed at the end.
void BeginTimeDemoReport();
void RecordTimeDemoFrame();
void RecordTimeDemoLogic(uint64_t microseconds); // the frame's logic alone, before its drawing
// Frames, wall seconds, average rate, the real frame times' minimum, median, 95th and 99th percentile
// and maximum in milliseconds, the logic's mean and 99th percentile, peak objects and peak triangles in one
// frame, and a digest of the object count of every frame (equal digests: equal counts frame by frame).
void PrintTimeDemoReport(std::FILE* to, int32_t frames, float seconds);
