// Start-up and shut-down of the game sound, the banks of effect files, the music channel and the
// volumes of the preferences.

#include "Sound/SoundLocal.h"

#include <cstdio>
#include <exception>

#include "3D/OGL_Support.h"
#include "Objects/ObjNode.h"
#include "System/Alerts.h"
#include "System/Log.h"
#include "System/Prefs.h"
#include "System/ProgramState.h"
#include "Tarnet/Files/Files.h"
#include "Tarnet/Tarnet.h"

using namespace Tarnet;

SndChannelPtr gMusicChannel = nullptr;
Handle gSndHandles[MAX_EFFECTS];
long gSndHeaderOffsets[MAX_EFFECTS];

float gMasterSoundScale = 1.0f;
float gEffectsVolume = 1.0f;
float gMusicVolume = 1.0f;
float gSongVolume = 1.0f;
int gCurrentSong = -1;
bool gSongPlaying = false;

void RegisterNodeLoopSoundStopper(); // PositionalSound.cpp

// Bank paths are built into a buffer of this size.
static constexpr int kMaxBankPathLength = 63;

static intptr_t MusicChannelVolume()
{
    float volume = gSongVolume * float(kFullVolume) * gMusicVolume;
    return PackStereoVolume(volume, volume);
}

void InitSoundTools()
{
    // 1. As many effect channels as the layer gives, up to 40.
    gEffectChannelCount = 0;
    gLastEffectChannel = -1;
    while (gEffectChannelCount < MAX_EFFECT_CHANNELS) {
        SndChannelPtr channel = nullptr;
        if (SndNewChannel(&channel, sampledSynth, initStereo, nullptr) != noErr)
            break;
        gEffectChannels[gEffectChannelCount] = channel;
        gEffectChannelInfo[gEffectChannelCount] = {-1, 1.0f, 0, 0};
        gEffectChannelCount++;
    }

    // 2. The music channel; without it there is no game sound at all.
    gMusicChannel = nullptr;
    OSErr iErr = SndNewChannel(&gMusicChannel, sampledSynth, initStereo, nullptr);
    if (iErr)
        FatalAssertion(__func__, __LINE__, "!iErr");

    // 3. The engine's calls into the sound: deleted nodes stop their loops, cameras move the ears.
    RegisterNodeLoopSoundStopper();
    OGL_SetCameraMovedRoutine(PlaceListeners);

    // 4. Volumes from the preferences, then the main bank, which stays for the whole run.
    ApplyVolumeSettings();
    SilenceAllEffects();
    uint64_t bankStart = MicrosecondsNow();
    LoadSoundBank(SOUND_BANK_MAIN);
    LogLine(kLogInfo, "Main sound bank loaded in %d ms", int((MicrosecondsNow() - bankStart) / 1000));
}

// The first of "<name>.aiff" and "<name>.mp3" in the bank's folder; fatal when neither exists.
static FSSpec FindEffectFile(int bank, const char* name, char* path)
{
    static const char* const kExtensions[] = {"aiff", "mp3"};
    FSSpec spec;
    OSErr iErr = fnfErr;
    for (const char* extension : kExtensions) {
        std::snprintf(path, kMaxBankPathLength + 1, ":Audio:%s:%s.%s", kSoundBankFolders[bank], name,
                      extension);
        iErr = FSMakeFSSpec(gDataFolderSpec.vRefNum, gDataFolderSpec.parID, path, &spec);
        if (iErr == noErr)
            break;
    }
    if (iErr)
        FatalAssertion("LoadSoundBank", __LINE__, "!iErr");
    return spec;
}

// Reads one effect file into a sound block of 16-bit host-order samples ready to play in place.
static void LoadEffect(int bank, int effectNum)
{
    char path[kMaxBankPathLength + 1];
    FSSpec spec = FindEffectFile(bank, kEffectTable[effectNum].name, path);

    int16_t refNum = -1;
    OSErr iErr = FSpOpenDF(&spec, fsRdPerm, &refNum);
    if (iErr)
        FatalAssertion("LoadSoundBank", __LINE__, "!iErr");

    // A damaged file is a fatal alert naming it, not an exception out of the game.
    Handle block = nullptr;
    long offset = 0;
    try {
        block = Sound::LoadSoundFile(refNum);
        if (block) {
            if (GetSoundHeaderOffset(block, &offset) != noErr ||
                ExpandSoundHandle(&block, &offset) != noErr) {
                DisposeHandle(block);
                block = nullptr;
            }
        }
    } catch (const std::exception& e) {
        FSClose(refNum);
        ShowFatalAlert("LoadSoundBank: %s: %s", path, e.what());
    }
    FSClose(refNum);

    gSndHandles[effectNum] = block;
    gSndHeaderOffsets[effectNum] = offset;
    if (!gSndHandles[effectNum])
        FatalAssertion("LoadSoundBank", __LINE__, "gSndHandles[i]");
}

void LoadSoundBank(int bank)
{
    GAME_ASSERT(bank > SOUND_BANK_NONE && bank < NUM_SOUND_BANKS);
    SilenceAllEffects();
    UnloadSoundBank(bank);
    for (int i = 0; i < NUM_EFFECTS; i++) {
        if (kEffectTable[i].bank == bank)
            LoadEffect(bank, i);
    }
}

void UnloadSoundBank(int bank)
{
    // The channels play the blocks in place: nothing may still be playing one.
    SilenceAllEffects();
    for (int i = 0; i < NUM_EFFECTS; i++) {
        if (kEffectTable[i].bank != bank || !gSndHandles[i])
            continue;
        DisposeHandle(gSndHandles[i]);
        gSndHandles[i] = nullptr;
        gSndHeaderOffsets[i] = 0;
    }
}

void ShutdownGameSound()
{
    SilenceAllEffects();
    StopSong();
    for (int i = 0; i < gEffectChannelCount; i++) {
        SndDisposeChannel(gEffectChannels[i], true);
        gEffectChannels[i] = nullptr;
    }
    gEffectChannelCount = 0;
    gLastEffectChannel = -1;
    for (int bank = 0; bank < NUM_SOUND_BANKS; bank++)
        UnloadSoundBank(bank);
    // The music channel stays until the layer's own shut-down disposes it.
}

void PlaySong(int16_t songNum, bool loop)
{
    GAME_ASSERT(songNum >= 0 && songNum < NUM_SONGS);
    if (songNum == gCurrentSong)
        return;

    // 1. Whatever played stops first.
    StopSong();

    // 2. The whole song is decoded into the music channel before it starts.
    const SongDefinition& song = kSongTable[songNum];
    FSSpec spec;
    int16_t refNum = -1;
    OSErr iErr = FSMakeFSSpec(gDataFolderSpec.vRefNum, gDataFolderSpec.parID, song.path, &spec);
    if (!iErr)
        iErr = FSpOpenDF(&spec, fsRdPerm, &refNum);
    if (iErr)
        FatalAssertion(__func__, __LINE__, "!iErr");

    gSongVolume = song.volume;
    gCurrentSong = songNum;

    OSErr playErr = noErr;
    try {
        playErr = SndStartFilePlay(gMusicChannel, refNum, 0, 0, nullptr, nullptr, nullptr, true);
    } catch (const std::exception& e) {
        FSClose(refNum);
        ShowFatalAlert("PlaySong: %s: %s", song.path, e.what());
    }
    FSClose(refNum);
    if (playErr)
        ShowFatalAlert("PlaySong: SndStartFilePlay failed! (System error %d)", playErr);
    gSongPlaying = true;

    // 3. Looping and volume.
    if (SendSoundCommand(gMusicChannel, loopExtensionCmd, loop ? 1 : 0) != noErr)
        ShowFatalAlert("PlaySong: SndDoImmediate (tarnet loop extension) failed!");
    if (SendSoundCommand(gMusicChannel, volumeCmd, 0, MusicChannelVolume()) != noErr)
        ShowFatalAlert("PlaySong: SndDoImmediate (volumeCmd) failed!");
}

void StopSong()
{
    gCurrentSong = -1;
    if (!gSongPlaying)
        return;
    gSongPlaying = false;
    SndStopFilePlay(gMusicChannel, true);
}

void PauseAllSound(bool pause)
{
    uint16_t command = pause ? pauseExtensionCmd : resumeExtensionCmd;
    for (int i = 0; i < gEffectChannelCount; i++)
        SendSoundCommand(gEffectChannels[i], command);
    if (gMusicChannel)
        SendSoundCommand(gMusicChannel, command);
}

void ApplyVolumeSettings()
{
    // 1. Effects: every channel keeps its balance at the new level.
    gEffectsVolume = float(gPrefs.effectsVolume) * 0.01f * gMasterSoundScale;
    for (int i = 0; i < gEffectChannelCount; i++) {
        const EffectChannelInfo& info = gEffectChannelInfo[i];
        SendSoundCommand(
            gEffectChannels[i], volumeCmd, 0,
            PackStereoVolume(info.leftVolume * gEffectsVolume, info.rightVolume * gEffectsVolume));
    }

    // 2. Music: a song paused with the game resumes when its volume is set again.
    gMusicVolume = float(gPrefs.musicVolume) * 0.01f * gMasterSoundScale;
    if (!gMusicChannel)
        return;
    SendSoundCommand(gMusicChannel, resumeExtensionCmd);
    SendSoundCommand(gMusicChannel, volumeCmd, 0, MusicChannelVolume());
}

void SetSoundMasterScale(float scale)
{
    gMasterSoundScale = scale;
    ApplyVolumeSettings();
}
