// The synthesis kit. Filters are Chamberlin state-variable filters, retuned every 16 samples while
// a cutoff glides; envelopes are linear attacks and exponential decays.

#include "DataForge/Content/AudioSynth.h"

#include <algorithm>
#include <cmath>

static constexpr float kTwoPi = 6.28318530718f;

float SynthRandom::Signed()
{
    return Unit() * 2.0f - 1.0f;
}

float SynthRandom::Unit()
{
    // xorshift32: cheap, and the same sequence on every machine.
    state ^= state << 13;
    state ^= state >> 17;
    state ^= state << 5;
    return float(state >> 8) / float(1 << 24);
}

int SynthRandom::Below(int count)
{
    return std::min(count - 1, int(Unit() * float(count)));
}

static float WaveAt(Wave wave, float phase) // phase in [0, 1)
{
    switch (wave) {
    case Wave::kSine:
        return std::sin(kTwoPi * phase);
    case Wave::kTriangle:
        return phase < 0.5f ? 4.0f * phase - 1.0f : 3.0f - 4.0f * phase;
    case Wave::kSaw:
        return 2.0f * phase - 1.0f;
    case Wave::kSquare:
        return phase < 0.5f ? 1.0f : -1.0f;
    }
    return 0;
}

// Level at time t of a note `seconds` long: linear attack, exponential decay or a hold with a short
// release so that the note never ends on a step.
static float EnvelopeAt(float t, float seconds, float attack, float decay)
{
    float level = attack > 0 && t < attack ? t / attack : 1.0f;
    if (decay > 0)
        level *= std::exp(-(t - std::min(t, attack)) / decay);
    const float release = std::min(0.01f, seconds * 0.5f);
    if (t > seconds - release)
        level *= std::max(0.0f, (seconds - t) / release);
    return level;
}

static void SampleRange(const AudioBuffer* buffer, int rate, float startSeconds, float seconds, int* first,
                        int* count)
{
    *first = std::max(0, int(startSeconds * float(rate)));
    int last = std::min(int(buffer->size()), int((startSeconds + seconds) * float(rate)));
    *count = std::max(0, last - *first);
}

void AddTone(AudioBuffer* buffer, int rate, float startSeconds, float seconds, const ToneSpec& spec)
{
    int first, count;
    SampleRange(buffer, rate, startSeconds, seconds, &first, &count);
    const float glide = std::log(spec.endHz / spec.startHz);
    float phase = 0;
    for (int i = 0; i < count; i++) {
        float t = float(i) / float(rate);
        float hz = glide == 0 ? spec.startHz : spec.startHz * std::exp(glide * t / seconds);
        if (spec.vibratoDepth > 0)
            hz *= std::exp2(spec.vibratoDepth / 12.0f * std::sin(kTwoPi * spec.vibratoHz * t));
        (*buffer)[size_t(first + i)] +=
            WaveAt(spec.wave, phase) * spec.amplitude * EnvelopeAt(t, seconds, spec.attack, spec.decay);
        phase += hz / float(rate);
        phase -= std::floor(phase);
    }
}

void StateVariableFilter::Set(float cutoffHz, float resonance, int rate)
{
    // Stable up to about a sixth of the rate; higher cutoffs are held there.
    float limited = std::min(cutoffHz, float(rate) / 6.0f);
    f = 2.0f * std::sin(3.14159265f * limited / float(rate));
    damping = 1.0f / std::max(0.5f, resonance);
}

void StateVariableFilter::Step(float input)
{
    low += f * band;
    high = input - low - damping * band;
    band += f * high;
}

float StateVariableFilter::LowPass(float input)
{
    Step(input);
    return low;
}

float StateVariableFilter::BandPass(float input)
{
    Step(input);
    return band;
}

float StateVariableFilter::HighPass(float input)
{
    Step(input);
    return high;
}

void AddNoise(AudioBuffer* buffer, int rate, float startSeconds, float seconds, const NoiseSpec& spec)
{
    int first, count;
    SampleRange(buffer, rate, startSeconds, seconds, &first, &count);
    SynthRandom random(spec.seed);
    StateVariableFilter filter;
    const float glide = std::log(spec.endHz / spec.startHz);
    for (int i = 0; i < count; i++) {
        float t = float(i) / float(rate);
        if (i % 16 == 0)
            filter.Set(spec.startHz * std::exp(glide * t / seconds), spec.resonance, rate);
        float input = random.Signed();
        float output = spec.filter == FilterKind::kLowPass    ? filter.LowPass(input)
                       : spec.filter == FilterKind::kBandPass ? filter.BandPass(input)
                                                              : filter.HighPass(input);
        (*buffer)[size_t(first + i)] +=
            output * spec.amplitude * EnvelopeAt(t, seconds, spec.attack, spec.decay);
    }
}

void LowPassBuffer(AudioBuffer* buffer, int rate, float cutoffHz)
{
    StateVariableFilter filter;
    filter.Set(cutoffHz, 0.707f, rate);
    for (float& sample : *buffer)
        sample = filter.LowPass(sample);
}

void HighPassBuffer(AudioBuffer* buffer, int rate, float cutoffHz)
{
    StateVariableFilter filter;
    filter.Set(cutoffHz, 0.707f, rate);
    for (float& sample : *buffer)
        sample = filter.HighPass(sample);
}

void Saturate(AudioBuffer* buffer, float drive)
{
    const float norm = 1.0f / std::tanh(drive);
    for (float& sample : *buffer)
        sample = std::tanh(sample * drive) * norm;
}

void AddEcho(AudioBuffer* buffer, int rate, float delaySeconds, float feedback)
{
    const size_t delay = size_t(std::max(1.0f, delaySeconds * float(rate)));
    for (size_t i = delay; i < buffer->size(); i++)
        (*buffer)[i] += (*buffer)[i - delay] * feedback;
}

void FadeEdges(AudioBuffer* buffer, int rate, float inSeconds, float outSeconds)
{
    const size_t size = buffer->size();
    const size_t in = std::min(size, size_t(inSeconds * float(rate)));
    const size_t out = std::min(size, size_t(outSeconds * float(rate)));
    for (size_t i = 0; i < in; i++)
        (*buffer)[i] *= float(i) / float(in);
    for (size_t i = 0; i < out; i++)
        (*buffer)[size - 1 - i] *= float(i) / float(out);
}

void ScaleToPeak(AudioBuffer* buffer, float peak)
{
    float largest = 0;
    for (float sample : *buffer)
        largest = std::max(largest, std::fabs(sample));
    if (largest <= 0)
        return;
    const float gain = peak / largest;
    for (float& sample : *buffer)
        sample *= gain;
}

void MakeSeamlessLoop(AudioBuffer* buffer, int rate, float crossfadeSeconds)
{
    const size_t fade = std::min(buffer->size() / 2, size_t(crossfadeSeconds * float(rate)));
    const size_t keep = buffer->size() - fade;
    // Equal-power crossfade: the tail fades out over the head as the head fades in.
    for (size_t i = 0; i < fade; i++) {
        float x = float(i) / float(fade);
        float in = std::sin(x * 1.5707963f), out = std::cos(x * 1.5707963f);
        (*buffer)[i] = (*buffer)[i] * in + (*buffer)[keep + i] * out;
    }
    buffer->resize(keep);
}

std::vector<int16_t> ToPCM16(const AudioBuffer& buffer)
{
    std::vector<int16_t> samples(buffer.size());
    for (size_t i = 0; i < buffer.size(); i++)
        samples[i] = int16_t(std::clamp(std::lround(buffer[i] * 32767.0f), -32767L, 32767L));
    return samples;
}

SoundStats MeasureSound(const std::vector<int16_t>& samples)
{
    SoundStats stats = {0, 0, 0};
    double sumSquares = 0;
    for (int16_t sample : samples) {
        float value = float(sample) / 32768.0f;
        stats.peak = std::max(stats.peak, std::fabs(value));
        sumSquares += double(value) * double(value);
        if (sample >= 32767 || sample <= -32767)
            stats.clippedSamples++;
    }
    stats.rms = samples.empty() ? 0 : float(std::sqrt(sumSquares / double(samples.size())));
    return stats;
}
