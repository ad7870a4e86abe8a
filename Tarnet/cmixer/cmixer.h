// The software mixer behind the one audio output device. Every voice is a Source over a block of
// PCM in memory (a WavStream); the device callback mixes the playing sources on SDL's audio thread
// in fixed point with 12 fraction bits (4096 = 1.0), 512 output samples (256 stereo frames) at a
// time under the mixer mutex. The game thread starts, resets and destroys sources under the same
// mutex and writes single parameters (gain, pan, pitch, loop, pause, stop) without it; those are
// atomics that the audio thread picks up at its next slice. The callback allocates nothing.
#pragma once

#include <atomic>
#include <cstddef>
#include <cstdint>
#include <functional>
#include <span>
#include <vector>

namespace cmixer {

inline constexpr int kFractionBits = 12;
inline constexpr int kOne = 1 << kFractionBits;
inline constexpr int kSliceSamples = 512; // output samples mixed per lock of the mutex
inline constexpr int kRingSamples = 512;  // 256 interleaved stereo frames per source
inline constexpr int kFillSamples = 256;  // 128 frames fetched from the stream at a time

// Device and mixer state. OpenDevice opens the default output (44.1 kHz stereo 16-bit asked;
// only the rate may differ) and throws std::runtime_error when it cannot ("SDL audio subsystem
// already inited" when it is open already). OpenWithoutDevice sets up the mixer with no audio
// thread: `driven` true lets the caller (tests, tools) call MixOutput itself; false is the silent
// mode of a machine without sound, where sources never start. CloseDevice undoes either.
void OpenDevice();
void OpenWithoutDevice(int outputSampleRate, bool driven);
void CloseDevice();
bool IsOpen();
bool HasDevice(); // an audio thread is consuming the mix

int OutputSampleRate();
void SetMasterGain(double gain); // max(0, gain) * 4096, truncated
double GetMasterGain();

// The device callback's body: fills `samples` interleaved stereo 16-bit values.
void MixOutput(int16_t* samples, int count);

enum State : int
{
    kStopped = 0,
    kPlaying = 1,
    kPaused = 2,
};

// The mixing state of one voice. Destroying a source removes it from the mixer under the mutex,
// so a source may be destroyed while the audio thread is mixing.
class Source
{
public:
    Source();
    virtual ~Source();
    Source(const Source&) = delete;
    Source& operator=(const Source&) = delete;

    void Play();        // nothing for a source of length 0; else playing and in the mix
    void Pause();       // paused; resumes where it was
    void TogglePause(); // paused (with data) -> play; playing -> pause
    void Stop();        // stopped; the next play starts from the beginning

    void SetGain(double gain);
    void SetPan(double pan);     // -1 left .. +1 right, clamped
    void SetPitch(double pitch); // playback speed factor; 0 or less nearly freezes the voice
    void SetLoop(bool loop);
    void SetInterpolation(bool interpolate);
    void SetLoopStart(int frame);              // where a looping pass resumes; ignored outside the data
    void SetCompletion(std::function<void()>); // set while the source is stopped; runs on the audio thread

    State GetState() const { return State(state.load(std::memory_order_relaxed)); }
    bool IsLooping() const { return loop.load(std::memory_order_relaxed); }
    bool IsInterpolating() const { return interpolate.load(std::memory_order_relaxed); }
    double GetGain() const { return gain; }
    double GetPan() const { return pan; }
    int GetStep() const { return step.load(std::memory_order_relaxed); }
    int GetLeftGain() const { return leftGain.load(std::memory_order_relaxed); }
    int GetRightGain() const { return rightGain.load(std::memory_order_relaxed); }
    int GetLengthFrames() const { return length; }
    int GetSampleRate() const { return sampleRate; }
    int GetLoopStart() const { return loopStart; }
    double GetLength() const;   // seconds in one pass
    double GetPosition() const; // seconds into the current pass

    // Stops the source and empties it under the mutex (the Sound Manager's stop-and-clear).
    void ResetAndClear();

protected:
    // The stream beneath the source. Called on the audio thread under the mutex, or on the game
    // thread while the source is out of the mix.
    virtual void Rewind() = 0;
    virtual void Clear() = 0;
    virtual void Fill(int16_t* destination, int samples) = 0;

    // Resets every mixing field to its idle value; the caller holds the mutex.
    void ResetLocked();
    // Sets the source up for new data; the caller holds the mutex.
    void BeginStreamLocked(int sampleRate, int lengthFrames);
    // Takes the source out of the mixer under the mutex; every derived destructor calls it first,
    // so that the audio thread never fills from a half-destroyed stream.
    void Detach();

private:
    friend void MixOutput(int16_t* samples, int count);
    friend void CloseDevice();
    void MixInto(int32_t* accumulator, int samples);
    void LinkLocked();   // appends to the mixer's list
    void UnlinkLocked(); // leaves the list if in it
    void RecomputeChannelGains();
    void UpdateStep();

    int16_t ring[kRingSamples] = {};
    int sampleRate = 0;
    int length = 0;
    int loopStart = 0;
    int64_t playEnd = 0;
    std::atomic<int> state{kStopped};
    int64_t position = 0;
    std::atomic<int> leftGain{0};
    std::atomic<int> rightGain{0};
    std::atomic<int> step{0};
    int64_t fillMark = 0;
    std::atomic<bool> loop{false};
    std::atomic<bool> rewindPending{true};
    bool active = false;
    std::atomic<bool> interpolate{false};
    double gain = 0;
    double pan = 0;
    double pitch = 1.0;
    std::function<void()> completion;

    // Links of the mixer's source list; valid while `active`.
    Source* previous = nullptr;
    Source* next = nullptr;
};

// A source over PCM in memory: 8-bit (unsigned, or signed when asked) or 16-bit (host order or
// big-endian), mono or stereo. The data is either the caller's (it must outlive the playback) or
// the stream's own buffer from GetBuffer.
class WavStream : public Source
{
public:
    WavStream() = default;
    ~WavStream() override;

    // Stops the source and points it at new data. Bits other than 8 and 16, channel counts other
    // than 1 and 2 and sample rates below 1 throw std::invalid_argument.
    void Init(int sampleRate, int bitsPerSample, int channels, bool bigEndian, std::span<const uint8_t> data,
              bool signedBytes = false);

    // Stops the source and gives it an owned buffer of `bytes` bytes to decode or copy into,
    // before Init points the stream at it.
    std::span<uint8_t> GetBuffer(size_t bytes);

protected:
    void Rewind() override;
    void Clear() override;
    void Fill(int16_t* destination, int samples) override;

private:
    int bitsPerSample = 16;
    int channels = 1;
    bool bigEndian = false;
    bool signedBytes = false;
    int readIndex = 0;
    std::span<const uint8_t> data;
    std::vector<uint8_t> owned;
};

} // namespace cmixer
