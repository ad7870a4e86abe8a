// The main menu's table and the outcomes the shell acts on.

#include "System/MenuTables.h"

#include "Gameplay/TimeDemo.h"
#include "Interface/LocalizedStrings.h"
#include "Interface/MenuBuild.h"
#include "Interface/StringIDs.h"
#include "System/Alerts.h"
#include "System/Input.h"
#include "System/Level.h"
#include "System/LevelGlobals.h"
#include "System/Prefs.h"
#include "System/ProgramState.h"
#include "System/SaveSlots.h"

#include <SDL.h>
#include <cstdio>
#include <ctime>

bool gRestoredGame = false;
bool gSkipLevelIntro = false;
bool gMenuOpenInGame = false;

bool DescribeSaveSlot(int slot, char* text, size_t capacity)
{
    SavedGameRecord record;
    if (!ReadSaveSlot(slot, &record))
        return false;
    std::time_t when = std::time_t(record.timeStamp);
    std::tm local = {};
    if (!localtime_r(&when, &local))
        local = {};
    int month = local.tm_mon >= 0 && local.tm_mon < 12 ? local.tm_mon : 0;
    std::snprintf(text, capacity, "%s %d   %d %s %d", GetLocalizedString(STR_SAVE_SLOT_LEVEL),
                  record.levelIndex + 1, local.tm_mday, GetLocalizedString(STR_MONTH_JANUARY + month),
                  local.tm_year + 1900);
    return true;
}

// 'adve' while F10 is held opens the cheat menu instead.
static void ChooseAdventure(MenuItem* item)
{
    bool cheat = IsStateDown(QueryKeyState(SDL_SCANCODE_F10));
    item->leadsTo = cheat ? MenuCode("chea") : kMenuExit;
}

// The 'df#n' items delete their slot before going back.
static void DeleteChosenSlot(MenuItem* item)
{
    int32_t code = int32_t(item->id);
    int slot = (code & 0xFF) - '0';
    if ((uint32_t(code) & 0xFFFFFF00u) != (MenuCode("df#0") & 0xFFFFFF00u) || slot < 0 || slot > 9) {
        ShowAlert("DeleteFileSlot: illegal menu item ID");
        return;
    }
    DeleteFileSlot(slot);
}

static uint32_t SlotCode(const char (&prefix)[5], int slot)
{
    return (MenuCode(prefix) & 0xFFFFFF00u) | uint32_t('0' + slot);
}

static MenuItem* BuildMainMenuTable()
{
    static MenuItem table[64];
    int n = 0;
    auto add = [&](MenuItem item) { table[n++] = item; };

    add(MenuStart(MenuCode("root")));
    add(MenuAction(STR_PLAY, 0, MenuCode("play")));
    add(MenuAction(STR_SETTINGS, 0, MenuCode("sett")));
    add(MenuAction(STR_INFO, 0, MenuCode("info")));
    add(MenuAction(STR_QUIT, MenuCode("quit"), kMenuExit));

    add(MenuStart(MenuCode("play")));
    add(MenuAction(STR_NEW_ADVENTURE, MenuCode("adve"), kMenuExit, ChooseAdventure));
    add(MenuAction(STR_TWO_PLAYER_GAMES, 0, MenuCode("bttl")));
    add(MenuAction(STR_LOAD_GAME, 0, MenuCode("load")));
    add(MenuAction(STR_BACK, 0, kMenuBack));

    add(MenuStart(MenuCode("info")));
    add(MenuAction(STR_INTRO_STORY, MenuCode("intr"), kMenuExit));
    add(MenuAction(STR_INTRO_STORY_SUBTITLED, MenuCode("ints"), kMenuExit));
    add(MenuAction(STR_CREDITS, MenuCode("cred"), kMenuExit));
    add(MenuAction(STR_BACK, 0, kMenuBack));

    add(MenuStart(MenuCode("bttl")));
    add(MenuAction(STR_RACE_1, MenuCode("rac1"), kMenuExit));
    add(MenuAction(STR_RACE_2, MenuCode("rac2"), kMenuExit));
    add(MenuGap(0.3f));
    add(MenuAction(STR_BATTLE_1, MenuCode("bat1"), kMenuExit));
    add(MenuAction(STR_BATTLE_2, MenuCode("bat2"), kMenuExit));
    add(MenuGap(0.3f));
    add(MenuAction(STR_CAPTURE_THE_FLAG_1, MenuCode("cap1"), kMenuExit));
    add(MenuAction(STR_CAPTURE_THE_FLAG_2, MenuCode("cap2"), kMenuExit));
    add(MenuGap(0.3f));
    add(MenuAction(STR_BACK, 0, kMenuBack));

    add(MenuStart(MenuCode("chea")));
    add(MenuLiteralHeading("CHEAT MENU!"));
    add(MenuLiteralAction("LEVEL 1: FOREST", MenuCode("cht1"), kMenuExit));
    add(MenuLiteralAction("LEVEL 2: DESERT", MenuCode("cht2"), kMenuExit));
    add(MenuLiteralAction("LEVEL 3: SWAMP", MenuCode("cht3"), kMenuExit));
    add(MenuAction(STR_BACK, 0, kMenuBack));

    add(MenuStart(MenuCode("load")));
    for (int slot = 0; slot < NUM_SAVE_SLOTS; slot++)
        add(MenuSaveSlot(STR_SAVE_SLOT_FILE, slot, SlotCode("lf#0", slot), kMenuExit, DescribeSaveSlot));
    add(MenuAction(STR_DELETE_SAVED_GAME, 0, MenuCode("dele")));
    add(MenuAction(STR_BACK, 0, kMenuBack));

    add(MenuStart(MenuCode("dele")));
    add(MenuHeading(STR_DELETE_HEADING, 1.5f));
    for (int slot = 0; slot < NUM_SAVE_SLOTS; slot++)
        add(MenuSaveSlot(STR_DELETE_SLOT, slot, SlotCode("df#0", slot), kMenuBack, DescribeSaveSlot,
                         DeleteChosenSlot));
    add(MenuAction(STR_BACK, 0, kMenuBack));

    add(MenuTableEnd());
    return table;
}

MenuItem* GetMainMenuTable()
{
    static MenuItem* table = BuildMainMenuTable();
    return table;
}

MenuStyle MakeMainMenuStyle()
{
    MenuStyle style = MakeDefaultMenuStyle();
    style.centerY = 302.5f;
    style.flags = kMenuFlag_FadeTextsOut | kMenuFlag_Interactive;
    return style;
}

// ---------------------------------------------------------------------------------------------------
// Outcomes
// ---------------------------------------------------------------------------------------------------

// One-player games are played with the controller that confirmed the choice.
static void MakeConfirmingControllerFirst()
{
    int slot = GetLastControllerForNeedAnyP(kNeedMenuConfirm);
    if (slot != -1)
        MakeControllerSlotFirst(slot);
}

static int StartAdventureAt(int levelIndex)
{
    gPlayMode = kPlayMode_Adventure;
    gNumPanes = 1;
    gLevelIndex = levelIndex;
    return kShellRun_Adventure;
}

static int StartMatch(int levelIndex)
{
    gLevelIndex = levelIndex;
    gPlayMode = kLevelTable[levelIndex].playMode;
    gNumPanes = 2;
    return kShellRun_Match;
}

int ApplyMainMenuOutcome(int32_t outcome)
{
    gRestoredGame = false;
    gSkipLevelIntro = false;
    gTimeDemoMode = false;
    uint32_t code = uint32_t(outcome);

    if (code == MenuCode("adve")) {
        MakeConfirmingControllerFirst();
        return StartAdventureAt(0);
    }
    if (code == MenuCode("cht1") || code == MenuCode("cht2") || code == MenuCode("cht3")) {
        MakeConfirmingControllerFirst();
        gSkipLevelIntro = true;
        return StartAdventureAt(int(code & 0xFF) - '1');
    }
    if ((code & 0xFFFFFF00u) == (MenuCode("lf#0") & 0xFFFFFF00u) && (code & 0xFF) >= '0' &&
        (code & 0xFF) <= '9') {
        MakeConfirmingControllerFirst();
        SavedGameRecord record;
        if (!ReadSaveSlot(int(code & 0xFF) - '0', &record))
            return kShellRun_Menu; // the slot went away since the menu showed it
        int run = StartAdventureAt(record.levelIndex);
        ApplySavedGame(record);
        gRestoredGame = true;
        return run;
    }

    static const struct
    {
        uint32_t code;
        int level;
    } kMatches[] = {
        {MenuCode("rac1"), 3}, {MenuCode("rac2"), 4}, {MenuCode("bat1"), 5},
        {MenuCode("bat2"), 6}, {MenuCode("cap1"), 7}, {MenuCode("cap2"), 8},
    };
    for (const auto& match : kMatches) {
        if (code == match.code)
            return StartMatch(match.level);
    }

    if (code == MenuCode("intr") || code == MenuCode("ints")) {
        gPrefs.showSubtitles = code == MenuCode("ints") ? 1 : 0;
        WritePrefsFile();
        return kShellRun_Story;
    }
    if (code == MenuCode("cred")) {
        return kShellRun_Credits;
    }
    if (code == MenuCode("ssav")) {
        return kShellRun_Attract;
    }
    if (code == MenuCode("demo")) {
        gPlayMode = kPlayMode_Adventure;
        gNumPanes = 1;
        gLevelIndex = TIME_DEMO_LEVEL;
        gTimeDemoMode = true;
        gSkipLevelIntro = true;
        return kShellRun_TimeDemo;
    }
    if (code == MenuCode("quit"))
        RequestQuit();

    ShowAlert("Unimplemented menu outcome '%c%c%c%c'", char(code >> 24), char(code >> 16), char(code >> 8),
              char(code));
    return kShellRun_Menu;
}
