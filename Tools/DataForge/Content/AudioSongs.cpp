// The six songs, composed by the generator: each has a style (tempo, key, mode, chord progression,
// instruments, drum groove) and a seed; melodies grow from a two-bar motif that is repeated,
// answered and varied over eight-bar sections. Bass, pad, arpeggio, lead and drums are rendered
// note by note and mixed in stereo. Looping songs fold their ringing tail onto the start so the loop
// point is seamless; the win song ends on a held chord.

#include "DataForge/Content/Audio.h"
#include "DataForge/Content/AudioSynth.h"

#include <algorithm>
#include <cmath>
#include <stdexcept>
#include <string>

namespace {

constexpr int R = kSongRate;

const int kMajor[7] = {0, 2, 4, 5, 7, 9, 11};
const int kMinor[7] = {0, 2, 3, 5, 7, 8, 10};
const int kDorian[7] = {0, 2, 3, 5, 7, 9, 10};
const int kPhrygianDominant[7] = {0, 1, 4, 5, 7, 8, 10};

enum Groove
{
    kGrooveNone,     // no drums
    kGrooveShaker,   // soft off-beat shaker only
    kGrooveStraight, // kick on 1 and 3, snare on 2 and 4, eighth hats
    kGrooveDriving,  // four on the floor, off-beat open hats
    kGrooveHalfTime, // kick on 1, snare on 3, swung hats
};

struct SongStyle
{
    const char* file;
    float bpm;
    int root; // MIDI note of the key
    const int* scale;
    int progression[8]; // scale degree of each bar's chord, repeated
    int bridge[8];      // the progression of the contrasting section
    const char* form;   // sections of eight bars: A main, B answer, C bridge, I quiet intro
    Wave lead;
    Wave pad;
    Groove groove;
    bool arpeggio;
    bool loops;
    uint32_t seed;
};

const SongStyle kStyles[kSongCount] = {
    // Theme: heroic and bright.
    {"theme.mp3",
     112,
     55,
     kMajor,
     {0, 4, 5, 3, 0, 4, 3, 4},
     {5, 3, 0, 4, 5, 3, 1, 4},
     "IACA",
     Wave::kSquare,
     Wave::kSaw,
     kGrooveStraight,
     true,
     true,
     101},
    // Intro story: gentle, a music-box lead over soft pads.
    {"introsong.mp3",
     84,
     57,
     kMinor,
     {0, 5, 2, 6, 0, 5, 3, 4},
     {3, 0, 5, 4, 3, 0, 1, 4},
     "IAB",
     Wave::kTriangle,
     Wave::kTriangle,
     kGrooveShaker,
     true,
     true,
     202},
    // Forest: brisk adventure in dorian.
    {"level1song.mp3",
     124,
     50,
     kDorian,
     {0, 3, 0, 3, 6, 3, 4, 0},
     {2, 3, 4, 3, 2, 3, 6, 4},
     "IABCA",
     Wave::kSquare,
     Wave::kSaw,
     kGrooveDriving,
     true,
     true,
     303},
    // Desert: a dry, exotic mode and a rolling half-time groove.
    {"level2song.mp3",
     100,
     52,
     kPhrygianDominant,
     {0, 1, 0, 6, 0, 1, 5, 0},
     {3, 1, 0, 6, 3, 5, 1, 0},
     "IACA",
     Wave::kSaw,
     Wave::kTriangle,
     kGrooveHalfTime,
     false,
     true,
     404},
    // Swamp: murky minor, slow and heavy.
    {"level3song.mp3",
     96,
     45,
     kMinor,
     {0, 0, 5, 5, 3, 3, 4, 4},
     {5, 3, 0, 4, 5, 6, 4, 4},
     "IABA",
     Wave::kTriangle,
     Wave::kSaw,
     kGrooveStraight,
     true,
     true,
     505},
    // Win: triumphant, ends on the tonic.
    {"winsong.mp3",
     126,
     60,
     kMajor,
     {0, 3, 4, 0, 5, 3, 4, 4},
     {3, 4, 5, 5, 3, 4, 4, 4},
     "IABA",
     Wave::kSquare,
     Wave::kSaw,
     kGrooveDriving,
     true,
     false,
     606},
};

float NoteHz(float midi)
{
    return 440.0f * std::exp2((midi - 69.0f) / 12.0f);
}

int DegreeToMidi(const SongStyle& style, int degree)
{
    int octave = degree >= 0 ? degree / 7 : -((6 - degree) / 7);
    int inOctave = degree - octave * 7;
    return style.root + 12 * octave + style.scale[inOctave];
}

struct StereoMix
{
    AudioBuffer left, right;
    void Add(const AudioBuffer& part, float gain, float pan) // pan -1 .. 1, equal power
    {
        float angle = (pan + 1.0f) * 0.25f * 3.14159265f;
        float l = gain * std::cos(angle), r = gain * std::sin(angle);
        for (size_t i = 0; i < part.size() && i < left.size(); i++) {
            left[i] += part[i] * l;
            right[i] += part[i] * r;
        }
    }
};

// Rhythms of one bar in eighth notes.
const int kRhythms[][5] = {
    {2, 2, 2, 2, 0}, {3, 1, 2, 2, 0}, {1, 1, 2, 4, 0}, {2, 1, 1, 4, 0},
    {4, 2, 2, 0, 0}, {3, 3, 2, 0, 0}, {2, 2, 4, 0, 0}, {1, 1, 1, 1, 4},
};

struct Note
{
    float startBeat;
    float beats;
    int degree;
};

// A two-bar motif: rhythms and steps in scale degrees from the first note.
struct Motif
{
    int rhythm[2];
    int steps[10];
};

Motif MakeMotif(SynthRandom* random)
{
    Motif motif;
    motif.rhythm[0] = random->Below(8);
    motif.rhythm[1] = random->Below(8);
    const int stepChoices[] = {-2, -1, -1, 1, 1, 2, 0, 3, -3};
    for (int& step : motif.steps)
        step = stepChoices[random->Below(9)];
    return motif;
}

// Plays a motif over two bars from `startDegree`. An ending phrase closes on a long `closingDegree`
// (the root of the next chord) instead of its second bar. The lead stays within an octave and a half.
void PlayMotif(const Motif& motif, float startBeat, int startDegree, int closingDegree, bool ending,
               std::vector<Note>* notes)
{
    int degree = std::clamp(startDegree, 4, 14);
    int stepIndex = 0;
    for (int bar = 0; bar < 2; bar++) {
        if (ending && bar == 1) {
            notes->push_back({startBeat + 4, 3.5f, std::clamp(closingDegree, 4, 14)});
            return;
        }
        float beat = startBeat + 4.0f * float(bar);
        for (int length : kRhythms[motif.rhythm[bar]]) {
            if (!length)
                break;
            notes->push_back({beat, float(length) * 0.5f * 0.92f, degree});
            beat += float(length) * 0.5f;
            degree = std::clamp(degree + motif.steps[stepIndex++ % 10], 4, 14);
        }
    }
}

void RenderNotes(const std::vector<Note>& notes, const SongStyle& style, float secondsPerBeat, int octave,
                 const ToneSpec& voice, AudioBuffer* out)
{
    for (const Note& note : notes) {
        ToneSpec spec = voice;
        spec.startHz = spec.endHz = NoteHz(float(DegreeToMidi(style, note.degree) + 12 * octave));
        AddTone(out, R, note.startBeat * secondsPerBeat, note.beats * secondsPerBeat + 0.05f, spec);
    }
}

void Drum(AudioBuffer* out, float at, int kind, uint32_t seed)
{
    NoiseSpec noise;
    switch (kind) {
    case 0: { // kick
        ToneSpec kick;
        kick.startHz = 140;
        kick.endHz = 42;
        kick.amplitude = 0.9f;
        kick.attack = 0.001f;
        kick.decay = 0.11f;
        AddTone(out, R, at, 0.35f, kick);
        noise.filter = FilterKind::kLowPass;
        noise.startHz = noise.endHz = 3000;
        noise.amplitude = 0.3f;
        noise.decay = 0.004f;
        noise.seed = seed;
        AddNoise(out, R, at, 0.02f, noise);
        break;
    }
    case 1: { // snare
        ToneSpec body;
        body.startHz = 200;
        body.endHz = 160;
        body.amplitude = 0.35f;
        body.attack = 0.001f;
        body.decay = 0.05f;
        AddTone(out, R, at, 0.2f, body);
        noise.filter = FilterKind::kBandPass;
        noise.startHz = 2500;
        noise.endHz = 1500;
        noise.amplitude = 0.9f;
        noise.decay = 0.08f;
        noise.seed = seed;
        AddNoise(out, R, at, 0.25f, noise);
        break;
    }
    default: { // hat (2 closed, 3 open, 4 shaker)
        noise.filter = kind == 4 ? FilterKind::kBandPass : FilterKind::kHighPass;
        noise.startHz = noise.endHz = kind == 4 ? 5000 : 7000;
        noise.amplitude = kind == 4 ? 0.4f : 0.2f;
        noise.attack = kind == 4 ? 0.01f : 0.0005f;
        noise.decay = kind == 3 ? 0.09f : 0.025f;
        noise.seed = seed;
        AddNoise(out, R, at, kind == 3 ? 0.3f : 0.1f, noise);
        break;
    }
    }
}

void RenderDrums(Groove groove, int bars, float secondsPerBeat, bool quiet, AudioBuffer* out)
{
    uint32_t seed = 900;
    for (int bar = 0; bar < bars; bar++) {
        for (int eighth = 0; eighth < 8; eighth++) {
            float at = (float(bar) * 4 + float(eighth) * 0.5f) * secondsPerBeat;
            const bool onBeat = eighth % 2 == 0;
            const int beat = eighth / 2;
            seed++;
            switch (groove) {
            case kGrooveNone:
                break;
            case kGrooveShaker:
                if (!onBeat)
                    Drum(out, at, 4, seed);
                break;
            case kGrooveStraight:
                if (!quiet && eighth == 0)
                    Drum(out, at, 0, seed);
                if (!quiet && (eighth == 4 || eighth == 5))
                    Drum(out, at, eighth == 4 ? 0 : 2, seed);
                if (!quiet && (beat == 1 || beat == 3) && onBeat)
                    Drum(out, at, 1, seed);
                Drum(out, at, 2, seed);
                break;
            case kGrooveDriving:
                if (!quiet && onBeat)
                    Drum(out, at, 0, seed);
                if (!quiet && (beat == 1 || beat == 3) && onBeat)
                    Drum(out, at, 1, seed);
                Drum(out, at, onBeat ? 2 : 3, seed);
                break;
            case kGrooveHalfTime: {
                if (!quiet && (eighth == 0 || eighth == 3))
                    Drum(out, at, 0, seed);
                if (!quiet && eighth == 4)
                    Drum(out, at, 1, seed);
                float swing = onBeat ? 0 : 0.08f * secondsPerBeat;
                Drum(out, at + swing, 2, seed);
                break;
            }
            }
        }
    }
}

} // namespace

const char* SongFileName(int song)
{
    return kStyles[song].file;
}

PCMSound ComposeSong(int song)
{
    if (song < 0 || song >= kSongCount)
        throw std::out_of_range("ComposeSong: no song " + std::to_string(song));
    const SongStyle& style = kStyles[song];
    const float secondsPerBeat = 60.0f / style.bpm;
    const int sections = int(std::char_traits<char>::length(style.form));
    const int bars = sections * 8;
    const int tailBars = style.loops ? 2 : 3; // rings on past the end; folded back for a loop
    const float loopSeconds = float(bars) * 4 * secondsPerBeat;
    const size_t total = size_t((loopSeconds + float(tailBars) * 4 * secondsPerBeat) * float(R));

    SynthRandom random(style.seed);
    std::vector<Note> melody, chords, bass, arpeggio;
    Motif motifA = MakeMotif(&random), motifB = MakeMotif(&random), motifC = MakeMotif(&random);
    std::vector<bool> quietBars(size_t(bars + tailBars), false);

    // 1. The score, section by section.
    for (int section = 0; section < sections; section++) {
        const char part = style.form[section];
        const int* progression = part == 'C' ? style.bridge : style.progression;
        for (int bar = 0; bar < 8; bar++) {
            const int barIndex = section * 8 + bar;
            const float beat = float(barIndex) * 4;
            const int chord = progression[bar];
            quietBars[size_t(barIndex)] = part == 'I';
            chords.push_back({beat, 4, chord});
            // Bass: root on the beat, the fifth and octave moving it along.
            const int pattern[8] = {0, 0, 7, 0, 4, 0, 7, 4};
            for (int eighth = 0; eighth < 8; eighth++) {
                if (part == 'I' && eighth % 4 != 0)
                    continue;
                int offset = pattern[eighth];
                float length = part == 'I' ? 1.9f : 0.45f;
                bass.push_back({beat + float(eighth) * 0.5f, length,
                                chord - 7 +
                                    (offset == 7   ? 7
                                     : offset == 4 ? 4
                                                   : 0)});
            }
            if (style.arpeggio && part != 'I') {
                const int up[4] = {0, 2, 4, 7};
                for (int sixteenth = 0; sixteenth < 16; sixteenth++)
                    arpeggio.push_back(
                        {beat + float(sixteenth) * 0.25f, 0.22f, chord + up[(sixteenth + bar) % 4]});
            }
            // Melody: motifs in two-bar phrases; the last phrase of a section closes it.
            if (part == 'I' || bar % 2 != 0)
                continue;
            const Motif& motif = part == 'A' ? motifA : part == 'B' ? motifB : motifC;
            int transpose = part == 'B' && bar == 4 ? 2 : 0;
            PlayMotif(motif, beat, chord + 7 + transpose, progression[bar + 1] + 7, bar == 6, &melody);
        }
    }
    if (!style.loops) {
        // The final chord, held over the tail.
        chords.push_back({float(bars) * 4, float(tailBars) * 4 - 1, 0});
        bass.push_back({float(bars) * 4, float(tailBars) * 4 - 1, -7});
        melody.push_back({float(bars) * 4, float(tailBars) * 4 - 1, 7});
    }

    // 2. The instruments.
    AudioBuffer leadPart(total, 0), padPart(total, 0), bassPart(total, 0), arpPart(total, 0),
        drumPart(total, 0);
    ToneSpec lead;
    lead.wave = style.lead;
    lead.amplitude = style.lead == Wave::kTriangle ? 0.5f : 0.22f;
    lead.attack = 0.01f;
    lead.decay = style.lead == Wave::kTriangle ? 0.5f : 1.2f;
    lead.vibratoHz = 5.5f;
    lead.vibratoDepth = 0.12f;
    RenderNotes(melody, style, secondsPerBeat, 0, lead, &leadPart);
    LowPassBuffer(&leadPart, R, 3500);

    ToneSpec pad;
    pad.wave = style.pad;
    pad.amplitude = 0.08f;
    pad.attack = 0.25f;
    for (const Note& chord : chords) {
        for (int tone : {0, 2, 4}) {
            for (float detune : {-0.07f, 0.07f}) {
                pad.startHz = pad.endHz = NoteHz(float(DegreeToMidi(style, chord.degree + tone)) + detune);
                AddTone(&padPart, R, chord.startBeat * secondsPerBeat, chord.beats * secondsPerBeat + 0.1f,
                        pad);
            }
        }
    }
    LowPassBuffer(&padPart, R, 1600);

    ToneSpec bassVoice;
    bassVoice.wave = Wave::kSaw;
    bassVoice.amplitude = 0.45f;
    bassVoice.attack = 0.004f;
    bassVoice.decay = 0.35f;
    RenderNotes(bass, style, secondsPerBeat, 0, bassVoice, &bassPart);
    LowPassBuffer(&bassPart, R, 500);

    ToneSpec arp;
    arp.wave = Wave::kTriangle;
    arp.amplitude = 0.12f;
    arp.attack = 0.002f;
    arp.decay = 0.08f;
    RenderNotes(arpeggio, style, secondsPerBeat, 1, arp, &arpPart);

    RenderDrums(style.groove, bars, secondsPerBeat, false, &drumPart);
    for (int bar = 0; bar < bars; bar++) {
        if (!quietBars[size_t(bar)])
            continue;
        // The quiet intro keeps only a light pulse: silence its drums again.
        size_t from = size_t(float(bar) * 4 * secondsPerBeat * float(R));
        size_t to = std::min(total, size_t(float(bar + 1) * 4 * secondsPerBeat * float(R)));
        for (size_t i = from; i < to; i++)
            drumPart[i] *= style.groove == kGrooveShaker ? 1.0f : 0.25f;
    }

    // 3. Space: echoes on the lead and arpeggio, different on each side.
    AudioBuffer leadRight = leadPart, arpRight = arpPart;
    AddEcho(&leadPart, R, secondsPerBeat * 0.75f, 0.3f);
    AddEcho(&leadRight, R, secondsPerBeat * 1.0f, 0.3f);
    AddEcho(&arpPart, R, secondsPerBeat * 0.5f, 0.25f);
    AddEcho(&arpRight, R, secondsPerBeat * 0.75f, 0.25f);

    StereoMix mix{AudioBuffer(total, 0), AudioBuffer(total, 0)};
    mix.Add(bassPart, 1.0f, 0);
    mix.Add(padPart, 1.0f, -0.3f);
    mix.Add(padPart, 0.8f, 0.4f);
    mix.Add(leadPart, 0.8f, -0.6f);
    mix.Add(leadRight, 0.8f, 0.6f);
    mix.Add(arpPart, 0.7f, -0.8f);
    mix.Add(arpRight, 0.7f, 0.8f);
    mix.Add(drumPart, 0.8f, 0.1f);

    // 4. Loop or ending: a loop folds its tail onto its start; the ending fades its last chord.
    const size_t loopSamples = size_t(loopSeconds * float(R));
    if (style.loops) {
        for (size_t i = loopSamples; i < total; i++) {
            mix.left[i - loopSamples] += mix.left[i];
            mix.right[i - loopSamples] += mix.right[i];
        }
        mix.left.resize(loopSamples);
        mix.right.resize(loopSamples);
    } else {
        FadeEdges(&mix.left, R, 0, 2.0f);
        FadeEdges(&mix.right, R, 0, 2.0f);
    }
    Saturate(&mix.left, 1.2f);
    Saturate(&mix.right, 1.2f);

    // 5. One peak for both sides, below full scale so that the MP3's ringing never clips.
    float peak = 0;
    for (size_t i = 0; i < mix.left.size(); i++)
        peak = std::max({peak, std::fabs(mix.left[i]), std::fabs(mix.right[i])});
    const float gain = peak > 0 ? 0.75f / peak : 1.0f;
    PCMSound sound;
    sound.channels = 2;
    sound.sampleRate = R;
    sound.samples.resize(mix.left.size() * 2);
    for (size_t i = 0; i < mix.left.size(); i++) {
        sound.samples[2 * i] = int16_t(std::lround(mix.left[i] * gain * 32767.0f));
        sound.samples[2 * i + 1] = int16_t(std::lround(mix.right[i] * gain * 32767.0f));
    }
    return sound;
}
