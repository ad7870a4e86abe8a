// What the infobar's files share: the sprite numbers of the infobar group, the anchors of the pane
// being drawn, and the pieces DrawInfobar draws in order (each in overlay units, state already set).
#pragma once

#include <cstdint>

// Sprites of the infobar group.
enum
{
    HUD_SPRITE_DIGIT_0 = 0, // 0-9 the ammunition digits
    HUD_SPRITE_CHARGE_MARK = 10,
    HUD_SPRITE_LIFE = 11,
    HUD_SPRITE_EGG_EMPTY = 12,
    HUD_SPRITE_EGG_0 = 13, // 13-17 one per egg colour
    HUD_SPRITE_EGG_EMPTY_PANE1 = 18,
    HUD_SPRITE_WEAPON_PANEL = 19,
    HUD_SPRITE_WEAPON_PLATE = 20,
    HUD_SPRITE_WEAPON_ICON_0 = 21, // 21-25 one per weapon
    HUD_SPRITE_RETICLE_DOT = 26,
    HUD_SPRITE_RETICLE_RING = 27,
    HUD_SPRITE_RETICLE_ARC = 28,
    HUD_SPRITE_RETICLE_EGG = 29,
    HUD_SPRITE_MAP_RIVAL = 30, // the other player's dot on the mini-map
    HUD_SPRITE_MAP_SELF = 31,  // this player's arrow at the mini-map's centre
    HUD_SPRITE_WIN = 32,       // 32-34 win, lose, draw
    HUD_SPRITE_COUNTDOWN_3 = 35,
    HUD_SPRITE_COUNTDOWN_2 = 36,
    HUD_SPRITE_COUNTDOWN_1 = 37,
    HUD_SPRITE_LAP_1 = 38,
    HUD_SPRITE_LAP_2 = 39,
    HUD_SPRITE_PLACE_1 = 40, // 40 + place
    HUD_SPRITE_PLACE_2 = 41,
    HUD_SPRITE_LAP_FINAL = 42,
    HUD_SPRITE_WRONG_WAY = 43,
    HUD_SPRITE_ONE_LIFE_LEFT = 44,
    HUD_SPRITE_LIVES_LEFT = 45,
    HUD_SPRITE_MAP_FRAME = 46,
    HUD_SPRITE_MAP_GLOW = 47,
    HUD_SPRITE_ROUND_MASK = 48,
    HUD_SPRITE_MAP_BACKING = 49,
    HUD_SPRITE_HEALTH_FILL = 50,
    HUD_SPRITE_FUEL_FILL = 51,
    HUD_SPRITE_SHIELD_FILL = 52,
    HUD_SPRITE_HEALTH_FRAME = 53,
    HUD_SPRITE_GAUGE_SHINE = 54,
    HUD_SPRITE_SHADOW = 55,
    HUD_SPRITE_FUEL_FRAME = 56,
    HUD_SPRITE_SHIELD_FRAME = 57,
    HUD_SPRITE_LOADING = 58,
    HUD_SPRITE_GAME_OVER = 59,
    HUD_SPRITE_FIND_EXIT = 60,
    HUD_SPRITE_RIVAL_LEFT = 61,
    HUD_SPRITE_RIVAL_RIGHT = 62,
    HUD_SPRITE_EGG_FLASH = 63,
    NUM_HUD_SPRITES = 64
};

constexpr int NUM_EGG_COLOURS = 5;
constexpr float EGG_FLASH_SECONDS = 4.66f;

// Where the HUD's items hang in the pane being drawn, in overlay units: the edges (or the 4:3 box
// with the fixed layout) and the centre of the logical screen.
struct HudAnchors
{
    float left, top, right, bottom;
    float centerX, centerY;
};

extern HudAnchors gHud;

// The lap sprite of a lap number (0 first); laps past the last sprite show the final-lap sprite.
int LapSprite(int lap);

// The egg counts of the level goal, per colour.
int EggsInLevel(int colour);
int EggsDelivered(int colour);
bool AllEggsDelivered();

// --- The pieces, in the order DrawInfobar draws them (InfobarGauges.cpp, InfobarModes.cpp,
//     InfobarReticle.cpp, InfobarFlare.cpp) ---
void DrawLensFlare(int pane);
void DrawAimingReticle(int pane);
void DrawWeaponPanel(int pane);
void DrawGauges(int pane);
void DrawMiniMap(int pane);
void DrawLives(int pane);
// One column per colour with eggs: inLevel[colour] slots, the first delivered[colour] filled.
void DrawEggColumns(const int inLevel[NUM_EGG_COLOURS], const int delivered[NUM_EGG_COLOURS]);
// Capture mode: the other player's eggs as a row of slots.
void DrawCaptureEggRow(int pane, int required, int collected);
void DrawRaceIndicators(int pane);
void DrawRivalArrow(int pane);
void DrawAdventureMessages();

// --- Meshes (InfobarGauges.cpp) ---
void MakeInfobarMeshes();
void DisposeInfobarMeshes();

// --- The stereo reticle (InfobarReticle.cpp) ---
void MakeStereoReticle();
