// TwitchPresets.cpp: the preset table from ":system:twitch.csv". Every line names a preset (or is the
// "PRESET" header); its columns are the class, the axes, the easing, the duration, the amplitude, the
// frequency and phase (in half turns, times pi) and the delay. A name, class or easing the game does not
// know, or a number that does not read as one, stops the game: a preset that silently did nothing
// would hide the typo.
#include "Interface/Twitch.h"

#include "Interface/CSVIterator.h"
#include "System/Alerts.h"
#include "System/DataFiles.h"
#include "System/Memory.h"

#include <cmath>
#include <cstdlib>
#include <cstring>

static Twitch gTwitchPresets[NUM_TWITCH_PRESETS];
bool gTwitchPresetsLoaded = false;

static const char* const kPresetNames[NUM_TWITCH_PRESETS] = {
    nullptr,
    "MenuSelect",
    "MenuDeselect",
    "MenuWiggle",
    "MenuFadeIn",
    "MenuFadeOut",
    "MenuSweep",
    "MenuDarkenPaneResize",
    "MenuDarkenPaneVanish",
    "PadlockWiggle",
    "DisplaceLTR",
    "DisplaceRTL",
    "SlideshowLTR",
    "SlideshowRTL",
    "ItemGain",
    "ItemLoss",
    "RankGain",
    "RankLoss",
    "ArrowheadSpin",
    "GiantArrowheadSpin",
    "WeaponFlip",
    "NewBuff",
    "NewWeapon",
    "POWExpired",
    "LapMessageAppear",
    "LapMessageFadeOut",
    "LapDiffFadeOut",
    "TrackNameFadeOut",
    "FinalPlaceReveal",
    "YourTimeReveal",
    "NewRecordReveal",
    "ScoreboardFadeIn",
    "PressKeyPrompt",
};

static const char* const kClassNames[] = {"Heartbeat",    "Shrink",          "Spin",
                                          "Displace",     "Wiggle",          "AlphaFadeIn",
                                          "AlphaFadeOut", "MultAlphaFadeIn", "MultAlphaFadeOut"};

static const char* const kEasingNames[] = {"Linear",  "InQuad", "OutQuad", "OutCubic",  "InExpo",
                                           "OutExpo", "InBack", "OutBack", "Bounce0To0"};

// Position of an exact (case-sensitive) name in the list, or -1.
template <size_t N> static int FindName(const char* const (&names)[N], const char* name)
{
    for (size_t i = 0; i < N; i++) {
        if (names[i] && std::strcmp(names[i], name) == 0)
            return (int)i;
    }
    return -1;
}

// A decimal number filling the whole field (blanks around it allowed; an empty field is 0).
static float ReadNumber(const char* field, const char* fileName, int row, int column)
{
    char* end = nullptr;
    float value = std::strtof(field, &end);
    while (*end == ' ' || *end == '\t')
        end++;
    bool empty = field[std::strspn(field, " \t")] == '\0';
    if (empty)
        return 0;
    if (*end != '\0' || !std::isfinite(value))
        ShowFatalAlert("%s: row %d, column %d: '%s' is not a number", fileName, row, column, field);
    return value;
}

static void ReadAxes(Twitch* preset, const char* field)
{
    preset->axisX = preset->axisY = preset->axisZ = 0;
    for (const char* c = field; *c; c++) {
        switch (*c) {
        case 'x':
        case 'X':
            preset->axisX = 1;
            break;
        case 'y':
        case 'Y':
            preset->axisY = 1;
            break;
        case 'z':
        case 'Z':
            preset->axisZ = 1;
            break;
        default:
            break; // separators and anything else carry no meaning
        }
    }
    if (!preset->axisX && !preset->axisY && !preset->axisZ)
        preset->axisX = preset->axisY = 1;
}

// One column of a preset's line.
static void ReadPresetColumn(Twitch* preset, int column, const char* field, const char* fileName, int row)
{
    const float pi = 3.14159265f;
    switch (column) {
    case 1: {
        int index = FindName(kClassNames, field);
        if (index < 0)
            ShowFatalAlert("Unknown effect class '%s'", field);
        preset->effectClass = uint8_t(kTwitchClass_Heartbeat + index);
        break;
    }
    case 2:
        ReadAxes(preset, field);
        break;
    case 3: {
        int index = FindName(kEasingNames, field);
        if (index < 0)
            ShowFatalAlert("Unknown easing type '%s'", field);
        preset->easing = uint8_t(kEaseLinear + index);
        break;
    }
    case 4:
        preset->duration = ReadNumber(field, fileName, row, column);
        // A negative duration would never end and hold its pool record for ever.
        if (preset->duration < 0)
            ShowFatalAlert("%s: row %d: the duration %g must not be negative", fileName, row,
                           preset->duration);
        break;
    case 5:
        preset->amplitude = ReadNumber(field, fileName, row, column);
        break;
    case 6:
        preset->frequency = ReadNumber(field, fileName, row, column) * pi;
        break;
    case 7:
        preset->phase = ReadNumber(field, fileName, row, column) * pi;
        break;
    case 8:
        preset->delay = ReadNumber(field, fileName, row, column);
        break;
    default:
        break; // later columns are notes for the designers
    }
}

void ParseTwitchPresets(char* text, const char* fileName)
{
    std::memset(gTwitchPresets, 0, sizeof(gTwitchPresets));
    Twitch* preset = nullptr; // the row the current line fills; null on a header line
    int column = 0, row = 1;
    for (char* cursor = text; cursor;) {
        bool endOfLine = false;
        char* field = CSVIterator(&cursor, &endOfLine);
        if (!field)
            break;
        if (column == 0) {
            int index = FindName(kPresetNames, field);
            if (index > 0) {
                preset = &gTwitchPresets[index];
                std::memset(preset, 0, sizeof(*preset));
                preset->axisX = preset->axisY = 1;
            } else if (std::strcmp(field, "PRESET") == 0) {
                preset = nullptr;
            } else {
                ShowFatalAlert("Unknown twitch preset name '%s'", field);
            }
        } else if (preset) {
            ReadPresetColumn(preset, column, field, fileName, row);
        }
        column++;
        if (endOfLine) {
            column = 0;
            row++;
        }
    }
}

void LoadTwitchPresets()
{
    std::memset(gTwitchPresets, 0, sizeof(gTwitchPresets));
    char* text = LoadDataFile(":system:twitch.csv", nullptr);
    if (text) {
        try {
            ParseTwitchPresets(text, "twitch.csv");
        } catch (...) { // a fatal alert that returns to a caller (tests, the data check)
            SafeDisposePtr(text);
            throw;
        }
        SafeDisposePtr(text);
    }
    gTwitchPresetsLoaded = true;
}

const Twitch* GetTwitchPreset(int preset)
{
    return (unsigned)preset < (unsigned)NUM_TWITCH_PRESETS ? &gTwitchPresets[preset] : nullptr;
}
