// The main routine: initialises every subsystem once, then runs the outer loop of screens.

#include "System/GameShell.h"

#include "3D/Atlas.h"
#include "3D/OGL_Support.h"
#include "3D/Sprites.h"
#include "3D/TQ3D.h"
#include "Gameplay/Player.h"
#include "Gameplay/TimeDemo.h"
#include "Interface/LocalizedStrings.h"
#include "Interface/Twitch.h"
#include "Objects/ObjNode.h"
#include "Screens/Screens.h"
#include "Skeleton/Skeleton.h"
#include "Sound/GameSound.h"
#include "System/Boot.h"
#include "System/Fades.h"
#include "System/FrameRate.h"
#include "System/Input.h"
#include "System/Level.h"
#include "System/Log.h"
#include "System/MenuTables.h"
#include "System/Prefs.h"
#include "System/Random.h"
#include "System/ScriptedPlay.h"
#include "System/UserDataFiles.h"
#include "System/Window.h"
#include "Tarnet/Tarnet.h"
#include "Terrain/Terrain.h"

#include <GL/gl.h>
#include <SDL.h>

int gLogicalScreenWidth = 640;
int gLogicalScreenHeight = 480;

static constexpr int kWarmUpFrames = 8;

const SharedSpriteSeries kSharedSpriteSeries[NUM_SHARED_SPRITE_SERIES] = {
    {SPRITE_GROUP_INFOBAR, 64, "infobar"},
    {SPRITE_GROUP_GLOBAL, 9, "global"},
    {SPRITE_GROUP_REFLECTIONS, 9, "spheremap"},
    {SPRITE_GROUP_PARTICLES, 43, "particle"},
};

// A few empty frames let the window manager settle the window's size and placement before
// anything is loaded, so the first real screen does not start with a resize.
static void WarmUpWindow()
{
    ViewSetupRecord setup;
    OGL_NewViewSetup(&setup);
    OGL_SetupGameView(&setup);
    for (int i = 0; i < kWarmUpFrames; i++) {
        OGL_DrawScene(DrawObjectList);
        PollInput();
    }
    DisposeAllObjects();
    OGL_DisposeGameView();
}

void InitGameSubsystems()
{
    InitSpriteManager();
    TQ3D_InitContainers();
    gLogicalScreenWidth = 640;
    gLogicalScreenHeight = 480;
    InitTerrainManager();
    InitSkeletonManager();
    InitSoundTools();
    InitTwitchSystem();
    InitObjectManager();
}

void LoadSharedArt()
{
    LoadSpriteAtlas(ATLAS_SLOT_FONT, ":sprites:fonts:font", ATLAS_FONT | ATLAS_UPPERCASE);
    LoadSpriteAtlas(ATLAS_SLOT_FONT_ALT, ":sprites:fonts:font",
                    ATLAS_FONT | ATLAS_ALT_TEXTURE | ATLAS_UPPERCASE);
    LoadSpriteGroupFromFile(SPRITE_GROUP_CURSOR, ":sprites:menu:cursor");
    for (const SharedSpriteSeries& series : kSharedSpriteSeries)
        LoadSpriteGroupFromSeries(series.group, series.count, series.name);
    // Particles are drawn blended whatever their alpha says.
    BlendAllSpritesInGroup(SPRITE_GROUP_PARTICLES);
}

static void LogOpenGLContext()
{
    LogLine(kLogInfo, "OpenGL %s (%s, %s)", reinterpret_cast<const char*>(glGetString(GL_VERSION)),
            reinterpret_cast<const char*>(glGetString(GL_RENDERER)),
            reinterpret_cast<const char*>(glGetString(GL_VENDOR)));
}

// The adventure: levels in sequence from gLevelIndex until one is lost or the last is won.
static void PlayAdventure()
{
    InitPlayerRecords(gRestoredGame);
    for (bool firstLevel = true; gLevelIndex < NUM_ADVENTURE_LEVELS; gLevelIndex++, firstLevel = false) {
        PlaySong(int16_t(kLevelTable[gLevelIndex].song), true);
        // A game just begun or restored starts at once; between levels the player may save.
        if (!gSkipLevelIntro)
            ShowLevelIntro(firstLevel || gRestoredGame ? kLevelIntro_LevelStart : kLevelIntro_BetweenLevels);
        gSkipLevelIntro = false;
        StartLevel();
        RunLevelLoop();
        gRestoredGame = false;
        EndLevel();
        gPlayMode = kPlayMode_Adventure;
        gNumPanes = 1;
        if (gLevelLost)
            break;
        StorePlayerStock(); // what the save prompt keeps and the next level starts with
        if (gLevelIndex == NUM_ADVENTURE_LEVELS - 1)
            ShowWinScreen();
    }
    gRestoredGame = false;
}

// The time demo: "level3" with one player and no intro, vertical sync off; its results end the
// program. A soak plays it again and again, and the results of its last run end the program.
static void PlayTimeDemo()
{
    gTimeDemoMode = true;
    gPlayMode = kPlayMode_Adventure;
    gNumPanes = 1;
    gLevelIndex = TIME_DEMO_LEVEL;
    SDL_GL_SetSwapInterval(0);
    BeginTimeDemoSoak();
    for (int run = 1;; run++) {
        InitPlayerRecords(false);
        StartLevel();
        RunLevelLoop();
        EndLevel();
        PrintSoakRunLine(stdout, run);
    }
}

// A two-player match: the one level gLevelIndex, once the players have their controllers.
static void PlayOneLevel()
{
    if (CheckTwoPlayerControllers()) {
        gPlayMode = kPlayMode_Adventure;
        gNumPanes = 1;
        return;
    }
    InitPlayerRecords(false);
    PlaySong(int16_t(kLevelTable[gLevelIndex].song), true);
    StartLevel();
    RunLevelLoop();
    EndLevel();
}

void RunGameShell()
{
    // Input first: the warm-up frames already poll it.
    SetUpInput();

    // The preferences folder may only now be reachable (the layer is up); read them again.
    LocatePrefsFolder(true);
    ResetPrefsToDefaults();
    ReadPrefsFile();
    KeepAntiAliasingFallback();
    ApplyFullscreenPref(true);

    OGL_CreateDrawContext();
    LogOpenGLContext();
    SDL_ShowCursor(SDL_DISABLE);

    WarmUpWindow();

    LoadLocalizedStrings(gPrefs.language);

    InitGameSubsystems();

    uint32_t now;
    Tarnet::GetDateTime(&now);
    SeedRandom(now);

    uint64_t artStart = Tarnet::MicrosecondsNow();
    LoadSharedArt();
    LogLine(kLogInfo, "Shared art loaded in %d ms", int((Tarnet::MicrosecondsNow() - artStart) / 1000));
    if (gTimeDemoRequested)
        PlayTimeDemo();
    if (IsScriptedPlayRequested())
        RunScriptedPlay(); // a level from the command line, then the program ends

    if (IsScriptedGameRequested())
        StartScriptedGame(); // the whole game below, from a script

    ShowTitleSplash();
    ShowIntroStory();

    for (;;) {
        gTimeDemoMode = false;
        switch (ApplyMainMenuOutcome(DoMainMenuScreen())) {
        case kShellRun_Adventure:
            PlayAdventure();
            break;
        case kShellRun_Match:
            PlayOneLevel();
            break;
        case kShellRun_TimeDemo:
            PlayTimeDemo();
            break;
        case kShellRun_Story:
            ShowIntroStory();
            break;
        case kShellRun_Credits:
            ShowLevelIntro(kLevelIntro_Credits);
            break;
        case kShellRun_Attract:
            ShowLevelIntro(kLevelIntro_PressAKey);
            break;
        default:
            break;
        }
    }
}
