// What the mixer's own files share: the one mixer record and its lock.
#pragma once

#include <SDL.h>

#include <atomic>
#include <cstdint>

#include "Tarnet/cmixer/cmixer.h"

namespace cmixer::detail {

enum class Output
{
    kClosed,
    kDevice, // SDL's audio thread runs the callback
    kDriven, // no device; the caller runs MixOutput (tests, tools)
    kSilent, // no device; sources never start
};

struct Mixer
{
    Output output = Output::kClosed;
    SDL_AudioDeviceID device = 0;
    bool audioInitialised = false; // this layer holds SDL's audio subsystem
    SDL_mutex* mutex = nullptr;
    int outputSampleRate = 44100;
    std::atomic<int> masterGain{kOne / 2};
    Source* head = nullptr; // sources being mixed, in list order
    Source* tail = nullptr;
    int32_t accumulator[kSliceSamples] = {};
};

Mixer& TheMixer();

// Holds the mixer mutex for a scope; does nothing while the mixer is closed (no audio thread
// can be running then).
class MixerLock
{
public:
    MixerLock() : mutex(TheMixer().mutex)
    {
        if (mutex)
            SDL_LockMutex(mutex);
    }
    ~MixerLock()
    {
        if (mutex)
            SDL_UnlockMutex(mutex);
    }
    MixerLock(const MixerLock&) = delete;
    MixerLock& operator=(const MixerLock&) = delete;

private:
    SDL_mutex* mutex;
};

} // namespace cmixer::detail
