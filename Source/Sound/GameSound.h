// Game sound: one music channel playing one song at a time, up to 40 effect channels shared in
// rotation, the table of 45 effects loaded in banks of files, positional effects whose left and
// right volumes follow the nearest listener, looping effects owned by objects, and the global
// music and effect volumes of the preferences. Main thread only.
#pragma once

#include <cstdint>

#include "3D/Math3D.h"

// Effect numbers: the index in the effect table.
enum
{
    EFFECT_NONE = 0,
    EFFECT_CHANGESELECT,
    EFFECT_GETPOW,
    EFFECT_SPLASH,
    EFFECT_TURRETEXPLOSION,
    EFFECT_IMPACTSIZZLE,
    EFFECT_SHIELD,
    EFFECT_MINEEXPLODE,
    EFFECT_PLANECRASH,
    EFFECT_TURRETFIRE,
    EFFECT_STUNGUN, // 10
    EFFECT_ROCKETLAUNCH,
    EFFECT_WEAPONCHARGE,
    EFFECT_FLARESHOOT,
    EFFECT_CHANGEWEAPON,
    EFFECT_SONICSCREAM,
    EFFECT_ELECTRODEHUM,
    EFFECT_WORMHOLE,
    EFFECT_WORMHOLEVANISH,
    EFFECT_WORMHOLEAPPEAR,
    EFFECT_EGGINTOWORMHOLE, // 20
    EFFECT_BODYHIT,
    EFFECT_LAUNCHMISSILE,
    EFFECT_GRABEGG,
    EFFECT_JETPACKHUM,
    EFFECT_JETPACKIGNITE,
    EFFECT_MENUSELECT,
    EFFECT_MISSILEENGINE,
    EFFECT_BOMBDROP,
    EFFECT_DUSTDEVIL,
    EFFECT_LASERBEAM, // 30
    EFFECT_CRYSTALSHATTER,
    EFFECT_RAPTORDEATH,
    EFFECT_RAPTORATTACK,
    EFFECT_BRACHHURT,
    EFFECT_BRACHDEATH,
    EFFECT_DIRT,
    EFFECT_BADSELECT,
    EFFECT_STORY1, // 38
    EFFECT_STORY2,
    EFFECT_STORY3,
    EFFECT_STORY4,
    EFFECT_STORY5,
    EFFECT_STORY6,
    EFFECT_STORY7, // 44
    NUM_EFFECTS
};

inline constexpr int MAX_EFFECTS = 70;         // capacity of the sound-block table
inline constexpr int MAX_EFFECT_CHANNELS = 40; // effect channels opened at start-up
inline constexpr int MAX_LISTENERS = 2;        // one per player pane

// Sound banks: the folder of Data/Audio their files live in.
enum
{
    SOUND_BANK_NONE = 0,
    SOUND_BANK_MAIN = 1,      // "Main": loaded at start-up and kept for the whole run
    SOUND_BANK_NARRATION = 2, // "Narration": loaded by the intro story only
    NUM_SOUND_BANKS
};

// Song numbers: the index in the song table.
enum
{
    SONG_THEME = 0,
    SONG_INTRO,
    SONG_LEVEL1, // forest
    SONG_LEVEL2, // desert
    SONG_LEVEL3, // swamp
    SONG_WIN,
    NUM_SONGS
};

inline constexpr uint32_t kNormalRate = 0x10000; // rate multipliers are 16.16 fixed point
inline constexpr int kFullVolume = 256;          // an effect's left or right volume at full

// One row of the effect table.
struct EffectDefinition
{
    int16_t bank;          // SOUND_BANK_*
    const char* name;      // file name without extension; null for effect 0
    float refVolume;       // scales the distance volume of positional play
    float rumbleLow;       // controller rumble played by RumbleForEffect
    float rumbleHigh;      //
    uint32_t rumbleMillis; // 0: no rumble
};

struct SongDefinition
{
    const char* path; // colon path relative to the data folder
    float volume;
};

extern const EffectDefinition kEffectTable[NUM_EFFECTS];
extern const SongDefinition kSongTable[NUM_SONGS];
extern const char* const kSoundBankFolders[NUM_SOUND_BANKS]; // null, "Main", "Narration"

// Per effect channel: what it plays and the volumes it was given, before the effects volume.
struct EffectChannelInfo
{
    int16_t effectNum; // -1: free
    float volumeAdjust;
    float leftVolume;
    float rightVolume;
};

// Where a player hears from: 300 units in front of the pane's camera, and the way it looks.
struct SoundListener
{
    Point3D ear;
    Vector3D facing;
};

extern EffectChannelInfo gEffectChannelInfo[MAX_EFFECT_CHANNELS];
extern int gEffectChannelCount;
extern int gLastEffectChannel;
extern float gMasterSoundScale; // fades scale both volumes through it
extern float gEffectsVolume;    // effectsVolume preference * 0.01 * gMasterSoundScale
extern float gMusicVolume;      // musicVolume preference * 0.01 * gMasterSoundScale
extern float gSongVolume;       // the volume of the current song's table entry
extern int gCurrentSong;        // -1: none
extern bool gSongPlaying;       // the music channel has a song started
extern SoundListener gListeners[MAX_LISTENERS];

// Start-up and shut-down.
void InitSoundTools();    // opens the effect channels and the music channel, loads the main bank
void ShutdownGameSound(); // silences everything, disposes the effect channels and every bank

// Banks.
void LoadSoundBank(
    int bank); // stops all effects, then (re)loads every effect of the bank; a missing file is fatal
void UnloadSoundBank(int bank); // stops all effects and frees the bank's sound blocks

// Effects. Volumes are 0..256 per side (more is louder, up to 2.5 x), rates 16.16 fixed point;
// a channel index is returned, or -1 when every channel is busy, the effect cannot be heard or the
// sound is not started (tools and tests running gameplay without it).
int16_t PlayEffect_Parms(int16_t effectNum, uint32_t leftVolume, uint32_t rightVolume,
                         uint32_t rateMultiplier);
int16_t PlayEffectCentered(int16_t effectNum); // both sides at 256, normal rate
int16_t PlayEffectAt(int16_t effectNum, const Point3D* where);
int16_t PlayEffectAtRate(int16_t effectNum, const Point3D* where, uint32_t rateMultiplier,
                         float volumeAdjust);
// Re-aims a positional effect at `where` (null: leaves the volumes). True when *channel no longer
// plays this effect (ended, reused, or never started); a reused channel resets *channel to -1. An
// effect gone out of hearing is stopped and *channel reset, with false.
bool FollowEffectChannel(int16_t effectNum, int16_t* channel, const Point3D* where);
int16_t StopEffectChannel(int16_t* channel); // stops it, sets *channel to -1, returns -1
bool StopEffectChannelIfPlaying(int16_t* channel,
                                int16_t effectNum); // stops it only while it plays that effect
void SilenceAllEffects();                           // stops every effect channel
void SetEffectChannelVolume(int16_t channel, float leftVolume, float rightVolume); // scaled by gEffectsVolume
void SetEffectChannelRate(int16_t channel, uint32_t rateMultiplier);
bool IsEffectChannelBusy(int16_t channel);
void RumbleForEffect(int16_t effectNum, int player); // the effect's rumble, if it has one; player -1: all

// Positional volumes of an effect at `where` for the nearest listener (what PlayEffectAt sends).
void CalcPositionalVolumes(int16_t effectNum, const Point3D* where, float volumeAdjust, int32_t* leftVolume,
                           int32_t* rightVolume);
void PlaceListeners(); // one listener per player pane, from the game view's cameras

// Songs.
void PlaySong(int16_t songNum,
              bool loop); // nothing when that song is the current one; a missing file is fatal
void StopSong();

// Volumes, pausing and fades.
void PauseAllSound(bool pause);        // pauses or resumes every effect channel and the music
void ApplyVolumeSettings();            // takes the music and effect volumes from the preferences
void SetSoundMasterScale(float scale); // 0..1 multiplier on every effect and the song (fades)
