// The 37 effects of the main bank, each built from layered oscillators and filtered noise. Every
// recipe returns a buffer at kEffectRate; the looping ones are made seamless and carry a sustain loop.

#include "DataForge/Content/Audio.h"
#include "DataForge/Content/AudioSynth.h"

#include <cmath>
#include <stdexcept>
#include <string>

namespace {

constexpr int R = kEffectRate;

AudioBuffer Silence(float seconds)
{
    return AudioBuffer(size_t(seconds * float(R)), 0.0f);
}

ToneSpec Tone(Wave wave, float startHz, float endHz, float amplitude, float attack, float decay)
{
    ToneSpec spec;
    spec.wave = wave;
    spec.startHz = startHz;
    spec.endHz = endHz;
    spec.amplitude = amplitude;
    spec.attack = attack;
    spec.decay = decay;
    return spec;
}

NoiseSpec Noise(FilterKind filter, float startHz, float endHz, float amplitude, float attack, float decay,
                uint32_t seed, float resonance = 0.7f)
{
    NoiseSpec spec;
    spec.filter = filter;
    spec.startHz = startHz;
    spec.endHz = endHz;
    spec.amplitude = amplitude;
    spec.attack = attack;
    spec.decay = decay;
    spec.seed = seed;
    spec.resonance = resonance;
    return spec;
}

// A boom: a falling sine thump, a low rumble and a bright crack that darkens, saturated together.
AudioBuffer Explosion(float seconds, float pitch, uint32_t seed)
{
    AudioBuffer b = Silence(seconds);
    AddTone(&b, R, 0, seconds, Tone(Wave::kSine, 110 * pitch, 32 * pitch, 0.9f, 0.002f, 0.35f));
    AddNoise(&b, R, 0, seconds,
             Noise(FilterKind::kLowPass, 900 * pitch, 80, 1.6f, 0.001f, seconds * 0.35f, seed));
    AddNoise(&b, R, 0, 0.5f, Noise(FilterKind::kLowPass, 6000, 500, 0.8f, 0.0005f, 0.08f, seed + 1));
    for (int debris = 0; debris < 6; debris++) {
        SynthRandom random(seed * 31 + uint32_t(debris));
        float at = 0.15f + random.Unit() * seconds * 0.5f;
        AddNoise(
            &b, R, at, 0.12f,
            Noise(FilterKind::kBandPass, 1500 + 2000 * random.Unit(), 600, 0.25f, 0.001f, 0.03f, seed + 7));
    }
    Saturate(&b, 2.0f);
    return b;
}

// A short laser-like zap: a fast downward sweep with a buzzy edge.
AudioBuffer Zap(float seconds, float fromHz, float toHz, Wave wave, uint32_t seed)
{
    AudioBuffer b = Silence(seconds);
    AddTone(&b, R, 0, seconds, Tone(wave, fromHz, toHz, 0.5f, 0.001f, seconds * 0.4f));
    AddTone(&b, R, 0, seconds, Tone(Wave::kSine, fromHz * 1.5f, toHz * 1.5f, 0.3f, 0.001f, seconds * 0.3f));
    AddNoise(&b, R, 0, seconds * 0.5f, Noise(FilterKind::kHighPass, 4000, 2000, 0.2f, 0.001f, 0.03f, seed));
    return b;
}

// A cry: a voiced saw through formant band-passes, pitch rising then falling, with vibrato and breath.
AudioBuffer CreatureCry(float seconds, float baseHz, float rise, float formant, float roughness,
                        uint32_t seed)
{
    AudioBuffer voice = Silence(seconds);
    ToneSpec up = Tone(Wave::kSaw, baseHz, baseHz * rise, 0.6f, 0.03f, 0);
    up.vibratoHz = 7;
    up.vibratoDepth = 0.6f;
    AddTone(&voice, R, 0, seconds * 0.35f, up);
    ToneSpec down = Tone(Wave::kSaw, baseHz * rise, baseHz * 0.6f, 0.6f, 0.01f, seconds * 0.5f);
    down.vibratoHz = 9;
    down.vibratoDepth = 0.9f;
    AddTone(&voice, R, seconds * 0.33f, seconds * 0.67f, down);
    AudioBuffer b = Silence(seconds);
    StateVariableFilter f1, f2;
    f1.Set(formant, 4, R);
    f2.Set(formant * 2.6f, 5, R);
    for (size_t i = 0; i < b.size(); i++)
        b[i] = f1.BandPass(voice[i]) * 0.9f + f2.BandPass(voice[i]) * 0.5f + voice[i] * 0.1f;
    AddNoise(&b, R, 0, seconds,
             Noise(FilterKind::kBandPass, formant * 1.5f, formant, roughness, 0.02f, seconds * 0.4f, seed));
    Saturate(&b, 1.5f + roughness * 3);
    return b;
}

// Menu blip: two quick sine-triangle notes.
AudioBuffer Blip(float hz1, float hz2, float noteSeconds)
{
    AudioBuffer b = Silence(noteSeconds * 2 + 0.08f);
    AddTone(&b, R, 0, noteSeconds + 0.06f, Tone(Wave::kTriangle, hz1, hz1, 0.5f, 0.002f, noteSeconds * 0.5f));
    AddTone(&b, R, 0, noteSeconds + 0.06f,
            Tone(Wave::kSine, hz1 * 2, hz1 * 2, 0.2f, 0.002f, noteSeconds * 0.3f));
    AddTone(&b, R, noteSeconds, noteSeconds + 0.08f,
            Tone(Wave::kTriangle, hz2, hz2, 0.5f, 0.002f, noteSeconds * 0.6f));
    AddTone(&b, R, noteSeconds, noteSeconds + 0.08f,
            Tone(Wave::kSine, hz2 * 2, hz2 * 2, 0.2f, 0.002f, noteSeconds * 0.4f));
    return b;
}

AudioBuffer ChangeSelect()
{
    AudioBuffer b = Silence(0.09f);
    AddTone(&b, R, 0, 0.09f, Tone(Wave::kTriangle, 1320, 1400, 0.5f, 0.001f, 0.025f));
    AddNoise(&b, R, 0, 0.02f, Noise(FilterKind::kHighPass, 5000, 5000, 0.15f, 0.0005f, 0.005f, 11));
    return b;
}

AudioBuffer GetPow()
{
    // A rising major arpeggio with a shimmer on top.
    AudioBuffer b = Silence(0.7f);
    const float notes[] = {523.25f, 659.26f, 783.99f, 1046.5f};
    for (int i = 0; i < 4; i++) {
        AddTone(&b, R, 0.07f * float(i), 0.5f, Tone(Wave::kSquare, notes[i], notes[i], 0.12f, 0.002f, 0.12f));
        AddTone(&b, R, 0.07f * float(i), 0.6f,
                Tone(Wave::kSine, notes[i] * 2, notes[i] * 2, 0.25f, 0.002f, 0.2f));
    }
    LowPassBuffer(&b, R, 3500);
    AddEcho(&b, R, 0.09f, 0.35f);
    return b;
}

AudioBuffer Splash()
{
    AudioBuffer b = Silence(1.0f);
    AddNoise(&b, R, 0, 1.0f, Noise(FilterKind::kBandPass, 2500, 500, 1.2f, 0.005f, 0.22f, 21, 1.2f));
    AddNoise(&b, R, 0, 0.3f, Noise(FilterKind::kLowPass, 700, 200, 0.8f, 0.002f, 0.08f, 22));
    // Droplets: tiny rising sine chirps scattered after the impact.
    SynthRandom random(23);
    for (int i = 0; i < 14; i++) {
        float at = 0.08f + random.Unit() * 0.6f, hz = 900 + random.Unit() * 1600;
        AddTone(&b, R, at, 0.05f, Tone(Wave::kSine, hz, hz * 1.8f, 0.18f * (1 - at), 0.001f, 0.015f));
    }
    return b;
}

AudioBuffer ImpactSizzle()
{
    AudioBuffer b = Silence(0.8f);
    AddNoise(&b, R, 0, 0.1f, Noise(FilterKind::kLowPass, 3000, 600, 0.9f, 0.0005f, 0.03f, 31));
    NoiseSpec hiss = Noise(FilterKind::kHighPass, 3000, 6000, 0.5f, 0.01f, 0.25f, 32);
    AddNoise(&b, R, 0.02f, 0.78f, hiss);
    // Crackle: sparse clicks.
    SynthRandom random(33);
    for (int i = 0; i < 30; i++) {
        float at = 0.03f + random.Unit() * 0.6f;
        AddNoise(
            &b, R, at, 0.006f,
            Noise(FilterKind::kHighPass, 2500, 2500, 0.5f * (1 - at), 0.0002f, 0.002f, 34 + uint32_t(i)));
    }
    return b;
}

AudioBuffer Shield()
{
    // A metallic ring: inharmonic partials with a slow wobble.
    AudioBuffer b = Silence(0.9f);
    const float partials[] = {420, 1090, 1730, 2570};
    for (int i = 0; i < 4; i++) {
        ToneSpec spec =
            Tone(Wave::kSine, partials[i], partials[i] * 0.97f, 0.35f / float(i + 1), 0.002f, 0.25f);
        spec.vibratoHz = 11;
        spec.vibratoDepth = 0.3f;
        AddTone(&b, R, 0, 0.9f, spec);
    }
    AddNoise(&b, R, 0, 0.15f, Noise(FilterKind::kBandPass, 3000, 1000, 0.6f, 0.001f, 0.04f, 41, 2));
    return b;
}

AudioBuffer PlaneCrash()
{
    AudioBuffer b = Explosion(1.8f, 0.8f, 81);
    // Scraping metal after the hit.
    AddNoise(&b, R, 0.2f, 1.4f, Noise(FilterKind::kBandPass, 1800, 700, 0.5f, 0.05f, 0.5f, 82, 6));
    AddTone(&b, R, 0.25f, 1.2f, Tone(Wave::kSaw, 230, 140, 0.12f, 0.05f, 0.4f));
    return b;
}

AudioBuffer TurretFire()
{
    AudioBuffer b = Silence(0.45f);
    AddTone(&b, R, 0, 0.45f, Tone(Wave::kSquare, 700, 180, 0.35f, 0.001f, 0.08f));
    AddNoise(&b, R, 0, 0.3f, Noise(FilterKind::kLowPass, 5000, 700, 0.7f, 0.0005f, 0.05f, 91));
    AddTone(&b, R, 0, 0.3f, Tone(Wave::kSine, 120, 50, 0.6f, 0.001f, 0.06f));
    Saturate(&b, 1.5f);
    return b;
}

AudioBuffer StunGun()
{
    AudioBuffer b = Zap(0.35f, 2400, 600, Wave::kSaw, 101);
    // Electric buzz riding on the zap.
    AddTone(&b, R, 0, 0.3f, Tone(Wave::kSquare, 90, 70, 0.15f, 0.001f, 0.1f));
    return b;
}

AudioBuffer RocketLaunch()
{
    AudioBuffer b = Silence(1.2f);
    AddNoise(&b, R, 0, 1.2f, Noise(FilterKind::kLowPass, 400, 3500, 0.9f, 0.02f, 0.5f, 111));
    AddNoise(&b, R, 0, 0.15f, Noise(FilterKind::kLowPass, 2500, 400, 0.8f, 0.001f, 0.04f, 112));
    AddTone(&b, R, 0, 1.2f, Tone(Wave::kSaw, 80, 160, 0.15f, 0.02f, 0.5f));
    Saturate(&b, 1.4f);
    return b;
}

AudioBuffer WeaponCharge()
{
    // A rising whine with a pulsing tremolo, building over a second.
    AudioBuffer b = Silence(1.1f);
    ToneSpec whine = Tone(Wave::kSaw, 180, 900, 0.3f, 0.3f, 0);
    whine.vibratoHz = 14;
    whine.vibratoDepth = 0.4f;
    AddTone(&b, R, 0, 1.1f, whine);
    AddTone(&b, R, 0, 1.1f, Tone(Wave::kSine, 360, 1800, 0.3f, 0.4f, 0));
    LowPassBuffer(&b, R, 3000);
    return b;
}

AudioBuffer FlareShoot()
{
    AudioBuffer b = Silence(0.9f);
    AddNoise(&b, R, 0, 0.08f, Noise(FilterKind::kLowPass, 3000, 800, 0.9f, 0.0005f, 0.02f, 131));
    AddNoise(&b, R, 0.02f, 0.88f, Noise(FilterKind::kBandPass, 1200, 4000, 0.6f, 0.02f, 0.3f, 132, 1.5f));
    AddTone(&b, R, 0, 0.5f, Tone(Wave::kSine, 500, 1500, 0.2f, 0.01f, 0.15f));
    return b;
}

AudioBuffer ChangeWeapon()
{
    // A mechanical click-clack.
    AudioBuffer b = Silence(0.25f);
    AddNoise(&b, R, 0, 0.03f, Noise(FilterKind::kBandPass, 3500, 3500, 1.0f, 0.0003f, 0.006f, 141, 3));
    AddTone(&b, R, 0, 0.05f, Tone(Wave::kSine, 900, 700, 0.4f, 0.0005f, 0.012f));
    AddNoise(&b, R, 0.1f, 0.04f, Noise(FilterKind::kBandPass, 2200, 2200, 1.0f, 0.0003f, 0.008f, 142, 3));
    AddTone(&b, R, 0.1f, 0.06f, Tone(Wave::kSine, 600, 450, 0.4f, 0.0005f, 0.015f));
    return b;
}

AudioBuffer SonicScream()
{
    // A screech: detuned saws sweeping down through a resonant band-pass, with rough noise.
    AudioBuffer voice = Silence(1.0f);
    for (int i = 0; i < 3; i++) {
        ToneSpec saw = Tone(Wave::kSaw, 1400 + 37 * float(i), 500 + 11 * float(i), 0.3f, 0.01f, 0.5f);
        saw.vibratoHz = 23 + 4 * float(i);
        saw.vibratoDepth = 0.8f;
        AddTone(&voice, R, 0, 1.0f, saw);
    }
    AddNoise(&voice, R, 0, 1.0f, Noise(FilterKind::kHighPass, 1500, 1500, 0.3f, 0.01f, 0.4f, 151));
    AudioBuffer b = Silence(1.0f);
    StateVariableFilter filter;
    for (size_t i = 0; i < b.size(); i++) {
        if (i % 16 == 0)
            filter.Set(3200.0f * std::exp(-1.2f * float(i) / float(R)), 3, R);
        b[i] = filter.BandPass(voice[i]) + voice[i] * 0.3f;
    }
    Saturate(&b, 3.0f);
    FadeEdges(&b, R, 0.005f, 0.1f);
    return b;
}

AudioBuffer ElectrodeHum()
{
    // Mains-like hum with a crackling arc; seamless loop.
    AudioBuffer b = Silence(2.2f);
    AddTone(&b, R, 0, 2.2f, Tone(Wave::kSaw, 100, 100, 0.3f, 0, 0));
    AddTone(&b, R, 0, 2.2f, Tone(Wave::kSquare, 200, 200, 0.08f, 0, 0));
    LowPassBuffer(&b, R, 1200);
    SynthRandom random(161);
    for (int i = 0; i < 25; i++) {
        float at = random.Unit() * 2.1f;
        AddNoise(&b, R, at, 0.02f,
                 Noise(FilterKind::kHighPass, 3000, 3000, 0.35f, 0.0005f, 0.005f, 162 + uint32_t(i)));
    }
    MakeSeamlessLoop(&b, R, 0.2f);
    return b;
}

AudioBuffer Wormhole()
{
    // A swirling, phasing drone: detuned sines beating against each other and airy noise; loops.
    AudioBuffer b = Silence(3.3f);
    const float tones[] = {110, 110.5f, 164.8f, 221.2f, 330.4f};
    for (int i = 0; i < 5; i++) {
        ToneSpec spec = Tone(Wave::kSine, tones[i], tones[i], 0.22f, 0, 0);
        spec.vibratoHz = 0.3f + 0.2f * float(i);
        spec.vibratoDepth = 0.15f;
        AddTone(&b, R, 0, 3.3f, spec);
    }
    AddNoise(&b, R, 0, 3.3f, Noise(FilterKind::kBandPass, 600, 1800, 0.35f, 0, 0, 171, 3));
    MakeSeamlessLoop(&b, R, 0.3f);
    return b;
}

AudioBuffer WormholeVanish()
{
    AudioBuffer b = Silence(1.5f);
    AddTone(&b, R, 0, 1.5f, Tone(Wave::kSine, 800, 60, 0.5f, 0.01f, 0.5f));
    AddTone(&b, R, 0, 1.5f, Tone(Wave::kTriangle, 1205, 90, 0.25f, 0.01f, 0.4f));
    AddNoise(&b, R, 0, 1.5f, Noise(FilterKind::kBandPass, 4000, 200, 0.6f, 0.01f, 0.45f, 181, 4));
    AddEcho(&b, R, 0.11f, 0.4f);
    return b;
}

AudioBuffer WormholeAppear()
{
    AudioBuffer b = Silence(1.5f);
    AddTone(&b, R, 0, 1.5f, Tone(Wave::kSine, 60, 700, 0.5f, 0.6f, 0));
    AddTone(&b, R, 0, 1.5f, Tone(Wave::kTriangle, 90, 1050, 0.25f, 0.6f, 0));
    AddNoise(&b, R, 0, 1.5f, Noise(FilterKind::kBandPass, 200, 4000, 0.5f, 0.8f, 0, 191, 4));
    FadeEdges(&b, R, 0, 0.25f);
    AddEcho(&b, R, 0.11f, 0.35f);
    return b;
}

AudioBuffer EggIntoWormhole()
{
    // A happy descending swirl with a chime.
    AudioBuffer b = Silence(1.3f);
    AddTone(&b, R, 0, 1.0f, Tone(Wave::kSine, 1600, 200, 0.4f, 0.01f, 0.35f));
    const float chime[] = {1046.5f, 1318.5f, 1568.0f};
    for (int i = 0; i < 3; i++)
        AddTone(&b, R, 0.25f + 0.1f * float(i), 0.9f,
                Tone(Wave::kSine, chime[i], chime[i], 0.25f, 0.002f, 0.25f));
    AddNoise(&b, R, 0, 1.0f, Noise(FilterKind::kBandPass, 3000, 300, 0.3f, 0.01f, 0.3f, 201, 3));
    AddEcho(&b, R, 0.12f, 0.3f);
    return b;
}

AudioBuffer BodyHit()
{
    AudioBuffer b = Silence(0.5f);
    AddTone(&b, R, 0, 0.4f, Tone(Wave::kSine, 160, 45, 1.0f, 0.001f, 0.09f));
    AddNoise(&b, R, 0, 0.15f, Noise(FilterKind::kLowPass, 2500, 300, 0.8f, 0.0005f, 0.03f, 211));
    Saturate(&b, 2.5f);
    // A pained grunt on top.
    AudioBuffer grunt = CreatureCry(0.35f, 180, 1.2f, 700, 0.2f, 212);
    for (size_t i = 0; i < grunt.size() && i + 1000 < b.size(); i++)
        b[i + 1000] += grunt[i] * 0.4f;
    return b;
}

AudioBuffer LaunchMissile()
{
    AudioBuffer b = Silence(0.8f);
    AddNoise(&b, R, 0, 0.1f, Noise(FilterKind::kLowPass, 4000, 800, 1.0f, 0.0005f, 0.03f, 221));
    AddNoise(&b, R, 0.02f, 0.78f, Noise(FilterKind::kBandPass, 700, 2500, 0.7f, 0.01f, 0.25f, 222, 1.2f));
    AddTone(&b, R, 0, 0.7f, Tone(Wave::kSaw, 150, 400, 0.15f, 0.01f, 0.2f));
    return b;
}

AudioBuffer GrabEgg()
{
    // A warm pop and a rising two-note chirp.
    AudioBuffer b = Silence(0.4f);
    AddTone(&b, R, 0, 0.08f, Tone(Wave::kSine, 300, 900, 0.6f, 0.001f, 0.03f));
    AddTone(&b, R, 0.07f, 0.15f, Tone(Wave::kTriangle, 784, 784, 0.4f, 0.002f, 0.06f));
    AddTone(&b, R, 0.15f, 0.25f, Tone(Wave::kTriangle, 1175, 1175, 0.4f, 0.002f, 0.09f));
    return b;
}

AudioBuffer JetpackHum()
{
    // A steady jet roar: low rumble noise, a throbbing low saw, a whistling band; seamless loop.
    AudioBuffer b = Silence(2.2f);
    AddNoise(&b, R, 0, 2.2f, Noise(FilterKind::kLowPass, 500, 500, 0.9f, 0, 0, 241));
    AddNoise(&b, R, 0, 2.2f, Noise(FilterKind::kBandPass, 1800, 1800, 0.25f, 0, 0, 242, 4));
    ToneSpec throb = Tone(Wave::kSaw, 55, 55, 0.2f, 0, 0);
    throb.vibratoHz = 6;
    throb.vibratoDepth = 0.3f;
    AddTone(&b, R, 0, 2.2f, throb);
    LowPassBuffer(&b, R, 2500);
    MakeSeamlessLoop(&b, R, 0.25f);
    return b;
}

AudioBuffer JetpackIgnite()
{
    AudioBuffer b = Silence(0.9f);
    AddNoise(&b, R, 0, 0.06f, Noise(FilterKind::kHighPass, 3000, 3000, 0.6f, 0.0003f, 0.01f, 251));
    AddNoise(&b, R, 0.04f, 0.86f, Noise(FilterKind::kLowPass, 200, 1800, 1.0f, 0.03f, 0.3f, 252));
    AddTone(&b, R, 0.04f, 0.8f, Tone(Wave::kSaw, 40, 70, 0.2f, 0.05f, 0.3f));
    Saturate(&b, 1.3f);
    return b;
}

AudioBuffer MissileEngine()
{
    // A tight, hissing rocket loop, brighter than the jet pack.
    AudioBuffer b = Silence(1.7f);
    AddNoise(&b, R, 0, 1.7f, Noise(FilterKind::kBandPass, 1400, 1400, 0.8f, 0, 0, 271, 1.0f));
    AddNoise(&b, R, 0, 1.7f, Noise(FilterKind::kHighPass, 4000, 4000, 0.2f, 0, 0, 272));
    ToneSpec whine = Tone(Wave::kSquare, 330, 330, 0.05f, 0, 0);
    whine.vibratoHz = 9;
    whine.vibratoDepth = 0.2f;
    AddTone(&b, R, 0, 1.7f, whine);
    MakeSeamlessLoop(&b, R, 0.2f);
    return b;
}

AudioBuffer BombDrop()
{
    // The release clunk, then a falling whistle.
    AudioBuffer b = Silence(1.2f);
    AddNoise(&b, R, 0, 0.04f, Noise(FilterKind::kBandPass, 1500, 1500, 1.0f, 0.0003f, 0.01f, 281, 3));
    AddTone(&b, R, 0, 0.1f, Tone(Wave::kSine, 220, 150, 0.5f, 0.0005f, 0.03f));
    AddTone(&b, R, 0.08f, 1.1f, Tone(Wave::kSine, 2200, 700, 0.3f, 0.08f, 0));
    FadeEdges(&b, R, 0, 0.3f);
    return b;
}

AudioBuffer DustDevil()
{
    // Wind gusting through a resonant band that swings up and down; seamless loop.
    AudioBuffer b = Silence(3.2f);
    SynthRandom random(291);
    StateVariableFilter filter;
    for (size_t i = 0; i < b.size(); i++) {
        float t = float(i) / float(R);
        if (i % 16 == 0)
            filter.Set(700 + 500 * std::sin(6.2831853f * t / 1.6f) + 200 * std::sin(6.2831853f * t * 1.3f), 3,
                       R);
        b[i] = filter.BandPass(random.Signed()) * (0.8f + 0.2f * std::sin(6.2831853f * t * 2.5f));
    }
    AddNoise(&b, R, 0, 3.2f, Noise(FilterKind::kLowPass, 250, 250, 0.6f, 0, 0, 292));
    MakeSeamlessLoop(&b, R, 0.3f);
    return b;
}

AudioBuffer LaserBeam()
{
    // A sustained beam: stacked detuned squares, filtered, with a fast shimmer; seamless loop.
    AudioBuffer b = Silence(1.6f);
    for (int i = 0; i < 3; i++) {
        ToneSpec spec =
            Tone(Wave::kSquare, 440 * (1 + 0.004f * float(i)), 440 * (1 + 0.004f * float(i)), 0.15f, 0, 0);
        spec.vibratoHz = 30;
        spec.vibratoDepth = 0.15f;
        AddTone(&b, R, 0, 1.6f, spec);
    }
    AddTone(&b, R, 0, 1.6f, Tone(Wave::kSine, 880, 880, 0.2f, 0, 0));
    LowPassBuffer(&b, R, 2800);
    AddNoise(&b, R, 0, 1.6f, Noise(FilterKind::kHighPass, 5000, 5000, 0.08f, 0, 0, 301));
    MakeSeamlessLoop(&b, R, 0.15f);
    return b;
}

AudioBuffer CrystalShatter()
{
    // Many high inharmonic pings scattered over a bright crash.
    AudioBuffer b = Silence(1.6f);
    AddNoise(&b, R, 0, 0.6f, Noise(FilterKind::kHighPass, 2500, 5000, 0.9f, 0.0005f, 0.12f, 311));
    SynthRandom random(312);
    for (int i = 0; i < 24; i++) {
        float at = random.Unit() * random.Unit() * 0.7f, hz = 1800 + random.Unit() * 4500;
        AddTone(&b, R, at, 0.8f, Tone(Wave::kSine, hz, hz, 0.18f, 0.0005f, 0.08f + 0.2f * random.Unit()));
        AddTone(&b, R, at, 0.5f, Tone(Wave::kSine, hz * 2.76f, hz * 2.76f, 0.06f, 0.0005f, 0.05f));
    }
    return b;
}

AudioBuffer Dirt()
{
    // Earth bursting up: a dull thud and gritty falling debris.
    AudioBuffer b = Silence(1.2f);
    AddTone(&b, R, 0, 0.4f, Tone(Wave::kSine, 90, 40, 0.9f, 0.002f, 0.12f));
    AddNoise(&b, R, 0, 1.2f, Noise(FilterKind::kLowPass, 1200, 300, 0.9f, 0.005f, 0.3f, 361));
    SynthRandom random(362);
    for (int i = 0; i < 40; i++) {
        float at = 0.1f + random.Unit() * 0.9f;
        AddNoise(&b, R, at, 0.015f,
                 Noise(FilterKind::kBandPass, 800 + random.Unit() * 2500, 900, 0.4f * (1.2f - at), 0.0005f,
                       0.004f, 363 + uint32_t(i), 2));
    }
    Saturate(&b, 1.5f);
    return b;
}

AudioBuffer BadSelect()
{
    // A low buzzy two-note "no".
    AudioBuffer b = Silence(0.35f);
    AddTone(&b, R, 0, 0.14f, Tone(Wave::kSquare, 220, 220, 0.3f, 0.002f, 0.1f));
    AddTone(&b, R, 0.15f, 0.2f, Tone(Wave::kSquare, 165, 165, 0.3f, 0.002f, 0.1f));
    LowPassBuffer(&b, R, 1500);
    return b;
}

struct EffectRecipe
{
    const char* name;
    AudioBuffer (*make)();
    bool loop;
};

AudioBuffer TurretExplosion()
{
    return Explosion(2.0f, 1.0f, 41);
}
AudioBuffer MineExplode()
{
    return Explosion(2.4f, 0.7f, 71);
}
AudioBuffer MenuSelect()
{
    return Blip(880, 1318.5f, 0.07f);
}
AudioBuffer RaptorDeath()
{
    return CreatureCry(1.1f, 260, 1.5f, 900, 0.4f, 321);
}
AudioBuffer RaptorAttack()
{
    return CreatureCry(0.6f, 330, 1.8f, 1300, 0.5f, 331);
}
AudioBuffer BrachHurt()
{
    return CreatureCry(0.9f, 95, 1.4f, 420, 0.25f, 341);
}
AudioBuffer BrachDeath()
{
    return CreatureCry(2.0f, 80, 1.2f, 350, 0.3f, 351);
}

// The effect files of the main bank, in effect order, and which of them loop.
const EffectRecipe kRecipes[] = {
    {"CHANGESELECT", ChangeSelect, false},
    {"GETPOW", GetPow, false},
    {"SPLASH", Splash, false},
    {"TURRETEXPLOSION", TurretExplosion, false},
    {"IMPACTSIZZLE", ImpactSizzle, false},
    {"SHIELD", Shield, false},
    {"MINEEXPLODE", MineExplode, false},
    {"PLANECRASH", PlaneCrash, false},
    {"TURRETFIRE", TurretFire, false},
    {"STUNGUN", StunGun, false},
    {"ROCKETLAUNCH", RocketLaunch, false},
    {"WEAPONCHARGE", WeaponCharge, false},
    {"FLARESHOOT", FlareShoot, false},
    {"CHANGEWEAPON", ChangeWeapon, false},
    {"SONICSCREAM", SonicScream, false},
    {"ELECTRODEHUM", ElectrodeHum, true},
    {"WORMHOLE", Wormhole, true},
    {"WORMHOLEVANISH", WormholeVanish, false},
    {"WORMHOLEAPPEAR", WormholeAppear, false},
    {"EGGINTOWORMHOLE", EggIntoWormhole, false},
    {"BODYHIT", BodyHit, false},
    {"LAUNCHMISSILE", LaunchMissile, false},
    {"GRABEGG", GrabEgg, false},
    {"JETPACKHUM", JetpackHum, true},
    {"JETPACKIGNITE", JetpackIgnite, false},
    {"MENUSELECT", MenuSelect, false},
    {"MISSILEENGINE", MissileEngine, true},
    {"BOMBDROP", BombDrop, false},
    {"DUSTDEVIL", DustDevil, true},
    {"LASERBEAM", LaserBeam, true},
    {"CRYSTALSHATTER", CrystalShatter, false},
    {"RAPTORDEATH", RaptorDeath, false},
    {"RAPTORATTACK", RaptorAttack, false},
    {"BRACHHURT", BrachHurt, false},
    {"BRACHDEATH", BrachDeath, false},
    {"DIRT", Dirt, false},
    {"BADSELECT", BadSelect, false},
};

} // namespace

int MainBankEffectCount()
{
    return int(std::size(kRecipes));
}

const char* MainBankEffectName(int index)
{
    return kRecipes[index].name;
}

bool MainBankEffectLoops(int index)
{
    return kRecipes[index].loop;
}

PCMSound MakeMainBankEffect(int index)
{
    if (index < 0 || index >= MainBankEffectCount())
        throw std::out_of_range("MakeMainBankEffect: no effect " + std::to_string(index));
    const EffectRecipe& recipe = kRecipes[index];
    AudioBuffer buffer = recipe.make();
    if (!recipe.loop)
        FadeEdges(&buffer, R, 0.0005f, 0.01f); // no click at either end
    // Loops play for as long as their owner lives: they sit lower than one-off effects.
    ScaleToPeak(&buffer, recipe.loop ? kLoopPeak : kEffectPeak);
    PCMSound sound;
    sound.channels = 1;
    sound.sampleRate = R;
    sound.samples = ToPCM16(buffer);
    sound.loop = recipe.loop;
    return sound;
}
