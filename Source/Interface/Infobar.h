// Infobar.h: the in-game heads-up display drawn over each player pane: the health, shield and
// jet-fuel gauges, the weapon panel, the rotating mini-map, the lives and egg counters, the race and
// battle indicators, the aiming reticle, pop-up messages, the lens flare and the split-screen divider.
// Everything is drawn in the 2D overlay (Interface/Overlay.h) from the infobar sprite group (64
// images); a sprite number outside the group is fatal.
#pragma once

#include <cstdint>

struct ObjNode;

extern bool gHudHidden;      // F9 hides the HUD of every pane until pressed again
extern int gEggFlashType;    // egg colour whose newest slot flashes, -1 none
extern float gEggFlashTimer; // seconds since SetEggFlash
extern bool gLensFlareOn;    // on at start and at every level start

// Level set-up, after the sprite groups are loaded: the divider and infobar nodes (and the 3D reticle
// in stereo), the gauge meshes and, when the level has a map picture, the map mesh.
void InitInfobar();
// Level end: frees the meshes (and their references on the sprite materials). Harmless twice.
void DisposeInfobar();

// The infobar node's draw routine: the whole HUD of the pane being drawn.
void DrawInfobar(ObjNode* node);

void SetEggFlash(int eggType);           // flashes the newest collected egg of that colour
void ShowHudMessage(int pane, int kind); // 0 win, 1 lose, 2 draw: a picture near the pane's bottom
void ShowLivesMessage(int pane);         // for 2 seconds: one life left, or lives left
void ShowLapNum(int player);             // for 2 seconds: the lap the player has just begun

// Sprites of the infobar group in overlay units; the height follows the image's aspect ratio.
void DrawInfobarSprite(float x, float y, float width, int sprite);                     // top-left at (x, y)
void DrawInfobarSpriteCentered(float x, float y, float width, int sprite);             // centred on (x, y)
void DrawInfobarSpriteRotated(float x, float y, float width, int sprite, float angle); // radians
