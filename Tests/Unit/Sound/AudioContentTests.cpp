// The audio writers against the game's own readers, and the generated main bank against the game's
// effect table.

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <sstream>

#include "DataForge/Check.h"
#include "DataForge/Content/Audio.h"
#include "DataForge/Writers/BigEndianWriter.h"
#include "Sound/GameSound.h"
#include "Support/TempFolder.h"
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

PCMSound Sine(int frames)
{
    PCMSound sound;
    sound.channels = 2;
    sound.sampleRate = 44100;
    for (int i = 0; i < frames * 2; i++)
        sound.samples.push_back(int16_t(10000 * std::sin(i / 2 * 0.0627)));
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
    PCMSound sound = Sine(44100); // 440 Hz
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

TEST(GeneratedAudio, LoopingSongIsOverAMinuteAndJoinsItsStartWithoutAJump)
{
    PCMSound song = ComposeSong(SONG_INTRO);
    ASSERT_EQ(song.channels, 2);
    const double seconds = double(song.samples.size() / 2) / song.sampleRate;
    EXPECT_GE(seconds, 60);
    EXPECT_LE(seconds, 180);
    // The step from the last frame back to the first is no bigger than the music's own steps.
    int largestStep = 0;
    for (size_t i = 2; i < song.samples.size(); i++)
        largestStep = std::max(largestStep, std::abs(song.samples[i] - song.samples[i - 2]));
    const size_t last = song.samples.size() - 2;
    EXPECT_LE(std::abs(song.samples[0] - song.samples[last]), largestStep);
    EXPECT_LE(std::abs(song.samples[1] - song.samples[last + 1]), largestStep);
}

// ---------------------------------------------------------------------------------------------------------
// The audio checker
// ---------------------------------------------------------------------------------------------------------

class AudioCheckTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        for (int i = 1; i < NUM_EFFECTS; i++) {
            const EffectDefinition& effect = kEffectTable[i];
            bool loop = i == EFFECT_ELECTRODEHUM || i == EFFECT_WORMHOLE || i == EFFECT_JETPACKHUM ||
                        i == EFFECT_MISSILEENGINE || i == EFFECT_DUSTDEVIL || i == EFFECT_LASERBEAM;
            Write(std::string("Audio/") + kSoundBankFolders[effect.bank] + "/" + effect.name + ".aiff",
                  BuildAIFF(Ramp(1, 22050, 2000, loop)));
        }
        static const std::vector<uint8_t> mp3 = EncodeMP3(Sine(44100 * 31), 32); // the shortest song allowed
        for (const SongDefinition& definition : kSongTable) {
            std::string path = definition.path;
            Write("Audio/" + path.substr(path.rfind(':') + 1), mp3);
        }
    }

    void Write(const std::string& name, const std::vector<uint8_t>& bytes)
    {
        std::filesystem::create_directories((folder.Path() / name).parent_path());
        WriteFileBytes(folder.Path() / name, bytes);
    }

    std::vector<std::string> Problems()
    {
        DataCheckReport report;
        CheckAudio(folder.Path(), &report);
        std::vector<std::string> lines;
        for (const DataProblem& problem : report.problems)
            lines.push_back(problem.file + ": " + problem.rule);
        return lines;
    }

    TempFolder folder;
};

TEST_F(AudioCheckTest, SoundFolderPassesAndEachFaultIsNamed)
{
    EXPECT_EQ(Problems(), std::vector<std::string>{});

    Write("Audio/Main/JETPACKHUM.aiff", BuildAIFF(Ramp(1, 22050, 2000, false)));
    PCMSound clipped = Ramp(1, 22050, 2000, false);
    clipped.samples[5] = 32767;
    Write("Audio/Main/SPLASH.aiff", BuildAIFF(clipped));
    Write("Audio/Main/DIRT.aiff", BuildAIFF(PCMSound{1, 22050, std::vector<int16_t>(2000, 0), false}));
    std::filesystem::remove(folder.Path() / "Audio/Narration/STORY3.aiff");
    Write("Audio/winsong.mp3", {'n', 'o', 't'});
    std::vector<std::string> problems = Problems();
    ASSERT_EQ(problems.size(), 5u);
    EXPECT_EQ(problems[0], "Audio/Main/SPLASH.aiff: 1 samples reach full scale (clipping)");
    EXPECT_EQ(problems[1], "Audio/Main/JETPACKHUM.aiff: must loop: an object keeps it playing");
    EXPECT_EQ(problems[2], "Audio/Main/DIRT.aiff: is silent (RMS 0.000000)");
    EXPECT_EQ(
        problems[3],
        "Audio/Narration/STORY3.aiff: missing (nor is there an .mp3): the game cannot start without it");
    EXPECT_EQ(problems[4].rfind("Audio/winsong.mp3: does not decode: ", 0), 0u) << problems[4];
}
