// The effect table, the song table and the bank folders.

#include "Sound/GameSound.h"

const char* const kSoundBankFolders[NUM_SOUND_BANKS] = {nullptr, "Main", "Narration"};

// bank, file name, reference volume, rumble low, rumble high, rumble milliseconds
const EffectDefinition kEffectTable[NUM_EFFECTS] = {
    {SOUND_BANK_NONE, nullptr, 1.0f, 0, 0, 0},
    {SOUND_BANK_MAIN, "CHANGESELECT", 1.0f, 0, 0, 0},
    {SOUND_BANK_MAIN, "GETPOW", 1.0f, 0, 0.7f, 150},
    {SOUND_BANK_MAIN, "SPLASH", 1.0f, 0, 0, 0},
    {SOUND_BANK_MAIN, "TURRETEXPLOSION", 2.0f, 0, 0, 0},
    {SOUND_BANK_MAIN, "IMPACTSIZZLE", 1.0f, 0, 0, 0},
    {SOUND_BANK_MAIN, "SHIELD", 1.0f, 1.0f, 1.0f, 300},
    {SOUND_BANK_MAIN, "MINEEXPLODE", 3.0f, 0, 0, 0},
    {SOUND_BANK_MAIN, "PLANECRASH", 1.0f, 1.0f, 1.0f, 1000},
    {SOUND_BANK_MAIN, "TURRETFIRE", 0.6f, 0, 0, 0},
    {SOUND_BANK_MAIN, "STUNGUN", 0.7f, 0, 0.9f, 50},
    {SOUND_BANK_MAIN, "ROCKETLAUNCH", 1.0f, 0, 1.0f, 180},
    {SOUND_BANK_MAIN, "WEAPONCHARGE", 1.0f, 0, 0, 0},
    {SOUND_BANK_MAIN, "FLARESHOOT", 1.0f, 0, 1.0f, 180},
    {SOUND_BANK_MAIN, "CHANGEWEAPON", 1.0f, 0, 0, 0},
    {SOUND_BANK_MAIN, "SONICSCREAM", 1.0f, 0, 0, 0},
    {SOUND_BANK_MAIN, "ELECTRODEHUM", 0.5f, 0, 0, 0},
    {SOUND_BANK_MAIN, "WORMHOLE", 1.0f, 0, 0, 0},
    {SOUND_BANK_MAIN, "WORMHOLEVANISH", 1.6f, 0.5f, 0, 750},
    {SOUND_BANK_MAIN, "WORMHOLEAPPEAR", 1.6f, 0, 0, 0},
    {SOUND_BANK_MAIN, "EGGINTOWORMHOLE", 1.0f, 0.5f, 0, 750},
    {SOUND_BANK_MAIN, "BODYHIT", 1.0f, 1.0f, 1.0f, 300},
    {SOUND_BANK_MAIN, "LAUNCHMISSILE", 0.7f, 0, 1.0f, 180},
    {SOUND_BANK_MAIN, "GRABEGG", 0.7f, 0, 0.9f, 100},
    {SOUND_BANK_MAIN, "JETPACKHUM", 0.8f, 0.5f, 0, 100},
    {SOUND_BANK_MAIN, "JETPACKIGNITE", 0.6f, 0, 0, 0},
    {SOUND_BANK_MAIN, "MENUSELECT", 0.15f, 0, 0, 0},
    {SOUND_BANK_MAIN, "MISSILEENGINE", 0.6f, 0, 0, 0},
    {SOUND_BANK_MAIN, "BOMBDROP", 1.0f, 0, 1.0f, 180},
    {SOUND_BANK_MAIN, "DUSTDEVIL", 1.0f, 0, 0, 0},
    {SOUND_BANK_MAIN, "LASERBEAM", 0.7f, 0, 0, 0},
    {SOUND_BANK_MAIN, "CRYSTALSHATTER", 1.5f, 0, 0, 0},
    {SOUND_BANK_MAIN, "RAPTORDEATH", 0.8f, 0, 0, 0},
    {SOUND_BANK_MAIN, "RAPTORATTACK", 1.0f, 0, 0, 0},
    {SOUND_BANK_MAIN, "BRACHHURT", 1.2f, 0, 0, 0},
    {SOUND_BANK_MAIN, "BRACHDEATH", 1.0f, 0, 0, 0},
    {SOUND_BANK_MAIN, "DIRT", 1.0f, 0, 0, 0},
    {SOUND_BANK_MAIN, "BADSELECT", 1.0f, 0, 0, 0},
    {SOUND_BANK_NARRATION, "STORY1", 1.0f, 0, 0, 0},
    {SOUND_BANK_NARRATION, "STORY2", 1.0f, 0, 0, 0},
    {SOUND_BANK_NARRATION, "STORY3", 1.0f, 0, 0, 0},
    {SOUND_BANK_NARRATION, "STORY4", 1.0f, 0, 0, 0},
    {SOUND_BANK_NARRATION, "STORY5", 1.0f, 0, 0, 0},
    {SOUND_BANK_NARRATION, "STORY6", 1.0f, 0, 0, 0},
    {SOUND_BANK_NARRATION, "STORY7", 1.0f, 0, 0, 0},
};

const SongDefinition kSongTable[NUM_SONGS] = {
    {":audio:theme.mp3", 1.0f},      {":audio:introsong.mp3", 1.0f},  {":audio:level1song.mp3", 1.1f},
    {":audio:level2song.mp3", 1.0f}, {":audio:level3song.mp3", 1.0f}, {":audio:winsong.mp3", 1.0f},
};
