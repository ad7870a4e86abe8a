// Pausing: the frozen level under the pause menu. The menu runs with the level's own frames (its
// nodes move while paused); play resumes when its navigation has ended.

#include "System/Level.h"

#include "3D/OGL_Support.h"
#include "Objects/ObjNode.h"
#include "Sound/GameSound.h"
#include "System/Fades.h"
#include "System/GameShell.h"
#include "System/Input.h"
#include "System/MenuTables.h"
#include "System/Pause.h"
#include "System/Prefs.h"

static ObjNode* gPauseCursor = nullptr;

void DoPauseMenu()
{
    // In adventure mode the controller that paused becomes player one's.
    if (gPlayMode == kPlayMode_Adventure)
        MakeControllerSlotFirst(GetLastControllerForNeedAnyP(kNeedPause));

    gFadeLevel = 1;
    gPaused = true;
    SetMouseCapture(false);
    PauseAllSound(true);
    gPauseCursor = MakeMouseCursorObject();

    MenuStyle style = MakePauseMenuStyle();
    gMenuOpenInGame = true;
    StartMenuNavigation(GetPauseTable(), &style);
    RegisterSettingsMenus(true);
    RegisterMenu(GetQuitConfirmTable());
    LockAllInputStates(); // the press that paused must not also act in the menu
}

bool ShouldLeavePauseMenu()
{
    return gPaused && !IsMenuNavigationActive();
}

void LeavePauseMenu()
{
    WritePrefsFile();
    gPaused = false;
    SetMouseCapture(true);
    PauseAllSound(false);
    DisposeObject(gPauseCursor);
    gPauseCursor = nullptr;
    gMenuOpenInGame = false;
    LockAllInputStates();

    uint32_t outcome = uint32_t(GetLastMenuOutcome());
    if (outcome == MenuCode("bail")) {
        if (gGameViewInfoPtr)
            gGameViewInfoPtr->fadeSound = true;
        gLevelLost = true;
    } else if (outcome == MenuCode("quit")) {
        if (gGameViewInfoPtr)
            gGameViewInfoPtr->fadeSound = true;
        QuitCleanly();
    }
}
