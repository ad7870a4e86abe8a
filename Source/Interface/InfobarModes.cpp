// InfobarModes.cpp: what each game mode counts: lives, the egg columns of the adventure and the egg
// row of capture mode, the race countdown, lap, place and wrong-way sign, the arrow toward the rival
// in the two-player modes, and the adventure's centre messages.
#include "Interface/InfobarLocal.h"

#include "3D/MetaObjects.h"
#include "Gameplay/Camera.h"
#include "Gameplay/Player.h"
#include "Interface/Infobar.h"
#include "System/LevelGlobals.h"
#include "System/ProgramState.h"

#include <algorithm>
#include <cmath>

constexpr int kMaxLivesShown = 20; // more would run off the pane
constexpr float kRivalArrowAngle = 0.8f;

// The newest collected egg flashes for a few seconds after it is delivered.
static void DrawEggFlash(float x, float y, float width)
{
    float t = gEggFlashTimer;
    gDrawOpacity = (std::cos(t * 3 * PI - PI) + 1) * 0.5f * 0.8f;
    DrawInfobarSprite(x, y, width, HUD_SPRITE_EGG_FLASH);
    gDrawOpacity = 1;
}

static bool IsEggFlashing(int colour)
{
    return gEggFlashTimer < EGG_FLASH_SECONDS && colour == gEggFlashType;
}

void DrawLives(int pane)
{
    int lives = std::clamp(int(gPlayers[pane].lives), 0, kMaxLivesShown);
    for (int i = 0; i < lives; i++)
        DrawInfobarSprite(gHud.left + 25 * float(i), gHud.bottom - 37.5f, 25, HUD_SPRITE_LIFE);
}

void DrawEggColumns(const int inLevel[NUM_EGG_COLOURS], const int delivered[NUM_EGG_COLOURS])
{
    int shownColumns = 0;
    for (int colour = 0; colour < NUM_EGG_COLOURS; colour++) {
        int required = inLevel[colour];
        if (required <= 0)
            continue;
        float x = gHud.right - 82 + 14 * float(shownColumns);
        for (int slot = 0; slot < required; slot++) {
            int sprite = slot < delivered[colour] ? HUD_SPRITE_EGG_0 + colour : HUD_SPRITE_EGG_EMPTY;
            DrawInfobarSprite(x, gHud.top + 14 * float(slot), 14, sprite);
        }
        int newest = delivered[colour] - 1;
        if (IsEggFlashing(colour) && newest >= 0 && newest < required)
            DrawEggFlash(x, gHud.top + 14 * float(newest), 14);
        shownColumns++;
    }
}

void DrawCaptureEggRow(int pane, int required, int collected)
{
    int other = 1 - pane;
    int empty = pane == 0 ? HUD_SPRITE_EGG_EMPTY : HUD_SPRITE_EGG_EMPTY_PANE1;
    for (int slot = 0; slot < required; slot++) {
        int sprite = slot < collected ? HUD_SPRITE_EGG_0 + other : empty;
        DrawInfobarSprite(gHud.right - 120 + 23.75f * float(slot), gHud.top, 25, sprite);
    }
    int newest = collected - 1;
    if (IsEggFlashing(other) && newest >= 0 && newest < required)
        DrawEggFlash(gHud.right - 120 + 23.75f * float(newest), gHud.top, 25);
}

void DrawRaceIndicators(int pane)
{
    const PlayerRecord& player = gPlayers[pane];

    // 1. The start countdown: one picture for each of the last two seconds and the first after.
    int k = int(gRaceStartTimer + 1);
    if (k >= 0 && k <= 2)
        DrawInfobarSpriteCentered(gHud.centerX, gHud.bottom - 157.5f, 135, HUD_SPRITE_COUNTDOWN_1 - k);

    // 2. Lap under the gauges, place in the top-right corner until the race is decided.
    DrawInfobarSprite(gHud.left, gHud.top + 43, 60, LapSprite(player.lap));
    if (!gLevelEnding) {
        int place = player.place < 0 ? 0 : std::min(int(player.place), 1);
        DrawInfobarSprite(gHud.right - 60, gHud.top, 60, HUD_SPRITE_PLACE_1 + place);
    }

    // 3. The wrong-way sign over the middle.
    if (player.wrongWay) {
        gDrawOpacity = 0.6f;
        DrawInfobarSpriteCentered(gHud.centerX, gHud.centerY, 80, HUD_SPRITE_WRONG_WAY);
        gDrawOpacity = 1;
    }
}

void DrawRivalArrow(int pane)
{
    if (gNumPanes < 2)
        return;
    const PlayerRecord& self = gPlayers[pane];
    const PlayerRecord& rival = gPlayers[1 - pane];
    if (!self.objNode || !rival.objNode)
        return;

    float dx = rival.coord.x - self.coord.x, dz = rival.coord.z - self.coord.z;
    float mx = self.objNode->MotionDir.x, mz = self.objNode->MotionDir.z;
    float dLength = std::sqrt(dx * dx + dz * dz), mLength = std::sqrt(mx * mx + mz * mz);
    if (dLength <= 0 || mLength <= 0)
        return;
    dx /= dLength, dz /= dLength, mx /= mLength, mz /= mLength;

    // Only when the rival is well off to one side of where this player is going.
    float dot = std::clamp(dx * mx + dz * mz, -1.0f, 1.0f);
    if (std::acos(dot) <= kRivalArrowAngle)
        return;
    gDrawOpacity = 0.8f;
    if (dx * mz - dz * mx > 0)
        DrawInfobarSprite(gHud.left, gHud.centerY, 37.5f, HUD_SPRITE_RIVAL_LEFT);
    else
        DrawInfobarSprite(gHud.right - 37.5f, gHud.centerY, 37.5f, HUD_SPRITE_RIVAL_RIGHT);
    gDrawOpacity = 1;
}

void DrawAdventureMessages()
{
    if (gPlayerDead[0] && gPlayers[0].lives < 1)
        DrawInfobarSpriteCentered(gHud.centerX, gHud.centerY, 200, HUD_SPRITE_GAME_OVER);
    else if (AllEggsDelivered() && !gCameraWatchExit)
        DrawInfobarSpriteCentered(gHud.centerX, gHud.centerY + 80, 150, HUD_SPRITE_FIND_EXIT);
}
