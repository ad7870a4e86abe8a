// The screen that runs the main menu over its picture.

#include "System/MenuTables.h"

#include "3D/MetaObjects.h"
#include "3D/OGL_Support.h"
#include "3D/Sprites.h"
#include "Objects/ObjNode.h"
#include "Sound/GameSound.h"
#include "System/Fades.h"
#include "System/FrameRate.h"
#include "System/Input.h"
#include "System/Level.h"
#include "System/LevelGlobals.h"
#include "System/Log.h"
#include "System/Prefs.h"

#include <SDL.h>
#include <algorithm>

// The main menu's picture borrows the mini-map's group, which is empty outside levels.
static constexpr int kMenuArtGroup = SPRITE_GROUP_INFOBAR_MAP;
static constexpr float kAttractIdleSeconds = 15;

static void SetUpMenuView()
{
    ViewSetupRecord setup;
    OGL_NewViewSetup(&setup);
    setup.clearScreen = true;
    setup.clearColor[0] = 0.02f;
    setup.clearColor[1] = 0.03f;
    setup.clearColor[2] = 0.06f;
    setup.clearColor[3] = 1;
    setup.useFog = false;
    OGL_SetupGameView(&setup);
}

static ObjNode* gMenuArt = nullptr;
static ObjNode* gMenuTitle = nullptr;

// The picture fills the screen; the title stands above the first pages, whose rows leave it room.
static void ShowMenuArt()
{
    static const char* const kArt[] = {":sprites:menu:mainmenu", ":sprites:menu:quorlogo"};
    LoadSpriteGroupFromFiles(kMenuArtGroup, 2, kArt);
    ObjectDefinition def = {};
    def.artGroup = kMenuArtGroup;
    def.position = {320, 240, 0};
    def.slot = 100;
    def.scale = 640;
    def.statusFlags = NODEBIT_NO_CULLING;
    gMenuArt = MakeSpriteObject(&def, true);
    if (gMenuArt)
        MakeOverlayOnly(gMenuArt);

    def.artIndex = 1;
    def.position = {320, 82, 0};
    def.slot = 101;
    def.scale = 500;
    gMenuTitle = MakeSpriteObject(&def, true);
    if (gMenuTitle)
        MakeOverlayOnly(gMenuTitle);
}

void ReloadMainMenuArt()
{
    if (!gMenuArt)
        return; // not on the main menu
    DisposeObject(gMenuArt);
    DisposeObject(gMenuTitle);
    gMenuArt = gMenuTitle = nullptr;
    DisposeSpriteGroup(kMenuArtGroup);
    ShowMenuArt();
}

// The title fades out over the settings pages, which use the whole height.
static void FadeMenuTitle()
{
    if (!gMenuTitle)
        return;
    static const uint32_t kPagesWithTitle[] = {MenuCode("root"), MenuCode("play"), MenuCode("info"),
                                               MenuCode("bttl"), MenuCode("chea"), MenuCode("load"),
                                               MenuCode("dele")};
    bool wanted = false;
    for (uint32_t page : kPagesWithTitle)
        wanted |= CurrentMenuId() == page;
    float step = gFrameSeconds * 4;
    gMenuTitle->Tint.a = std::clamp(gMenuTitle->Tint.a + (wanted ? step : -step), 0.0f, 1.0f);
}

// T starts the time demo, and a menu left alone at its first page shows the attract screen.
static void MainMenuChecks()
{
    FadeMenuTitle();
    if (CurrentMenuId() != MenuCode("root"))
        return;
    if (QueryKeyState(SDL_SCANCODE_T) == KEYSTATE_PRESSED)
        ForceMenuOutcome(int32_t(MenuCode("demo")));
    else if (MenuIdleSeconds() > kAttractIdleSeconds)
        ForceMenuOutcome(int32_t(MenuCode("ssav")));
}

void OpenMainMenuScreen()
{
    gNumPanes = 1;
    SetUpMenuView();
    ShowMenuArt();
    MakeMouseCursorObject();
    MenuStyle style = MakeMainMenuStyle();
    gMenuOpenInGame = false;
    StartMenuNavigation(GetMainMenuTable(), &style);
    RegisterSettingsMenus(false);
    PlaySong(SONG_THEME, true);
    StartFade(kFadeFlags_In, 2);
    LockAllInputStates(); // the press that led here must not choose as well
    LogLine(kLogInfo, "Main menu shown");
}

bool RunMainMenuScreenFrame()
{
    CalcFrameRate();
    PollInput();
    MainMenuChecks();
    MoveObjects();
    OGL_DrawScene(DrawObjectList);
    return IsMenuNavigationActive();
}

int32_t CloseMainMenuScreen()
{
    DisposeMenuNavigation(); // nothing left when the menu ended by itself
    int32_t outcome = GetLastMenuOutcome();
    if (outcome != int32_t(MenuCode("quit")))
        FadeOutAndWait(DrawObjectList, MoveObjects);
    WritePrefsFile();
    DisposeAllObjects();
    gMenuArt = gMenuTitle = nullptr;
    DisposeSpriteGroup(kMenuArtGroup);
    DisposeSpriteGroup(SPRITE_GROUP_LEVELSPECIFIC); // the calibration picture, if it was shown
    OGL_DisposeGameView();
    return outcome;
}

int32_t DoMainMenuScreen()
{
    OpenMainMenuScreen();
    while (RunMainMenuScreenFrame()) {
    }
    return CloseMainMenuScreen();
}
