// Checks Data/Audio: every effect of the game's effect table and every song of its song table is
// there, decodes through the game's own sound-file reader, loops where an object keeps it playing,
// plays at its own pitch (base note 60), is not silent and never reaches full scale.

#include "DataForge/Check.h"
#include "DataForge/Content/AudioSynth.h"
#include "Sound/GameSound.h"
#include "Tarnet/Tarnet.h"

#include <exception>
#include <string>

namespace fs = std::filesystem;

namespace {

// Effects that objects start once and then only follow: without a sustain loop they fall silent.
const int kLoopedEffects[] = {EFFECT_ELECTRODEHUM,  EFFECT_WORMHOLE,  EFFECT_JETPACKHUM,
                              EFFECT_MISSILEENGINE, EFFECT_DUSTDEVIL, EFFECT_LASERBEAM};

// Quieter than this (RMS, full scale 1) a sound is taken for an empty one.
constexpr float kSilentRMS = 0.005f;

struct DecodedSound
{
    Tarnet::SoundDescription description;
    std::vector<int16_t> samples;
};

// As the game loads it: the sound block of the file, expanded to 16-bit host-order PCM.
DecodedSound DecodeAsTheGameDoes(const fs::path& file)
{
    Tarnet::FSSpec spec = Tarnet::HostPathToFSSpec(file);
    int16_t refNum = -1;
    if (Tarnet::FSpOpenDF(&spec, Tarnet::fsRdPerm, &refNum) != Tarnet::noErr)
        throw std::runtime_error("cannot be opened");
    Tarnet::Handle block = nullptr;
    try {
        block = Tarnet::Sound::LoadSoundFile(refNum);
    } catch (...) {
        Tarnet::FSClose(refNum);
        throw;
    }
    Tarnet::FSClose(refNum);
    if (!block)
        throw std::runtime_error("is not named as a sound file");

    DecodedSound sound;
    try {
        long offset = 0;
        if (Tarnet::ExpandSoundHandle(&block, &offset) != Tarnet::noErr)
            throw std::runtime_error("has no sound header");
        const auto* header = reinterpret_cast<const uint8_t*>(*block) + offset;
        Tarnet::DescribeSoundHeader(header, size_t(Tarnet::GetHandleSize(block) - offset),
                                    &sound.description);
        sound.samples = Tarnet::Sound::DecodeToPCM16(
            sound.description, {sound.description.dataStart, size_t(sound.description.encodedLength)});
    } catch (...) {
        Tarnet::DisposeHandle(block);
        throw;
    }
    Tarnet::DisposeHandle(block);
    return sound;
}

void CheckLevels(const std::string& name, const DecodedSound& sound, DataCheckReport* report)
{
    SoundStats stats = MeasureSound(sound.samples);
    if (stats.clippedSamples > 0)
        report->Add(name, std::to_string(stats.clippedSamples) + " samples reach full scale (clipping)");
    if (stats.rms < kSilentRMS)
        report->Add(name, "is silent (RMS " + std::to_string(stats.rms) + ")");
}

void CheckEffect(const fs::path& dataFolder, int effectNum, DataCheckReport* report)
{
    const EffectDefinition& effect = kEffectTable[effectNum];
    const std::string folder = std::string("Audio/") + kSoundBankFolders[effect.bank] + "/";
    std::string name = folder + effect.name + ".aiff";
    if (!fs::exists(dataFolder / name)) {
        std::string mp3 = folder + effect.name + ".mp3";
        if (!fs::exists(dataFolder / mp3)) {
            report->Add(name, "missing (nor is there an .mp3): the game cannot start without it");
            return;
        }
        name = mp3;
    }
    if (name.size() + 1 > 63) // the colon path ":Audio:..." the game builds holds 63 characters
        report->Add(name, "path too long for the game's 63-character bank path");

    DecodedSound sound;
    try {
        sound = DecodeAsTheGameDoes(dataFolder / name);
    } catch (const std::exception& e) {
        report->Add(name, std::string("does not decode: ") + e.what());
        return;
    }
    if (sound.description.baseNote != 60)
        report->Add(name, "base note " + std::to_string(sound.description.baseNote) + " (must be 60)");
    const bool loops = int64_t(sound.description.loopEnd) - sound.description.loopStart > 1;
    for (int looped : kLoopedEffects) {
        if (looped == effectNum && !loops)
            report->Add(name, "must loop: an object keeps it playing");
    }
    CheckLevels(name, sound, report);
}

void CheckSong(const fs::path& dataFolder, int song, DataCheckReport* report)
{
    std::string path = kSongTable[song].path; // ":audio:theme.mp3"
    const std::string name = "Audio/" + path.substr(path.rfind(':') + 1);
    if (!fs::exists(dataFolder / name)) {
        report->Add(name, "missing");
        return;
    }
    DecodedSound sound;
    try {
        sound = DecodeAsTheGameDoes(dataFolder / name);
    } catch (const std::exception& e) {
        report->Add(name, std::string("does not decode: ") + e.what());
        return;
    }
    const double seconds =
        double(sound.samples.size()) / double(sound.description.numChannels) / sound.description.sampleRate;
    if (seconds < 30 || seconds > 180)
        report->Add(name,
                    "lasts " + std::to_string(int(seconds)) + " s (30 to 180 s: the game decodes it whole)");
    CheckLevels(name, sound, report);
}

} // namespace

void CheckAudio(const fs::path& dataFolder, DataCheckReport* report)
{
    Tarnet::Startup();
    for (int effectNum = 1; effectNum < NUM_EFFECTS; effectNum++)
        CheckEffect(dataFolder, effectNum, report);
    for (int song = 0; song < NUM_SONGS; song++)
        CheckSong(dataFolder, song, report);
}
