// Pausing. The pause screen is the frozen level, and the pause or back need resumes it.
// PENDING(Menus): the pause menu's own rows.

#include "System/Level.h"

#include "Sound/GameSound.h"
#include "System/Fades.h"
#include "System/Input.h"
#include "System/Pause.h"
#include "System/Prefs.h"

void DoPauseMenu()
{
    // In adventure mode the controller that paused becomes player one's.
    if (gPlayMode == kPlayMode_Adventure)
        MakeControllerSlotFirst(GetLastControllerForNeedAnyP(kNeedPause));

    gFadeLevel = 1;
    gPaused = true;
    SetMouseCapture(false);
    PauseAllSound(true);
    // PENDING(Menus): create the menu cursor.
    LockAllInputStates(); // the press that paused must not also resume
}

bool ShouldLeavePauseMenu()
{
    return GetNeedState(kNeedPause, -1) == KEYSTATE_PRESSED ||
           GetNeedState(kNeedMenuBack, -1) == KEYSTATE_PRESSED;
}

void LeavePauseMenu()
{
    WritePrefsFile();
    gPaused = false;
    SetMouseCapture(true);
    PauseAllSound(false);
    // PENDING(Menus): delete the menu cursor.
    LockAllInputStates();
}
