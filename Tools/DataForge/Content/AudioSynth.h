// The sound designer's kit of the audio generator: float buffers at a fixed rate, oscillators with
// gliding pitch, filtered noise with sweeping cutoff, envelopes, saturation, echo and the finishing
// steps (peak level, seamless loops, 16-bit conversion). Everything is deterministic: noise comes
// from a seeded generator, never from the clock.
#pragma once

#include <cstdint>
#include <vector>

using AudioBuffer = std::vector<float>;

class SynthRandom
{
public:
    explicit SynthRandom(uint32_t seed) : state(seed ? seed : 1) {}
    float Signed(); // -1 .. 1
    float Unit();   // 0 .. 1
    int Below(int count);

private:
    uint32_t state;
};

enum class Wave
{
    kSine,
    kTriangle,
    kSaw,
    kSquare,
};

// One oscillator voice added into a buffer: pitch glides exponentially from `startHz` to `endHz`,
// the level rises over `attack` seconds and falls exponentially with time constant `decay` (0: holds
// until a short release at the end). Vibrato is `vibratoDepth` semitones at `vibratoHz`.
struct ToneSpec
{
    Wave wave = Wave::kSine;
    float startHz = 440;
    float endHz = 440;
    float amplitude = 0.5f;
    float attack = 0.005f;
    float decay = 0;
    float vibratoHz = 0;
    float vibratoDepth = 0;
};
void AddTone(AudioBuffer* buffer, int rate, float startSeconds, float seconds, const ToneSpec& spec);

enum class FilterKind
{
    kLowPass,
    kBandPass,
    kHighPass,
};

// Noise through a resonant filter whose cutoff glides exponentially from `startHz` to `endHz`.
struct NoiseSpec
{
    FilterKind filter = FilterKind::kLowPass;
    float startHz = 2000;
    float endHz = 2000;
    float resonance = 0.7f; // filter Q
    float amplitude = 0.5f;
    float attack = 0.002f;
    float decay = 0; // as for tones
    uint32_t seed = 1;
};
void AddNoise(AudioBuffer* buffer, int rate, float startSeconds, float seconds, const NoiseSpec& spec);

// A state-variable filter (12 dB per octave), one sample at a time.
class StateVariableFilter
{
public:
    void Set(float cutoffHz, float resonance, int rate);
    float LowPass(float input);
    float BandPass(float input);
    float HighPass(float input);

private:
    void Step(float input);
    float f = 0.1f, damping = 1.0f;
    float low = 0, band = 0, high = 0;
};

// Whole-buffer processing.
void LowPassBuffer(AudioBuffer* buffer, int rate, float cutoffHz);
void HighPassBuffer(AudioBuffer* buffer, int rate, float cutoffHz);
void Saturate(AudioBuffer* buffer, float drive);                                 // soft clipping, tanh
void AddEcho(AudioBuffer* buffer, int rate, float delaySeconds, float feedback); // in place, tail kept inside
void FadeEdges(AudioBuffer* buffer, int rate, float inSeconds, float outSeconds);
void ScaleToPeak(AudioBuffer* buffer, float peak); // largest magnitude becomes `peak`
// Folds the last `crossfadeSeconds` onto the start so that the buffer repeats without a click; the
// buffer gets that much shorter.
void MakeSeamlessLoop(AudioBuffer* buffer, int rate, float crossfadeSeconds);

// Rounded and clamped to 16 bits.
std::vector<int16_t> ToPCM16(const AudioBuffer& buffer);

// Statistics the checker and the tools report.
struct SoundStats
{
    float peak;         // largest magnitude, full scale 1
    float rms;          // root mean square, full scale 1
    int clippedSamples; // samples at or beyond full scale
};
SoundStats MeasureSound(const std::vector<int16_t>& samples);
