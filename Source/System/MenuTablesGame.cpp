// The menus inside a game: the pause menu with its quit confirmation, and the save prompt between
// adventure levels.

#include "System/MenuTables.h"

#include "3D/OGL_Support.h"
#include "Interface/MenuBuild.h"
#include "Interface/StringIDs.h"
#include "System/Level.h"
#include "System/Prefs.h"
#include "System/SaveSlots.h"

int gSavePromptNextLevel = 1;

static uint8_t OnlyInTwoPlayerGames(const MenuItem*)
{
    return gNumPanes >= 2 ? 0 : kMILayoutFlag_Hidden;
}

// The panes take the new layout at once, each with the field of view that suits its shape.
static void ApplySplitScreenMode(MenuItem*)
{
    if (!gGameViewInfoPtr || gNumPanes < 2)
        return;
    gSplitScreenMode = gPrefs.splitScreenMode;
    float fov = gPrefs.splitScreenMode == 1 ? 0.7f : 1.1f;
    for (int pane = 0; pane < gNumPanes; pane++)
        gGameViewInfoPtr->fov[pane] = fov;
}

static MenuItem* BuildPauseTable()
{
    static MenuItem table[16];
    int n = 0;
    auto add = [&](MenuItem item) { table[n++] = item; };
    add(MenuStart(MenuCode("paus")));
    add(MenuAction(STR_RESUME, MenuCode("resu"), kMenuExit));
    add(MenuGap(0.3f, OnlyInTwoPlayerGames));
    add(WithLayoutFlags(MenuChoiceList(kMIChoiceInline, STR_SPLIT_SCREEN, &gPrefs.splitScreenMode,
                                       {{STR_SPLIT_SCREEN_STACKED, 1}, {STR_SPLIT_SCREEN_SIDE_BY_SIDE, 2}},
                                       ApplySplitScreenMode),
                        OnlyInTwoPlayerGames));
    add(MenuGap(0, OnlyInTwoPlayerGames));
    add(MenuAction(STR_SETTINGS, 0, MenuCode("sett")));
    add(MenuAction(STR_EXIT_TO_MAIN_MENU, MenuCode("bail"), kMenuExit));
    add(MenuTableEnd());
    return table;
}

static MenuItem* BuildQuitConfirmTable()
{
    static MenuItem table[8];
    int n = 0;
    auto add = [&](MenuItem item) { table[n++] = item; };
    add(MenuStart(MenuCode("rlyq")));
    add(MenuHeading(STR_REALLY_QUIT));
    add(MenuGap(0.5f));
    add(MenuAction(STR_RESUME, MenuCode("resu"), kMenuExit));
    add(MenuAction(STR_QUIT, MenuCode("quit"), kMenuExit));
    add(MenuTableEnd());
    return table;
}

static uint8_t ShownBeforeLevel1(const MenuItem*)
{
    return gSavePromptNextLevel == 1 ? 0 : kMILayoutFlag_Hidden;
}

static uint8_t ShownBeforeLevel2(const MenuItem*)
{
    return gSavePromptNextLevel == 2 ? 0 : kMILayoutFlag_Hidden;
}

static MenuItem* BuildLevelIntroTable()
{
    static MenuItem table[20];
    int n = 0;
    auto add = [&](MenuItem item) { table[n++] = item; };
    add(MenuStart(MenuCode("lvin")));
    add(MenuAction(STR_SAVE_GAME, 0, MenuCode("save"), nullptr, 1));
    add(MenuAction(STR_CONTINUE_WITHOUT_SAVING, MenuCode("nosv"), kMenuExit, nullptr, 1));

    add(MenuStart(MenuCode("save")));
    add(MenuHeading(STR_LEVEL_1_COMPLETE, 0, ShownBeforeLevel1));
    add(MenuHeading(STR_LEVEL_2_COMPLETE, 0, ShownBeforeLevel2));
    for (int slot = 0; slot < NUM_SAVE_SLOTS; slot++) {
        // Any slot may be saved into, empty or not: no dimming here.
        MenuItem item =
            MenuSaveSlot(STR_SAVE_SLOT_FILE, slot, (MenuCode("sf#0") & 0xFFFFFF00u) | uint32_t('0' + slot),
                         kMenuExit, DescribeSaveSlot);
        add(WithLayoutFlags(item, nullptr));
    }
    add(MenuAction(STR_CONTINUE_WITHOUT_SAVING, MenuCode("nosv"), kMenuExit));
    add(MenuGap(1.5f));
    add(MenuTableEnd());
    return table;
}

MenuItem* GetPauseTable()
{
    static MenuItem* table = BuildPauseTable();
    return table;
}

MenuItem* GetQuitConfirmTable()
{
    static MenuItem* table = BuildQuitConfirmTable();
    return table;
}

MenuItem* GetLevelIntroTable()
{
    static MenuItem* table = BuildLevelIntroTable();
    return table;
}

MenuStyle MakePauseMenuStyle()
{
    MenuStyle style = MakeDefaultMenuStyle();
    style.backdropOpacity = 0.6f;
    style.flags =
        kMenuFlag_FadeTextsOut | kMenuFlag_StartExits | kMenuFlag_Interactive | kMenuFlag_BackExitsAtRoot;
    return style;
}
