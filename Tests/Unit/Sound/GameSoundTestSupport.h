// A data folder with a short sound for every effect of the table and every song, the host layer
// started with a mixer that only mixes when the test asks, and the game sound initialised on it.
#pragma once

#include <gtest/gtest.h>

#include <cmath>
#include <filesystem>
#include <string>

#include "3D/OGL_Support.h"
#include "DataForge/Writers/AudioWriters.h"
#include "DataForge/Writers/BigEndianWriter.h"
#include "Sound/GameSound.h"
#include "Sound/SoundLocal.h"
#include "Support/AlertCapture.h"
#include "Support/TempFolder.h"
#include "System/Prefs.h"
#include "System/ProgramState.h"
#include "Tarnet/Tarnet.h"
#include "Tarnet/cmixer/cmixer.h"

// A tone of `frames` frames; effects at 22050 Hz mono, songs at 44100 Hz stereo.
inline PCMSound TestTone(int channels, int rate, int frames, bool loop)
{
    PCMSound sound;
    sound.channels = channels;
    sound.sampleRate = rate;
    sound.loop = loop;
    for (int i = 0; i < frames * channels; i++)
        sound.samples.push_back(int16_t(8000 * std::sin(0.05 * i)));
    return sound;
}

inline constexpr int kTestEffectFrames = 2205; // 0.1 s at 22050 Hz

class GameSoundTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        Tarnet::Startup();
        cmixer::OpenWithoutDevice(44100, true);
        const std::filesystem::path data = folder.Path() / "Data";
        std::filesystem::create_directories(data / "Skeletons");
        for (int i = 1; i < NUM_EFFECTS; i++) {
            const EffectDefinition& effect = kEffectTable[i];
            std::filesystem::path bank = data / "Audio" / kSoundBankFolders[effect.bank];
            std::filesystem::create_directories(bank);
            bool loop = i == EFFECT_JETPACKHUM || i == EFFECT_MISSILEENGINE;
            WriteFileBytes(bank / (std::string(effect.name) + ".aiff"),
                           BuildAIFF(TestTone(1, 22050, kTestEffectFrames, loop)));
        }
        static const std::vector<uint8_t> song = EncodeMP3(TestTone(2, 44100, 44100, false), 128);
        for (const SongDefinition& definition : kSongTable) {
            std::string path = definition.path;
            WriteFileBytes(data / "Audio" / path.substr(path.rfind(':') + 1), song);
        }
        savedDataFolder = gDataFolderSpec;
        gDataFolderSpec = Tarnet::HostPathToFSSpec(data / "Skeletons");
        gPrefs.effectsVolume = 100;
        gPrefs.musicVolume = 100;
        gMasterSoundScale = 1.0f;
        gNumPanes = 1;
        gListeners[0] = {{0, 0, 0}, {0, 0, -1}}; // at the origin looking along -z
        gListeners[1] = {{0, 0, 0}, {0, 0, -1}};
        InitSoundTools();
    }

    void TearDown() override
    {
        ShutdownGameSound();
        gDataFolderSpec = savedDataFolder;
        gNumPanes = 1;
        Tarnet::Shutdown();
    }

    // Runs the mixer on for `frames` output frames (44.1 kHz), as the audio thread would.
    static void Mix(int frames)
    {
        std::vector<int16_t> out(size_t(frames) * 2);
        cmixer::MixOutput(out.data(), int(out.size()));
    }

    static Tarnet::Sound::ChannelParameters Parameters(int channel)
    {
        return Tarnet::Sound::GetChannelParameters(gEffectChannels[channel]);
    }

    TempFolder folder;
    Tarnet::FSSpec savedDataFolder;
    ScopedAlertCapture alerts;
};
