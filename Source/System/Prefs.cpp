// The preferences record: its defaults and the check of every field read from a file.

#include "System/Prefs.h"

#include <SDL.h>
#include <cstring>

PrefsType gPrefs;
PrefsType gPrefsAsSaved;

static void SetDefaults(PrefsType* prefs)
{
    std::memset(prefs, 0, sizeof(*prefs));
    prefs->language = uint8_t(DetectSystemLanguage());
    prefs->fullscreen = 1;
    prefs->vsync = 1;
    // Subtitles are on unless the player's first language is English, even when that first
    // language is not one the game speaks.
    prefs->showSubtitles = IsSystemLocaleEnglish() ? 0 : 1;
    prefs->splitScreenMode = 2;
    prefs->hudScale = 100;
    prefs->anaglyphRed = 216;
    prefs->anaglyphGreen = 160;
    prefs->anaglyphBlue = 255;
    prefs->anaglyphBalance = 1;
    prefs->showCrosshair = 1;
    prefs->mouseSensitivity = 100;
    prefs->musicVolume = 70;
    prefs->effectsVolume = 70;
    prefs->rumbleIntensity = 100;
    std::memcpy(prefs->bindings, kDefaultInputBindings, sizeof(prefs->bindings));
}

void ResetPrefsToDefaults()
{
    SetDefaults(&gPrefs);
}

// Sets *field to its default when it lies outside lo..hi; true when it did.
static bool MendByte(uint8_t* field, int lo, int hi, uint8_t defaultValue)
{
    if (*field >= lo && *field <= hi)
        return false;
    *field = defaultValue;
    return true;
}

static bool IsValidPadBinding(PadBinding binding)
{
    switch (binding.type) {
    case kPadBindingNone:
        return binding.id == 0;
    case kPadBindingButton:
        return binding.id < SDL_CONTROLLER_BUTTON_MAX;
    case kPadBindingAxisPlus:
    case kPadBindingAxisMinus:
        return binding.id < SDL_CONTROLLER_AXIS_MAX;
    default:
        return false;
    }
}

// A binding slot that names no key, pad input or mouse input the game knows takes the default of
// that slot, so that no table is ever indexed with it.
static bool MendBinding(InputBinding* binding, const InputBinding& defaults)
{
    bool mended = false;
    for (int i = 0; i < 4; i++) {
        if (binding->key[i] < 0 || binding->key[i] >= NUM_KEY_STATES) {
            binding->key[i] = defaults.key[i];
            mended = true;
        }
        if (!IsValidPadBinding(binding->pad[i])) {
            binding->pad[i] = defaults.pad[i];
            mended = true;
        }
    }
    if (binding->mouseButton >= NUM_MOUSE_STATES) {
        binding->mouseButton = defaults.mouseButton;
        mended = true;
    }
    if (binding->reserved != 0) {
        binding->reserved = 0;
        mended = true;
    }
    return mended;
}

bool SanitizePrefs(PrefsType* prefs)
{
    PrefsType defaults;
    SetDefaults(&defaults);

    bool mended = false;
    mended |= MendByte(&prefs->language, 0, NUM_LANGUAGES - 1, defaults.language);
    mended |= MendByte(&prefs->fullscreen, 0, 1, defaults.fullscreen);
    mended |= MendByte(&prefs->vsync, 0, 1, defaults.vsync);
    mended |= MendByte(&prefs->msaaLevel, 0, 3, defaults.msaaLevel);
    mended |= MendByte(&prefs->showSubtitles, 0, 1, defaults.showSubtitles);
    mended |= MendByte(&prefs->splitScreenMode, 1, 2, defaults.splitScreenMode);
    mended |= MendByte(&prefs->hudFixedLayout, 0, 1, defaults.hudFixedLayout);
    mended |= MendByte(&prefs->hudScale, 50, 200, defaults.hudScale);
    mended |= MendByte(&prefs->stereoMode, 0, 3, defaults.stereoMode);
    mended |= MendByte(&prefs->anaglyphBalance, 0, 1, defaults.anaglyphBalance);
    mended |= MendByte(&prefs->showCrosshair, 0, 1, defaults.showCrosshair);
    mended |= MendByte(&prefs->easyMode, 0, 1, defaults.easyMode);
    mended |= MendByte(&prefs->invertVertical, 0, 1, defaults.invertVertical);
    mended |= MendByte(&prefs->mouseSensitivity, 10, 200, defaults.mouseSensitivity);
    mended |= MendByte(&prefs->musicVolume, 0, 100, defaults.musicVolume);
    mended |= MendByte(&prefs->effectsVolume, 0, 100, defaults.effectsVolume);
    mended |= MendByte(&prefs->rumbleIntensity, 0, 100, defaults.rumbleIntensity);
    for (int need = 0; need < NUM_CONTROL_NEEDS; need++)
        mended |= MendBinding(&prefs->bindings[need], defaults.bindings[need]);
    return mended;
}
