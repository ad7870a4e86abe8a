// The player's settings: one fixed-size record read directly by every subsystem, filled with
// defaults at start-up, overwritten from the "Preferences" file when that file is valid, and
// written back only when it changed.
#pragma once

#include <cstddef>
#include <cstdint>

#include "System/Input.h"
#include "System/Languages.h" // the language indices
#include "System/UserDataFiles.h"

// Stored in the preferences file byte for byte (native byte order): the layout must never move.
struct PrefsType
{
    uint8_t reducedDetail;   // non-zero: smaller supertile window, fewer effects
    uint8_t language;        // kLanguage...
    uint8_t displayNum;      // display for the window
    uint8_t fullscreen;      // desktop full screen
    uint8_t vsync;           // swap interval
    uint8_t msaaLevel;       // 0 off; n gives 2^n samples
    uint8_t showSubtitles;   // subtitles in the story screens
    uint8_t splitScreenMode; // two-player panes: 1 stacked, 2 side by side
    uint8_t hudFixedLayout;  // 1 keeps the infobar inside the 4:3 box
    uint8_t hudScale;        // infobar scale in percent, 50..200
    uint8_t stereoMode;      // 0 off, 1 colour anaglyph, 2 monochrome anaglyph, 3 quad-buffered
    uint8_t anaglyphRed;     // anaglyph filter calibration
    uint8_t anaglyphGreen;
    uint8_t anaglyphBlue;
    uint8_t anaglyphBalance;  // colour-balance switch
    uint8_t showCrosshair;    // the aiming reticle
    uint8_t easyMode;         // skips the damage paths that test it
    uint8_t invertVertical;   // inverts the vertical flight axis
    uint8_t mouseSensitivity; // 10..200
    uint8_t musicVolume;      // percent
    uint8_t effectsVolume;    // percent
    uint8_t rumbleIntensity;  // percent, 0..100 in steps of 25
    InputBinding bindings[NUM_CONTROL_NEEDS];
};

static_assert(sizeof(PrefsType) == 382, "the preferences record is stored in the preferences file");
static_assert(offsetof(PrefsType, reducedDetail) == 0);
static_assert(offsetof(PrefsType, language) == 1);
static_assert(offsetof(PrefsType, displayNum) == 2);
static_assert(offsetof(PrefsType, fullscreen) == 3);
static_assert(offsetof(PrefsType, vsync) == 4);
static_assert(offsetof(PrefsType, msaaLevel) == 5);
static_assert(offsetof(PrefsType, showSubtitles) == 6);
static_assert(offsetof(PrefsType, splitScreenMode) == 7);
static_assert(offsetof(PrefsType, hudFixedLayout) == 8);
static_assert(offsetof(PrefsType, hudScale) == 9);
static_assert(offsetof(PrefsType, stereoMode) == 10);
static_assert(offsetof(PrefsType, anaglyphRed) == 11);
static_assert(offsetof(PrefsType, anaglyphGreen) == 12);
static_assert(offsetof(PrefsType, anaglyphBlue) == 13);
static_assert(offsetof(PrefsType, anaglyphBalance) == 14);
static_assert(offsetof(PrefsType, showCrosshair) == 15);
static_assert(offsetof(PrefsType, easyMode) == 16);
static_assert(offsetof(PrefsType, invertVertical) == 17);
static_assert(offsetof(PrefsType, mouseSensitivity) == 18);
static_assert(offsetof(PrefsType, musicVolume) == 19);
static_assert(offsetof(PrefsType, effectsVolume) == 20);
static_assert(offsetof(PrefsType, rumbleIntensity) == 21);
static_assert(offsetof(PrefsType, bindings) == 22);

extern PrefsType gPrefs;        // the live settings
extern PrefsType gPrefsAsSaved; // the settings as last read or written

// Zeroes the record, then sets the defaults (language and subtitles from the system's locales,
// bindings from the default table).
void ResetPrefsToDefaults();

// Loads the preferences file over gPrefs; a missing or invalid file gives the defaults. Fields
// out of their range take their defaults one by one. gPrefsAsSaved then equals gPrefs.
void ReadPrefsFile();

// Writes the preferences file when gPrefs differs from gPrefsAsSaved; otherwise does nothing.
void WritePrefsFile();

// Forces every out-of-range field of a record to its default; true when anything changed.
bool SanitizePrefs(PrefsType* prefs);
