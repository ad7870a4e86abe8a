// The level-intro scene: the pterosaur on its jet pack hanging over a turning field of stars, a
// giant worm of light winding through the dark behind it. The same scene serves as the attract
// screen (press a key), the credits, the start of a level and the stop between levels, where the
// player may save.

#include "Screens/Screens.h"
#include "Screens/ScreensLocal.h"

#include "3D/Atlas.h"
#include "3D/MetaObjects.h"
#include "3D/OGL_Support.h"
#include "3D/Sprites.h"
#include "3D/TQ3D.h"
#include "Gameplay/Effects.h"
#include "Gameplay/Player.h"
#include "Interface/LocalizedStrings.h"
#include "Interface/Menu.h"
#include "Interface/StringIDs.h"
#include "Objects/DisplayGroups.h"
#include "Objects/ObjNode.h"
#include "Skeleton/Skeleton.h"
#include "Sound/GameSound.h"
#include "System/Fades.h"
#include "System/FrameRate.h"
#include "System/Input.h"
#include "System/LevelGlobals.h"
#include "System/Log.h"
#include "System/MenuTables.h"
#include "System/Prefs.h"
#include "System/Random.h"
#include "System/SaveSlots.h"

#include <GL/gl.h>
#include <cmath>
#include <initializer_list>

// --- The scene ---
static constexpr float kBackdropHalfSize = 10000;
static constexpr float kBackdropDepth = -5500; // along -z, the way the camera looks
static constexpr float kBackdropRepeats = 6;
static constexpr float kBackdropTurnRate = 0.6f; // radians per second
static constexpr float kWormScale = 26;
static constexpr float kWormGirth = 2.5f; // stretched this long, the body needs to be fatter to read as one
static constexpr float kWormJointSpacing = 350;
static constexpr float kWormSway = 80;       // sideways, times the joint number
static constexpr float kWormTimeRate = 0.6f; // the sway's time per second
static constexpr float kPlayerScale = 0.6f;
static constexpr float kPlayerAnimSpeed = 2;
static constexpr float kCameraBack = 500;
static constexpr Point3D kPlayerSpot = {160, 60, 0};
static constexpr Point3D kWormStart = {-700, -150, -900};
static constexpr Point3D kPlanetSpot = {2400, 900, -4200};
static constexpr float kNozzleX = 9, kNozzleY = -6;

// --- The texts ---
static constexpr float kPromptScale = 0.35f;
static constexpr float kCreditRoleY = 400;
static constexpr float kCreditNameGap = 32;
static constexpr float kCreditPairSeconds = 4;
static constexpr float kCreditFadeIn = 0.2f, kCreditFadeOutStart = 3.2f, kCreditGone = 3.5f;
static constexpr float kLevelStartSeconds = 5;

static const struct
{
    const char* role;
    const char* name;
} kCredits[] = {
    {"PROGRAMMING & DESIGN", "Tamsin Achterberg"},
    {"ART & DESIGN", "Orrin Valdecasas"},
    {"MUSIC", "Lieke Morrow-Sand"},
    {"ANIMATION", "Pell Ingarsson"},
    {"ILLUSTRATOR", "Sabeth Quillan"},
    {"COLORIST", "Noor Halloway"},
    {"ADDITIONAL PROGRAMMING", "Ivo Castellane"},
};
static constexpr int kCreditCount = int(sizeof(kCredits) / sizeof(kCredits[0]));

static struct
{
    int mode;
    float time; // seconds since the scene began
    GLuint starTexture;
    ObjNode* player;
    int16_t flameGroup;
    uint32_t flameStamp;
    ObjNode* creditTexts[kCreditCount][2];
    ObjNode* logo;
    ObjNode* prompt;
} gIntro;

// --- The backdrop: a wall of stars far behind the scene, turning about the line of sight ---

static void DrawStarBackdrop(ObjNode* node)
{
    OGL_PushState();
    OGL_DisableLighting();
    OGL_DisableCullFace();
    OGL_DisableBlend();
    OGL_Texture_SetOpenGLTexture(gIntro.starTexture);
    OGL_SetColor4f(1, 1, 1, 1);
    glMatrixMode(GL_MODELVIEW);
    glRotatef(node->Rotation.z * 57.29578f, 0, 0, 1);
    glBegin(GL_QUADS);
    glTexCoord2f(0, 0);
    glVertex3f(-kBackdropHalfSize, kBackdropHalfSize, kBackdropDepth);
    glTexCoord2f(kBackdropRepeats, 0);
    glVertex3f(kBackdropHalfSize, kBackdropHalfSize, kBackdropDepth);
    glTexCoord2f(kBackdropRepeats, kBackdropRepeats);
    glVertex3f(kBackdropHalfSize, -kBackdropHalfSize, kBackdropDepth);
    glTexCoord2f(0, kBackdropRepeats);
    glVertex3f(-kBackdropHalfSize, -kBackdropHalfSize, kBackdropDepth);
    glEnd();
    OGL_PopState();
}

static void TurnStarBackdrop(ObjNode* node)
{
    node->Rotation.z += kBackdropTurnRate * gFrameSeconds;
}

static void MakeStarBackdrop()
{
    gIntro.starTexture =
        OGL_TextureMap_LoadImageFile(":sprites:textures:stardome", nullptr, nullptr, nullptr);
    glBindTexture(GL_TEXTURE_2D, gIntro.starTexture);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_WRAP_S, GL_REPEAT); // tiled six times each way
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_WRAP_T, GL_REPEAT);

    ObjectDefinition def = {};
    def.genre = CUSTOM_DRAW_GENRE;
    def.slot = 1;
    def.scale = 1;
    def.statusFlags = NODEBIT_NO_CULLING;
    def.moveProc = TurnStarBackdrop;
    def.drawProc = DrawStarBackdrop;
    MakeNewObject(&def);
}

// --- The worm: its joints laid along a waving line into the distance ---

static void MoveWorm(ObjNode* worm)
{
    SkeletonInstance* skeleton = worm->Skeleton;
    float sway = gIntro.time * kWormTimeRate;
    for (int joint = 0; joint < skeleton->info->numJoints; joint++) {
        float k = float(joint);
        // The body's rest axis (+y) lies along -z, each joint a step further away.
        Matrix4x4 scale, turn, both, move;
        MatrixScale(&scale, kWormScale * kWormGirth, kWormScale, kWormScale * kWormGirth);
        MatrixRotateX(&turn, -1.5707964f);
        MatrixMultiply(&scale, &turn, &both);
        MatrixTranslate(&move, kWormStart.x + std::sin(sway + 0.16f * k) * kWormSway * k,
                        kWormStart.y + std::cos(sway * 0.7f + 0.3f * k) * 30 * k,
                        kWormStart.z - kWormJointSpacing * k);
        MatrixMultiply(&both, &move, &skeleton->jointMatrices[joint]);
    }
}

static void MakeWorm()
{
    ObjectDefinition def = {};
    def.artIndex = SKELETON_TYPE_BONUSWORM;
    def.position = kWormStart;
    def.slot = 100;
    def.scale = kWormScale;
    def.statusFlags = NODEBIT_NO_CULLING;
    def.moveProc = MoveWorm;
    ObjNode* worm = MakeNewSkeletonBaseData(&def);
    worm->Skeleton->jointsExternal = true;
    MoveWorm(worm);
}

// --- The player on its jet pack, with flames at the nozzles ---

static void MoveIntroPlayer(ObjNode* player)
{
    // A gentle bob and roll, as if riding the air.
    player->Position.y = kPlayerSpot.y + std::sin(gIntro.time * 1.3f) * 12;
    player->Rotation.z = std::sin(gIntro.time * 0.9f) * 0.12f;
    player->Rotation.x = std::sin(gIntro.time * 0.7f) * 0.05f;
    RebuildNodeTransform(player);
}

static void MoveJetPackPart(ObjNode* part)
{
    ObjNode* player = part->ChainRoot;
    part->Position = player->Position;
    part->Rotation = player->Rotation;
    part->Scale = player->Scale;
    RebuildNodeTransform(part);
}

static void AppendJetPackPart(ObjNode* player, int model, int slot, uint32_t flags, float opacity)
{
    ObjectDefinition def = {};
    def.artGroup = MODEL_GROUP_PLAYERPARTS;
    def.artIndex = uint8_t(model);
    def.position = player->Position;
    def.statusFlags = NODEBIT_ROT_XZY | NODEBIT_NO_CULLING | flags;
    def.slot = int16_t(slot);
    def.moveProc = MoveJetPackPart;
    def.scale = player->Scale.x;
    ObjNode* part = MakeNewDisplayGroupObject(&def);
    part->Tint.a = opacity;
    AppendNodeToChain(player, part);
}

static void MakeIntroPlayer()
{
    ObjectDefinition def = {};
    def.artIndex = SKELETON_TYPE_PLAYER;
    def.startAnim = PLAYER_ANIM_FLY;
    def.position = kPlayerSpot;
    def.slot = 200;
    def.scale = kPlayerScale;
    def.statusFlags = NODEBIT_ROT_XZY | NODEBIT_NO_CULLING;
    def.moveProc = MoveIntroPlayer;
    ObjNode* player = MakeNewSkeletonBaseData(&def);
    player->Skeleton->animSpeed = kPlayerAnimSpeed;
    AppendJetPackPart(player, 0, 3000, 0, 1);
    AppendJetPackPart(player, 1, 3001, NODEBIT_ADDITIVE | NODEBIT_DEPTH_WRITE_OFF, 0.99f);
    gIntro.player = player;
}

// Two small flames a frame, one under each nozzle, drifting back and fading.
static void EmitJetFlames(ObjNode*)
{
    if (!IsParticleGroupCurrent(gIntro.flameGroup, gIntro.flameStamp)) {
        ParticleGroupSpec spec = {};
        spec.stamp = gIntro.flameStamp = RandomU32();
        spec.flags = PGROUP_IGNORE_GROUND;
        spec.baseSize = 7;
        spec.shrinkRate = 2.5f;
        spec.fadeSpeed = 3;
        spec.spriteIndex = PARTICLE_SObjType_Fireball;
        spec.blendSource = EFFECT_BLEND_SRC_ALPHA;
        spec.blendDest = EFFECT_BLEND_ONE;
        gIntro.flameGroup = CreateParticleGroup(&spec);
        if (gIntro.flameGroup < 0)
            return;
    }
    for (float side : {-1.0f, 1.0f}) {
        Point3D nozzle = {side * kNozzleX, kNozzleY, 0}, where;
        TransformPoint(&nozzle, &gIntro.player->Transform, &where);
        Vector3D drift = {RandomSigned() * 10, -60 + RandomSigned() * 10, 120};
        ParticleSpec particle = {gIntro.flameGroup, &where, &drift, 1, RandomUnit() * 6.28f, 3, 0.9f};
        AddParticleToGroup(&particle);
    }
}

static void MakeFlameEmitter()
{
    ObjectDefinition def = {};
    def.genre = INVISIBLE_GENRE;
    def.slot = 3002; // after the player has moved
    def.scale = 1;
    def.moveProc = EmitJetFlames;
    MakeNewObject(&def);
    gIntro.flameGroup = -1;
}

static void MakePlanet()
{
    ObjectDefinition def = {};
    def.artGroup = MODEL_GROUP_LEVELINTRO;
    def.artIndex = 0;
    def.position = kPlanetSpot;
    def.slot = 50;
    def.scale = 1.6f;
    def.statusFlags = NODEBIT_NO_CULLING;
    ObjNode* planet = MakeNewDisplayGroupObject(&def);
    planet->Rotation = {0.2f, 0.5f, 0.15f};
    RebuildNodeTransform(planet);
}

// --- The scene's clock and camera ---

static void MoveSceneClock(ObjNode*)
{
    gIntro.time += gFrameSeconds;
}

static void PlaceIntroCamera(ObjNode*)
{
    const Point3D& at = gIntro.player->Position;
    Point3D from = {at.x * 0.5f, at.y * 0.5f, at.z + kCameraBack};
    OGL_UpdateCameraFromTo(&from, &at, 0);
}

static void SetUpIntroView()
{
    ViewSetupRecord setup;
    OGL_NewViewSetup(&setup);
    setup.clearScreen = true;
    setup.clearColor[0] = setup.clearColor[1] = setup.clearColor[2] = 0;
    setup.clearColor[3] = 1;
    setup.nearClip = 50;
    setup.farClip = 8000;
    setup.fov = 1.1f;
    setup.useFog = true;
    setup.fogStart = 7200;
    setup.fogEnd = 8000;
    setup.fogMode = GL_LINEAR;
    float ambient = gPrefs.stereoMode != 0 ? 0.8f : 0.3f; // the glasses darken the picture
    setup.ambientColor[0] = setup.ambientColor[1] = setup.ambientColor[2] = ambient;
    if (gPrefs.stereoMode != 0) {
        setup.lightCount = 1;
        setup.lightColor[0][0] = setup.lightColor[0][1] = setup.lightColor[0][2] = 1;
    }
    gNumPanes = 1;
    OGL_SetupGameView(&setup);
}

// --- The texts of each mode ---

static ObjNode* MakeLogo(float x, float y, float scale, bool centered)
{
    ObjectDefinition def = {};
    def.artGroup = SPRITE_GROUP_LEVELSPECIFIC;
    def.position = {x, y, 0};
    def.slot = 6000;
    def.scale = scale;
    def.statusFlags = NODEBIT_NO_CULLING;
    ObjNode* logo = MakeSpriteObject(&def, centered);
    MakeOverlayOnly(logo);
    return logo;
}

static void PulsePrompt(ObjNode* prompt)
{
    prompt->Tint.a = 0.66f + 0.33f * std::sin(4 * gIntro.time);
}

static void MakePressAKeyTexts()
{
    int text = gGamepadLastUsed ? STR_PRESS_A_BUTTON : STR_PRESS_ANY_KEY;
    gIntro.prompt = MakeScreenText(GetLocalizedString(text), 320, 450, kPromptScale, 6001);
    gIntro.prompt->MoveProc = PulsePrompt;
    MakeLogo(20, 20, 150, false);
}

// A credit line's opacity at `age` seconds after its pair began (the last pair stays).
static float CreditOpacity(float age, bool lastPair)
{
    if (age < 0)
        return 0;
    if (age < kCreditFadeIn)
        return age / kCreditFadeIn;
    if (lastPair || age < kCreditFadeOutStart)
        return 1;
    if (age < kCreditGone)
        return 1 - (age - kCreditFadeOutStart) / (kCreditGone - kCreditFadeOutStart);
    return 0;
}

static void MoveCredits(ObjNode*)
{
    for (int k = 0; k < kCreditCount; k++) {
        float opacity = CreditOpacity(gIntro.time - kCreditPairSeconds * float(k), k == kCreditCount - 1);
        for (ObjNode* line : gIntro.creditTexts[k])
            line->Tint.a = opacity;
    }
    float lastShown = gIntro.time - kCreditPairSeconds * float(kCreditCount - 1);
    gIntro.logo->Tint.a = CreditOpacity(lastShown - kCreditFadeIn, true);
}

static void MakeCreditTexts()
{
    MakeBottomGradient(200, 5000);
    for (int k = 0; k < kCreditCount; k++) {
        ObjNode* role = MakeScreenText(kCredits[k].role, 320, kCreditRoleY, 0.4f, 6001);
        role->Tint = {1, 0.6f, 0.2f, 0};
        ObjNode* name = MakeScreenText(kCredits[k].name, 320, kCreditRoleY + kCreditNameGap, 0.6f, 6001);
        name->Tint.a = 0;
        gIntro.creditTexts[k][0] = role;
        gIntro.creditTexts[k][1] = name;
    }
    gIntro.logo = MakeLogo(320, 330, 250, true);
    gIntro.logo->Tint.a = 0;

    ObjectDefinition def = {};
    def.genre = INVISIBLE_GENRE;
    def.slot = 5999;
    def.scale = 1;
    def.moveProc = MoveCredits;
    MakeNewObject(&def);
}

static void OpenSaveMenu()
{
    gSavePromptNextLevel = gLevelIndex;
    MakeMouseCursorObject();
    MenuStyle style = MakeMainMenuStyle();
    style.textScale *= 0.75f;
    style.rowPitch *= 0.75f;
    style.centerY = 240;
    StartMenuNavigation(GetLevelIntroTable(), &style);
}

// The 'sf#n' outcomes of the save menu name the slot.
static void SaveIntoChosenSlot(int32_t outcome)
{
    uint32_t code = uint32_t(outcome);
    if ((code & 0xFFFFFF00u) == (MenuCode("sf#0") & 0xFFFFFF00u) && (code & 0xFF) >= '0' &&
        (code & 0xFF) <= '9')
        WriteSaveSlot(int(code & 0xFF) - '0');
}

// --- The screen ---

static bool IsIntroOver()
{
    switch (gIntro.mode) {
    case kLevelIntro_LevelStart:
        return gIntro.time >= kLevelStartSeconds || AnySkipPressed();
    case kLevelIntro_BetweenLevels:
        return !IsMenuNavigationActive();
    default:
        return AnySkipPressed();
    }
}

void ShowLevelIntro(int mode)
{
    LogLine(kLogInfo, "Level intro shown (mode %d)", mode);
    gIntro = {};
    gIntro.mode = mode;

    // 1. The view and what the scene is made of.
    SetUpIntroView();
    LoadModelGroup(MODEL_GROUP_PLAYERPARTS, ":models:playerparts.tq3d");
    LoadModelGroup(MODEL_GROUP_LEVELINTRO, ":models:levelintro.tq3d");
    LoadSpriteGroupFromFile(SPRITE_GROUP_LEVELSPECIFIC, ":sprites:menu:quorlogo");
    LoadSpriteAtlas(ATLAS_SLOT_SWISS, ":sprites:fonts:swiss", ATLAS_FONT);
    LoadASkeleton(SKELETON_TYPE_BONUSWORM);
    LoadASkeleton(SKELETON_TYPE_PLAYER);
    InitParticleSystem();

    // 2. The scene, then what this mode shows over it.
    ObjectDefinition clock = {};
    clock.genre = INVISIBLE_GENRE;
    clock.scale = 1;
    clock.moveProc = MoveSceneClock;
    MakeNewObject(&clock);
    MakeStarBackdrop();
    MakePlanet();
    MakeWorm();
    MakeIntroPlayer();
    MakeFlameEmitter();
    ObjectDefinition camera = {};
    camera.genre = INVISIBLE_GENRE;
    camera.slot = 3003; // after the player has moved, before anything is drawn
    camera.scale = 1;
    camera.moveProc = PlaceIntroCamera;
    PlaceIntroCamera(MakeNewObject(&camera));
    switch (mode) {
    case kLevelIntro_PressAKey:
        MakePressAKeyTexts();
        break;
    case kLevelIntro_Credits:
        MakeCreditTexts();
        break;
    case kLevelIntro_BetweenLevels:
        OpenSaveMenu();
        break;
    default:
        break;
    }
    if (mode == kLevelIntro_LevelStart || mode == kLevelIntro_BetweenLevels)
        PlayEffect_Parms(EFFECT_WORMHOLE, 128, 85, kNormalRate);
    StartFade(kFadeFlags_In, 1.5f);
    LockAllInputStates(); // the press that led here must not end the scene as well

    // 3. Until the mode's end.
    while (!IsIntroOver())
        RunScreenFrame();

    // 4. Out; a chosen slot is written once the screen is black; then everything goes.
    FadeOutAndWait(DrawObjectList, MoveObjects);
    if (mode == kLevelIntro_BetweenLevels)
        SaveIntoChosenSlot(GetLastMenuOutcome());
    SilenceAllEffects();
    DisposeMenuNavigation();
    DisposeAllObjects();
    FreeSkeletonFile(SKELETON_TYPE_BONUSWORM);
    FreeSkeletonFile(SKELETON_TYPE_PLAYER);
    FreeAllParticleGroups();
    DisposeSpriteGroup(SPRITE_GROUP_LEVELSPECIFIC);
    DisposeAtlas(ATLAS_SLOT_SWISS);
    TQ3D_DisposeContainer(MODEL_GROUP_LEVELINTRO);
    TQ3D_DisposeContainer(MODEL_GROUP_PLAYERPARTS);
    // The skeletons' reference models hold their meshes: they go after the skeletons.
    TQ3D_DisposeContainer(int(MODEL_GROUP_SKELETONBASE) + int(SKELETON_TYPE_BONUSWORM));
    TQ3D_DisposeContainer(int(MODEL_GROUP_SKELETONBASE) + int(SKELETON_TYPE_PLAYER));
    OGL_DeleteTextures(1, &gIntro.starTexture);
    OGL_DisposeGameView();
    gIntro = {};
}
