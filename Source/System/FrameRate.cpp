// Frame-rate measurement. The raw rate of each frame goes into a ring of eight and the average
// becomes gFrameRate, so one slow frame (a load, a dialog) moves gFrameSeconds by at most an eighth
// and never past 1/13 s: nothing jumps through a wall after a stall.

#include "System/FrameRate.h"

#include "System/ProgramState.h"
#include "Tarnet/Tarnet.h"

#include <SDL.h>
#include <cstdint>

static constexpr float kMinimumFrameRate = 13.0f;
static constexpr float kMaximumFrameRate = 300.0f;
static constexpr float kTimeDemoFrameRate = 40.0f;
static constexpr int kHistorySize = 8;

float gFrameRate = kMinimumFrameRate;
float gFrameSeconds = 1.0f / kMinimumFrameRate;

static float gRawRateHistory[kHistorySize] = {60, 60, 60, 60, 60, 60, 60, 60};
static int gRawRateHistoryIndex = 0;
static uint64_t gLastFrameMicroseconds = 0;

void ResetFrameRate()
{
    gFrameRate = kMinimumFrameRate;
    gFrameSeconds = 1.0f / kMinimumFrameRate;
    for (float& rate : gRawRateHistory)
        rate = 60.0f;
    gRawRateHistoryIndex = 0;
    gLastFrameMicroseconds = Tarnet::MicrosecondsNow();
}

// Only the low 32 bits take part: the unsigned difference survives the counter's wrap.
static float RawRateSince(uint64_t now)
{
    uint32_t elapsed = uint32_t(now) - uint32_t(gLastFrameMicroseconds);
    if (elapsed == 0)
        return kMinimumFrameRate;
    float raw = 1000000.0f / float(elapsed);
    return raw < kMinimumFrameRate ? kMinimumFrameRate : raw;
}

float gFixedFrameSeconds = 0;

void CalcFrameRate()
{
    uint64_t now = Tarnet::MicrosecondsNow();
    float raw;

    if (gTimeDemoMode) {
        raw = kTimeDemoFrameRate;
    } else {
        // Cap at 300 fps: far too early, sleep a millisecond; a little early, just look again.
        raw = RawRateSince(now);
        while (raw > kMaximumFrameRate) {
            if (raw - kMaximumFrameRate > 1000.0f)
                SDL_Delay(1);
            now = Tarnet::MicrosecondsNow();
            raw = RawRateSince(now);
        }
    }

    gRawRateHistory[gRawRateHistoryIndex] = raw;
    gRawRateHistoryIndex = (gRawRateHistoryIndex + 1) % kHistorySize;

    float sum = 0;
    for (float rate : gRawRateHistory)
        sum += rate;
    gFrameRate = sum * 0.125f;
    if (gFrameRate < kMinimumFrameRate)
        gFrameRate = kMinimumFrameRate;

    gLastFrameMicroseconds = now;
    gFrameSeconds = 1.0f / gFrameRate;

    // A fixed step overrides the measurement, so that a scripted run repeats exactly.
    if (gFixedFrameSeconds > 0) {
        gFrameSeconds = gFixedFrameSeconds;
        gFrameRate = 1.0f / gFixedFrameSeconds;
    }
}
