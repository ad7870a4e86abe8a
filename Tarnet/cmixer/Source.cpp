// One voice: its controls on the game thread and its mixing on the audio thread.

#include <algorithm>
#include <cmath>

#include "Tarnet/cmixer/MixerLocal.h"

namespace cmixer {

using detail::MixerLock;
using detail::Output;
using detail::TheMixer;

namespace {

// A voice never skips more than 64 source frames per output frame: the ring buffer is refilled
// 128 frames at a time and must stay ahead of the read position. Far beyond any audible pitch.
constexpr int64_t kMaxStep = int64_t(64) << kFractionBits;
constexpr int kFrozenStep = 4;    // pitch 0 or below: a near-frozen voice, not silence
constexpr double kMaxGain = 16.0; // keeps 40 voices' sums far inside 32 bits

int StepFor(int sampleRate, double pitch)
{
    const int outputRate = TheMixer().outputSampleRate;
    if (!(pitch > 0) || sampleRate <= 0)
        return kFrozenStep;
    double step = double(sampleRate) / outputRate * pitch * kOne;
    return int(std::clamp(step, double(kFrozenStep), double(kMaxStep)));
}

} // namespace

Source::Source()
{
    ResetLocked();
}

Source::~Source()
{
    Detach();
}

void Source::Detach()
{
    MixerLock lock;
    UnlinkLocked();
}

void Source::LinkLocked()
{
    detail::Mixer& mixer = TheMixer();
    if (active)
        return;
    previous = mixer.tail;
    next = nullptr;
    if (mixer.tail)
        mixer.tail->next = this;
    else
        mixer.head = this;
    mixer.tail = this;
    active = true;
}

void Source::UnlinkLocked()
{
    if (!active)
        return;
    detail::Mixer& mixer = TheMixer();
    if (previous)
        previous->next = next;
    else
        mixer.head = next;
    if (next)
        next->previous = previous;
    else
        mixer.tail = previous;
    previous = next = nullptr;
    active = false;
}

void Source::ResetLocked()
{
    loop = false;
    rewindPending = true;
    sampleRate = 0;
    length = 0;
    loopStart = 0;
    playEnd = 0;
    state = kStopped;
    position = 0;
    leftGain = 0;
    rightGain = 0;
    step = 0;
    fillMark = 0;
    gain = 0;
    pan = 0;
    pitch = 1.0;
    interpolate = false;
    completion = nullptr;
}

void Source::BeginStreamLocked(int newSampleRate, int lengthFrames)
{
    ResetLocked();
    sampleRate = newSampleRate;
    length = lengthFrames;
    playEnd = lengthFrames;
    SetGain(1.0);
    SetPan(0.0);
    UpdateStep();
}

void Source::ResetAndClear()
{
    MixerLock lock;
    ResetLocked();
    Clear();
}

void Source::Play()
{
    if (length <= 0)
        return;
    const Output output = TheMixer().output;
    if (output != Output::kDevice && output != Output::kDriven)
        return; // no sound on this machine: the voice stays stopped, as if it had played
    MixerLock lock;
    state = kPlaying;
    LinkLocked();
}

void Source::Pause()
{
    state = kPaused;
}

void Source::TogglePause()
{
    if (GetState() == kPaused && length > 0)
        Play();
    else if (GetState() == kPlaying)
        Pause();
}

void Source::Stop()
{
    state = kStopped;
    rewindPending = true;
}

void Source::SetGain(double newGain)
{
    gain = std::isnan(newGain) ? 0.0 : std::clamp(newGain, -kMaxGain, kMaxGain);
    RecomputeChannelGains();
}

void Source::SetPan(double newPan)
{
    pan = std::isnan(newPan) ? 0.0 : std::clamp(newPan, -1.0, 1.0);
    RecomputeChannelGains();
}

void Source::RecomputeChannelGains()
{
    leftGain = int(gain * (pan <= 0 ? 1.0 : 1.0 - pan) * kOne);
    rightGain = int(gain * (pan >= 0 ? 1.0 : 1.0 + pan) * kOne);
}

void Source::SetPitch(double newPitch)
{
    pitch = newPitch;
    UpdateStep();
}

void Source::UpdateStep()
{
    step = StepFor(sampleRate, pitch);
}

void Source::SetLoop(bool newLoop)
{
    loop = newLoop;
}

void Source::SetInterpolation(bool newInterpolate)
{
    interpolate = newInterpolate;
}

void Source::SetLoopStart(int frame)
{
    if (frame >= 0 && frame < length)
        loopStart = frame;
}

void Source::SetCompletion(std::function<void()> action)
{
    MixerLock lock;
    completion = std::move(action);
}

double Source::GetLength() const
{
    return sampleRate > 0 ? double(length) / sampleRate : 0.0;
}

double Source::GetPosition() const
{
    if (sampleRate <= 0 || length <= 0)
        return 0.0;
    return double((position >> kFractionBits) % length) / sampleRate;
}

// Mixes `samples` interleaved stereo samples of this voice into the accumulator. Audio thread,
// mixer mutex held.
void Source::MixInto(int32_t* accumulator, int samples)
{
    // 1. A stop or a new stream asked to start from the beginning.
    if (rewindPending.exchange(false)) {
        Rewind();
        playEnd = length;
        position = 0;
        fillMark = 0;
    }
    if (GetState() != kPlaying)
        return;

    // One read of each parameter per slice: the game thread may change them at any moment.
    const int64_t frameStep = std::max(step.load(std::memory_order_relaxed), kFrozenStep);
    const int32_t left = leftGain.load(std::memory_order_relaxed);
    const int32_t right = rightGain.load(std::memory_order_relaxed);
    const bool looping = loop.load(std::memory_order_relaxed);
    const bool smooth = interpolate.load(std::memory_order_relaxed);

    bool passEnded = false;
    int remaining = samples;
    int32_t* out = accumulator;
    while (remaining > 0) {
        int64_t frame = position >> kFractionBits;

        // 2. Keep the ring buffer ahead of the read position (and of the next frame that
        //    interpolation reads).
        if (frame + 3 >= fillMark) {
            Fill(ring + (fillMark * 2) % kRingSamples, kFillSamples);
            fillMark += kFillSamples / 2;
        }

        // 3. The end of a pass: a looping voice starts another, any other stops here.
        if (frame >= playEnd) {
            playEnd = frame + length;
            if (!looping) {
                passEnded = true;
                break;
            }
        }

        // 4. As many output frames as the ring buffer and the pass allow.
        int64_t available = std::min(fillMark - 2, playEnd) - frame;
        int64_t frames = (available << kFractionBits) / frameStep;
        frames = std::clamp<int64_t>(frames, 1, remaining / 2);
        remaining -= int(frames) * 2;

        // 5. Add them to the accumulator.
        if (frameStep == kOne) {
            for (int64_t i = 0; i < frames; i++) {
                int k = int((frame * 2 + i * 2) % kRingSamples);
                out[0] += (ring[k] * left) >> kFractionBits;
                out[1] += (ring[k + 1] * right) >> kFractionBits;
                out += 2;
            }
            position += frames * kOne;
        } else if (smooth) {
            for (int64_t i = 0; i < frames; i++) {
                int k = int(((position >> kFractionBits) * 2) % kRingSamples);
                int32_t p = int32_t(position & (kOne - 1));
                int32_t a = ring[k];
                int32_t b = ring[(k + 2) % kRingSamples];
                int32_t sampleLeft = a + (((b - a) * p) >> kFractionBits);
                a = ring[k + 1];
                b = ring[(k + 3) % kRingSamples];
                int32_t sampleRight = a + (((b - a) * p) >> kFractionBits);
                out[0] += (sampleLeft * left) >> kFractionBits;
                out[1] += (sampleRight * right) >> kFractionBits;
                out += 2;
                position += frameStep;
            }
        } else {
            for (int64_t i = 0; i < frames; i++) {
                int k = int(((position >> kFractionBits) % (kRingSamples / 2)) * 2);
                out[0] += (ring[k] * left) >> kFractionBits;
                out[1] += (ring[k + 1] * right) >> kFractionBits;
                out += 2;
                position += frameStep;
            }
        }
    }

    // 6. A voice that ran out of data stops and tells whoever waits for it.
    if (passEnded) {
        state = kStopped;
        if (completion)
            completion();
    }
}

} // namespace cmixer
