// The audio writers against the game's own readers, and the generated main bank against the game's
// effect table.

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <sstream>

#include "DataForge/Content/Audio.h"
#include "Sound/GameSound.h"
#include "Tarnet/Sound/SoundFiles.h"

namespace {

PCMSound Ramp(int channels, int rate, int frames, bool loop)
{
    PCMSound sound;
    sound.channels = channels;
    sound.sampleRate = rate;
    sound.loop = loop;
    for (int i = 0; i < frames * channels; i++)
        sound.samples.push_back(int16_t(i * 37 - 20000));
    return sound;
}

Tarnet::Sound::SoundDescription ReadBack(const std::vector<uint8_t>& file, std::vector<int16_t>* samples)
{
    std::string bytes(file.begin(), file.end());
    std::istringstream stream(bytes);
    Tarnet::Sound::SoundDescription description = Tarnet::Sound::ReadAIFF(stream);
    std::vector<uint8_t> data(size_t(description.encodedLength));
    stream.read(reinterpret_cast<char*>(data.data()), std::streamsize(data.size()));
    *samples = Tarnet::Sound::DecodeToPCM16(description, data);
    return description;
}

} // namespace

TEST(AudioWriters, AiffKeepsEverySampleAndLoopsOverTheWholeSound)
{
    PCMSound sound = Ramp(1, 22050, 1001, true); // odd length: the chunks still end on even bytes
    std::vector<int16_t> samples;
    Tarnet::Sound::SoundDescription description = ReadBack(BuildAIFF(sound), &samples);
    EXPECT_EQ(description.numChannels, 1);
    EXPECT_EQ(description.sampleRate, 22050);
    EXPECT_EQ(description.baseNote, 60);
    EXPECT_EQ(description.loopStart, 0);
    EXPECT_EQ(description.loopEnd, 1001);
    EXPECT_EQ(samples, sound.samples);

    description = ReadBack(BuildAIFF(Ramp(2, 44100, 10, false)), &samples);
    EXPECT_EQ(description.numChannels, 2);
    EXPECT_LE(description.loopEnd - description.loopStart, 1); // no loop
}

TEST(AudioWriters, Mp3IsBareFramesTheGameDecodesAtTheSameRateAndLength)
{
    PCMSound sound;
    sound.channels = 2;
    sound.sampleRate = 44100;
    for (int i = 0; i < 44100; i++) {
        int16_t value = int16_t(10000 * std::sin(i * 0.0627)); // 440 Hz
        sound.samples.push_back(value);
        sound.samples.push_back(value);
    }
    std::vector<uint8_t> mp3 = EncodeMP3(sound, 128);
    ASSERT_GT(mp3.size(), 4u);
    EXPECT_EQ(mp3[0], 0xFF); // a frame header from the first byte: no tag in front
    EXPECT_EQ(mp3[1] & 0xE0, 0xE0);
    EXPECT_EQ(mp3, EncodeMP3(sound, 128)); // deterministic

    Tarnet::Sound::DecodedMP3 decoded = Tarnet::Sound::DecodeMP3(mp3);
    EXPECT_EQ(decoded.description.sampleRate, 44100);
    EXPECT_EQ(decoded.description.numChannels, 2);
    // The encoder adds its delay and pads the last frame: at most a few frames more.
    EXPECT_GE(decoded.description.numFrames, 44100);
    EXPECT_LE(decoded.description.numFrames, 44100 + 3 * 1152);
}

TEST(GeneratedAudio, MainBankMatchesTheGameEffectTableAndItsLoops)
{
    ASSERT_EQ(MainBankEffectCount(), EFFECT_BADSELECT);
    for (int i = 0; i < MainBankEffectCount(); i++) {
        const int effect = i + 1;
        EXPECT_STREQ(MainBankEffectName(i), kEffectTable[effect].name);
        EXPECT_EQ(kEffectTable[effect].bank, SOUND_BANK_MAIN);
        const bool ownedByObjects = effect == EFFECT_ELECTRODEHUM || effect == EFFECT_WORMHOLE ||
                                    effect == EFFECT_JETPACKHUM || effect == EFFECT_MISSILEENGINE ||
                                    effect == EFFECT_DUSTDEVIL || effect == EFFECT_LASERBEAM;
        EXPECT_EQ(MainBankEffectLoops(i), ownedByObjects) << MainBankEffectName(i);
    }
}

TEST(GeneratedAudio, EffectsAreTheSameEveryRunAndNeverClip)
{
    for (int i : {EFFECT_SPLASH - 1, EFFECT_JETPACKHUM - 1, EFFECT_BRACHDEATH - 1}) {
        PCMSound first = MakeMainBankEffect(i);
        EXPECT_EQ(first.samples, MakeMainBankEffect(i).samples) << MainBankEffectName(i);
        int peak = 0;
        for (int16_t sample : first.samples)
            peak = std::max(peak, std::abs(int(sample)));
        EXPECT_LT(peak, 32767) << MainBankEffectName(i);
        EXPECT_GT(peak, 8000) << MainBankEffectName(i);
    }
}
