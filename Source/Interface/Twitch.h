// Twitch effects: short data-driven animations of a node (its puppet) - a pop, a shrink, a flip, a
// slide, a wiggle or a fade - shaped by an easing curve. The presets come from ":system:twitch.csv".
// Up to four twitches run on one puppet through one invisible driver node that moves right after the
// puppet (its slot is one higher): it applies every twitch to the puppet's position, scale and
// opacity, builds the puppet's transform from them and then puts position, rotation and scale back,
// so displacement and scaling show but never accumulate. Opacity changes persist.
#pragma once

#include <cstdint>

struct ObjNode;

// One list of names whose value is the position: 0 none, then the presets, the classes, the easings.
enum
{
    kTwitch_None = 0,

    kTwitchPreset_MenuSelect = 1,
    kTwitchPreset_MenuDeselect,
    kTwitchPreset_MenuWiggle,
    kTwitchPreset_MenuFadeIn,
    kTwitchPreset_MenuFadeOut,
    kTwitchPreset_MenuSweep,
    kTwitchPreset_MenuDarkenPaneResize,
    kTwitchPreset_MenuDarkenPaneVanish,
    kTwitchPreset_PadlockWiggle,
    kTwitchPreset_DisplaceLTR,
    kTwitchPreset_DisplaceRTL,
    kTwitchPreset_SlideshowLTR,
    kTwitchPreset_SlideshowRTL,
    kTwitchPreset_ItemGain,
    kTwitchPreset_ItemLoss,
    kTwitchPreset_RankGain,
    kTwitchPreset_RankLoss,
    kTwitchPreset_ArrowheadSpin,
    kTwitchPreset_GiantArrowheadSpin,
    kTwitchPreset_WeaponFlip,
    kTwitchPreset_NewBuff,
    kTwitchPreset_NewWeapon,
    kTwitchPreset_POWExpired,
    kTwitchPreset_LapMessageAppear,
    kTwitchPreset_LapMessageFadeOut,
    kTwitchPreset_LapDiffFadeOut,
    kTwitchPreset_TrackNameFadeOut,
    kTwitchPreset_FinalPlaceReveal,
    kTwitchPreset_YourTimeReveal,
    kTwitchPreset_NewRecordReveal,
    kTwitchPreset_ScoreboardFadeIn,
    kTwitchPreset_PressKeyPrompt,

    kTwitchClass_Heartbeat = 33, // scale from amplitude x size to the normal size
    kTwitchClass_Shrink,         // scale from amplitude x size to almost nothing
    kTwitchClass_Spin,           // a flip: scale follows a cosine, never edge-on
    kTwitchClass_Displace,       // starts displaced by amplitude, returns home
    kTwitchClass_Wiggle,         // a decaying wobble
    kTwitchClass_AlphaFadeIn,    // opacity from 0 to the opacity at the start
    kTwitchClass_AlphaFadeOut,   // opacity from the opacity at the start to 0
    kTwitchClass_MultAlphaFadeIn,
    kTwitchClass_MultAlphaFadeOut,

    kEaseLinear = 42,
    kEaseInQuad,
    kEaseOutQuad,
    kEaseOutCubic,
    kEaseInExpo,
    kEaseOutExpo,
    kEaseInBack,
    kEaseOutBack,
    kEaseBounce0To0,
};

constexpr int NUM_TWITCH_PRESETS = kTwitchPreset_PressKeyPrompt + 1; // row 0 stays empty
constexpr int MAX_TWITCHES = 256;
constexpr int MAX_TWITCH_CHAIN_LENGTH = 4;

// Combined with the preset number (the low 8 bits) in MakeTwitch's second argument.
constexpr int kTwitchFlags_Chain = 0x100;            // add to the running twitches instead of replacing
constexpr int kTwitchFlags_KillPuppet = 0x200;       // delete the puppet when its last twitch ends
constexpr int kTwitchFlags_HideUntilStarted = 0x400; // the puppet shows once a twitch is past its delay

// A preset row and a running twitch.
struct Twitch
{
    uint8_t effectClass; // kTwitchClass_...; 0 in an empty preset row
    uint8_t easing;      // kEase...
    uint8_t axisX, axisY, axisZ;
    float duration;  // seconds; 0 counts as 1
    float amplitude; // the class's strength
    float frequency; // radians
    float phase;     // radians; the absolute fades keep the opacity at the start here
    float delay;     // seconds from the twitch's start before it moves
};

extern bool gTwitchPresetsLoaded;
extern bool gTwitchPtrPoolInitialized;

// Start-up: loads the presets from twitch.csv (a missing file leaves every preset empty) and fills the
// pool with all its records. Bad data in the file is fatal.
void InitTwitchSystem();

// Loads the preset table from ":system:twitch.csv"; every preset stays empty when the file is missing.
void LoadTwitchPresets();

// Loads the preset table from the text of a twitch.csv (written over in place); `fileName` names it in
// messages.
void ParseTwitchPresets(char* text, const char* fileName);

// The preset row of a preset number (0 .. 32); null beyond.
const Twitch* GetTwitchPreset(int preset);

// Starts a preset on the puppet and returns the running record, which the caller may still adjust
// (delay, amplitude). Null for a null puppet, when chaining onto a puppet that already runs four
// twitches, or when the pool is empty. Without kTwitchFlags_Chain the puppet's running twitches stop
// where they are. A preset number above 32 is fatal.
Twitch* MakeTwitch(ObjNode* puppet, int presetAndFlags);

void MoveTwitchDriver(ObjNode* driver); // the driver node's move routine
void DisposeTwitch(Twitch* twitch);     // back to the pool

int CountFreeTwitches(); // records left in the pool
