// Infobar.cpp: the HUD's nodes and its per-pane draw routine, the sprite drawers every piece uses,
// the pop-up messages and the split-screen divider.
#include "Interface/Infobar.h"

#include "3D/OGL_Support.h"
#include "3D/Sprites.h"
#include "Gameplay/Eggs.h"
#include "Gameplay/Player.h"
#include "Interface/InfobarLocal.h"
#include "Interface/Overlay.h"
#include "Objects/ObjNode.h"
#include "System/Alerts.h"
#include "System/FrameRate.h"
#include "System/Input.h"
#include "System/LevelGlobals.h"
#include "System/Prefs.h"

#include <GL/gl.h>
#include <cmath>

bool gHudHidden = false;
int gEggFlashType = -1;
float gEggFlashTimer = 0;
bool gLensFlareOn = true;
HudAnchors gHud = {0, 0, 640, 480, 320, 240};

constexpr uint16_t kPopUpSlot = 3100;
constexpr uint16_t kDividerSlot = 5999;
constexpr uint16_t kInfobarSlot = 6000;
constexpr float kPopUpSeconds = 2;
constexpr int kHideHudScancode = SDL_SCANCODE_F9;

// --- Egg counts of the level goal ---

int EggsInLevel(int colour)
{
    return colour >= 0 && colour < NUM_EGG_COLORS ? gEggsInLevel[colour] : 0;
}

int EggsDelivered(int colour)
{
    return colour >= 0 && colour < NUM_EGG_COLORS ? gEggsDelivered[colour] : 0;
}

bool AllEggsDelivered()
{
    return gAllEggsDelivered;
}

int LapSprite(int lap)
{
    // Two lap sprites sit before the place sprites; the third lap of a race has a sprite of its own.
    if (lap <= 0)
        return HUD_SPRITE_LAP_1;
    return lap == 1 ? HUD_SPRITE_LAP_2 : HUD_SPRITE_LAP_FINAL;
}

// --- Sprite drawers ---

static const SpriteGroupEntry& InfobarSpriteEntry(int texNum)
{
    GAME_ASSERT(gNumSpritesInGroupList[SPRITE_GROUP_INFOBAR] > texNum);
    GAME_ASSERT(texNum >= 0);
    return gSpriteGroupList[SPRITE_GROUP_INFOBAR][texNum];
}

static float SpriteHeight(const SpriteGroupEntry& entry, float width)
{
    return entry.width > 0 ? width * float(entry.height) / float(entry.width) : width;
}

// One quad from its first corner clockwise, with texture coordinates (0,0), (1,0), (1,1), (0,1).
static void DrawSpriteQuad(const SpriteGroupEntry& entry, const float corners[4][2])
{
    static const float kUVs[4][2] = {{0, 0}, {1, 0}, {1, 1}, {0, 1}};
    MO_DrawMaterial(entry.materialObject);
    glBegin(GL_QUADS);
    for (int i = 0; i < 4; i++) {
        glTexCoord2fv(kUVs[i]);
        glVertex2fv(corners[i]);
    }
    glEnd();
    gFrameStats.drawCalls++;
    gTrianglesDrawn += 2;
}

void DrawInfobarSprite(float x, float y, float width, int sprite)
{
    const SpriteGroupEntry& entry = InfobarSpriteEntry(sprite);
    float height = SpriteHeight(entry, width);
    const float corners[4][2] = {{x, y}, {x + width, y}, {x + width, y + height}, {x, y + height}};
    DrawSpriteQuad(entry, corners);
}

void DrawInfobarSpriteCentered(float x, float y, float width, int sprite)
{
    const SpriteGroupEntry& entry = InfobarSpriteEntry(sprite);
    float height = SpriteHeight(entry, width);
    DrawInfobarSprite(x - width / 2, y - height / 2, width, sprite);
}

void DrawInfobarSpriteRotated(float x, float y, float width, int sprite, float angle)
{
    const SpriteGroupEntry& entry = InfobarSpriteEntry(sprite);
    float w = width / 2, h = SpriteHeight(entry, width) / 2;
    float c = std::cos(angle), s = std::sin(angle);
    const float local[4][2] = {{-w, -h}, {w, -h}, {w, h}, {-w, h}};
    float corners[4][2];
    for (int i = 0; i < 4; i++) {
        corners[i][0] = x + local[i][0] * c - local[i][1] * s;
        corners[i][1] = y + local[i][0] * s + local[i][1] * c;
    }
    DrawSpriteQuad(entry, corners);
}

// --- The per-pane draw ---

// With the fixed layout the HUD keeps to the 4:3 box; otherwise it hangs on the pane's edges.
static void ComputeHudAnchors()
{
    float invScale = gOverlayInvScale;
    if (gPrefs.hudFixedLayout) {
        gHud.left = 0;
        gHud.top = 0;
        gHud.right = 640 * invScale;
        gHud.bottom = 480 * invScale;
    } else {
        gHud.left = gOverlayLeft;
        gHud.top = gOverlayTop;
        gHud.right = gOverlayRight;
        gHud.bottom = gOverlayBottom;
    }
    gHud.centerX = 320 * invScale;
    gHud.centerY = 240 * invScale;
}

static void DrawModeIndicators(int pane)
{
    switch (gPlayMode) {
    case kPlayMode_Adventure: {
        DrawLives(pane);
        int inLevel[NUM_EGG_COLOURS], delivered[NUM_EGG_COLOURS];
        for (int colour = 0; colour < NUM_EGG_COLOURS; colour++) {
            inLevel[colour] = EggsInLevel(colour);
            delivered[colour] = EggsDelivered(colour);
        }
        DrawEggColumns(inLevel, delivered);
        if (gAnaglyphPass == 0) // once a frame, not once an eye
            gEggFlashTimer += gFrameSeconds;
        DrawAdventureMessages();
        break;
    }
    case kPlayMode_Race:
        DrawRaceIndicators(pane);
        DrawRivalArrow(pane);
        break;
    case kPlayMode_Battle:
        DrawLives(pane);
        DrawRivalArrow(pane);
        break;
    case kPlayMode_CaptureTheFlag: {
        int other = 1 - pane;
        DrawCaptureEggRow(pane, EggsInLevel(other), EggsDelivered(other));
        if (gAnaglyphPass == 0) // both panes draw it: each adds its share of the frame
            gEggFlashTimer += gFrameSeconds / float(gNumPanes > 0 ? gNumPanes : 1);
        DrawRivalArrow(pane);
        break;
    }
    default:
        break;
    }
}

void DrawInfobar(ObjNode* node)
{
    (void)node;
    int pane = gCurrentPane;
    if (pane >= gNumPanes || pane >= MAX_PLAYERS)
        return;

    // 1. The lens flare belongs to the view, so it shows even with the HUD hidden.
    DrawLensFlare(pane);

    // 2. F9 hides the HUD of every pane; read once a frame, in pane 0's first eye.
    if (pane == 0 && gAnaglyphPass == 0 && QueryKeyState(kHideHudScancode) == KEYSTATE_PRESSED)
        gHudHidden = !gHudHidden;
    if (gHudHidden)
        return;

    // 3. The overlay at the player's HUD scale, and where its items hang.
    OGL_PushState();
    SetOverlayProjection(0, float(gPrefs.hudScale > 0 ? gPrefs.hudScale : 100) / 100.0f);
    ComputeHudAnchors();

    // 4. Over the world first the reticle, then the panels around the edges.
    DrawAimingReticle(pane);
    DrawWeaponPanel(pane);
    DrawGauges(pane);
    DrawMiniMap(pane);

    // 5. What the game mode counts.
    DrawModeIndicators(pane);

    OGL_PopState();
    gMaterialFlagsOverride = 0;
    gDrawOpacity = 1;
}

// --- The split-screen divider ---

static void DrawSplitDivider(ObjNode* node)
{
    if (gNumPanes != 2 || gSplitScreenMode == 0)
        return;
    uint32_t savedFlagsOverride = gMaterialFlagsOverride;
    OGL_PushState();
    SetOverlayProjection(0, 1);
    OGL_EnableCullFace();
    OGL_DisableTexture2D();
    OGL_SetColor4f(node->Tint.r, node->Tint.g, node->Tint.b, 1);
    glTranslatef(320, 240, 0);

    float halfX, halfY;
    if (gSplitScreenMode == 1) { // stacked panes: a bar across
        halfX = (gOverlayRight - gOverlayLeft) / 2 + 10;
        halfY = 1;
    } else { // side by side: a bar down
        halfX = 1;
        halfY = (gOverlayBottom - gOverlayTop) / 2 + 10;
    }
    // Counter-clockwise as seen, so that culling keeps it.
    glBegin(GL_QUADS);
    glVertex2f(-halfX, -halfY);
    glVertex2f(-halfX, halfY);
    glVertex2f(halfX, halfY);
    glVertex2f(halfX, -halfY);
    glEnd();
    gFrameStats.drawCalls++;
    gTrianglesDrawn += 2;
    OGL_PopState();
    gMaterialFlagsOverride = savedFlagsOverride;
}

// --- Set-up ---

void InitInfobar()
{
    gEggFlashType = -1;
    gEggFlashTimer = 0;
    gLensFlareOn = true;

    ObjectDefinition def = {};
    def.genre = CUSTOM_DRAW_GENRE;
    def.slot = kDividerSlot;
    def.drawProc = DrawSplitDivider;
    def.scale = 1;
    ObjNode* divider = MakeNewObject(&def);
    if (divider) {
        MakeOverlayOnly(divider);
        divider->Tint = {0.02f, 0.03f, 0.08f, 1}; // the ink of the HUD's outlines
    }

    def.slot = kInfobarSlot;
    def.drawProc = DrawInfobar;
    MakeNewObject(&def);

    if (gPrefs.stereoMode != 0)
        MakeStereoReticle();

    MakeInfobarMeshes();
}

void DisposeInfobar()
{
    DisposeInfobarMeshes();
}

void SetEggFlash(int eggType)
{
    gEggFlashType = eggType;
    gEggFlashTimer = 0;
}

// --- Pop-ups ---

// Keeps a pop-up at its place in its pane (the window may change size); timed ones count down,
// which stops while the game is paused since paused frames move nothing.
static void MovePopUp(ObjNode* node)
{
    float top, bottom, left, right;
    GetOverlayRect(node->PaneIndex, 1, &top, &bottom, &left, &right);
    node->Position.x = 320;
    node->Position.y = node->Phase == 0 ? bottom - 80 : 240 + node->FloatSlots[1];
    if (node->Phase == 0)
        return;
    node->FloatSlots[0] -= gFrameSeconds;
    if (node->FloatSlots[0] <= 0)
        DisposeObject(node);
}

// phase 0: stays until the level ends, 80 above the pane's bottom; 1: timed, yOffset below the centre.
static ObjNode* MakePopUp(int pane, int sprite, float scale, int phase, float yOffset)
{
    if (pane < 0 || pane >= gNumPanes)
        return nullptr;
    if (gNumSpritesInGroupList[SPRITE_GROUP_INFOBAR] == 0)
        return nullptr; // no HUD art loaded (tools and tests that run the rules without a level)
    InfobarSpriteEntry(sprite);
    ObjectDefinition def = {};
    def.artGroup = SPRITE_GROUP_INFOBAR;
    def.artIndex = uint8_t(sprite);
    def.slot = kPopUpSlot;
    def.moveProc = MovePopUp;
    def.scale = scale;
    ObjNode* node = MakeSpriteObject(&def, true);
    if (!node)
        return nullptr;
    node->StatusFlags |= NODEBIT_PANE_ONLY;
    node->PaneIndex = uint8_t(pane);
    node->Phase = phase;
    node->FloatSlots[0] = kPopUpSeconds;
    node->FloatSlots[1] = yOffset;
    MovePopUp(node);
    return node;
}

void ShowHudMessage(int pane, int kind)
{
    if (kind < 0 || kind > 2)
        return;
    MakePopUp(pane, HUD_SPRITE_WIN + kind, 230, 0, 0);
}

void ShowLivesMessage(int pane)
{
    if (pane < 0 || pane >= MAX_PLAYERS)
        return;
    int lives = gPlayers[pane].lives;
    if (lives <= 0)
        return;
    MakePopUp(pane, lives == 1 ? HUD_SPRITE_ONE_LIFE_LEFT : HUD_SPRITE_LIVES_LEFT, 170, 1, 75);
}

void ShowLapNum(int player)
{
    if (player < 0 || player >= MAX_PLAYERS)
        return;
    MakePopUp(player, LapSprite(gPlayers[player].lap), 170, 1, -60);
}
