// The narration of the intro story: each slide's story text spoken by eSpeak NG, warmed and given
// a little room, over a quiet music-box bed (bell tones on a pentatonic tune) that starts a moment
// before the voice and rings out after it.

#include "DataForge/Content/Audio.h"
#include "DataForge/Content/AudioSynth.h"
#include "DataForge/Content/StringTable.h"

#include <espeak-ng/speak_lib.h>

#include <cmath>
#include <stdexcept>
#include <string>

namespace {

std::vector<int16_t>* gSpokenSamples = nullptr; // where the speech callback collects

int CollectSpeech(short* samples, int count, espeak_EVENT*)
{
    if (samples && count > 0)
        gSpokenSamples->insert(gSpokenSamples->end(), samples, samples + count);
    return 0; // go on
}

// The speech engine, started once; its output rate.
int StartSpeech()
{
    static int rate = 0;
    if (rate > 0)
        return rate;
    rate = espeak_Initialize(AUDIO_OUTPUT_SYNCHRONOUS, 0, nullptr, espeakINITIALIZE_DONT_EXIT);
    if (rate <= 0)
        throw std::runtime_error(
            "narration: the speech engine cannot start (are eSpeak NG's voices installed?)");
    espeak_SetSynthCallback(CollectSpeech);
    if (espeak_SetVoiceByName("en") != EE_OK)
        throw std::runtime_error("narration: the speech engine has no English voice");
    // A calm storyteller: slower than conversation, a little low, with a lively intonation.
    espeak_SetParameter(espeakRATE, 135, 0);
    espeak_SetParameter(espeakPITCH, 42, 0);
    espeak_SetParameter(espeakRANGE, 70, 0);
    return rate;
}

AudioBuffer Speak(const std::string& text, int* rate)
{
    *rate = StartSpeech();
    std::vector<int16_t> samples;
    gSpokenSamples = &samples;
    espeak_ERROR error =
        espeak_Synth(text.c_str(), text.size() + 1, 0, POS_CHARACTER, 0, espeakCHARS_UTF8, nullptr, nullptr);
    if (error == EE_OK)
        error = espeak_Synchronize();
    gSpokenSamples = nullptr;
    if (error != EE_OK || samples.empty())
        throw std::runtime_error("narration: the speech engine could not speak \"" + text + "\"");
    AudioBuffer voice(samples.size());
    for (size_t i = 0; i < samples.size(); i++)
        voice[i] = float(samples[i]) / 32768.0f;
    return voice;
}

// One music-box note: a bright sine with a faint octave and an inharmonic tine partial that dies fast.
void MusicBoxNote(AudioBuffer* bed, int rate, float at, float midi, float amplitude)
{
    float hz = 440.0f * std::exp2((midi - 69.0f) / 12.0f);
    ToneSpec tone;
    tone.startHz = tone.endHz = hz;
    tone.amplitude = amplitude;
    tone.attack = 0.002f;
    tone.decay = 0.7f;
    AddTone(bed, rate, at, 2.5f, tone);
    tone.startHz = tone.endHz = hz * 2;
    tone.amplitude = amplitude * 0.3f;
    tone.decay = 0.35f;
    AddTone(bed, rate, at, 1.5f, tone);
    tone.startHz = tone.endHz = hz * 5.4f;
    tone.amplitude = amplitude * 0.15f;
    tone.decay = 0.05f;
    AddTone(bed, rate, at, 0.3f, tone);
}

} // namespace

PCMSound MakeNarration(int line)
{
    if (line < 1 || line > kNarrationLines)
        throw std::out_of_range("MakeNarration: no line " + std::to_string(line));
    const std::string text = StoryNarrationText(line);
    if (text.empty())
        throw std::runtime_error("narration: story slide " + std::to_string(line) + " has no text");

    // 1. The voice, warmed (no rumble, softened top) and given a small room.
    int rate = 0;
    AudioBuffer voice = Speak(text, &rate);
    HighPassBuffer(&voice, rate, 110);
    LowPassBuffer(&voice, rate, 6000);
    AddEcho(&voice, rate, 0.09f, 0.18f);
    ScaleToPeak(&voice, 1.0f);

    // 2. The bed: a slow pentatonic tune in A, one of seven variations, under the whole line.
    const float preRoll = 0.8f, tail = 1.6f;
    const float seconds = preRoll + float(voice.size()) / float(rate) + tail;
    AudioBuffer bed(size_t(seconds * float(rate)), 0.0f);
    const int pentatonic[] = {69, 71, 73, 76, 78, 81, 83, 85};
    SynthRandom random(uint32_t(7000 + line));
    int step = random.Below(4);
    for (float at = 0; at < seconds - 1.0f; at += 0.42f) {
        step = std::max(0, std::min(7, step + random.Below(5) - 2));
        MusicBoxNote(&bed, rate, at, float(pentatonic[step]), 0.12f);
        if (random.Unit() < 0.3f)
            MusicBoxNote(&bed, rate, at, float(pentatonic[step] - 12), 0.07f);
    }
    AddEcho(&bed, rate, 0.21f, 0.3f);

    // 3. Voice over bed, the bed well below it; the whole line fades in and out softly.
    const size_t offset = size_t(preRoll * float(rate));
    for (size_t i = 0; i < voice.size() && offset + i < bed.size(); i++)
        bed[offset + i] = bed[offset + i] * 0.6f + voice[i];
    FadeEdges(&bed, rate, 0.3f, 0.8f);
    ScaleToPeak(&bed, kEffectPeak);

    PCMSound sound;
    sound.channels = 1;
    sound.sampleRate = rate;
    sound.samples = ToPCM16(bed);
    return sound;
}
