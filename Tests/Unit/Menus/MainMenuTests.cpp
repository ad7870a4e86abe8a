// The game's own tables driven by keys: every main-menu outcome reaches its game, every settings
// page goes back where it came from, and a game saved between levels comes back from the load menu.

#include "Interface/MenuBuild.h"
#include "Interface/StringIDs.h"
#include "MenuTestFixture.h"
#include "System/Level.h"
#include "System/LevelGlobals.h"
#include "System/MenuTables.h"
#include "System/SaveSlots.h"
#include "System/UserDataFiles.h"

#include <vector>

class MainMenuTest : public MenuTest
{
protected:
    void OpenMainMenu()
    {
        OpenMenu(GetMainMenuTable(), MakeMainMenuStyle());
        RegisterSettingsMenus(false);
    }

    // Chooses the row whose label string is textId (or literal text) in the menu shown.
    static void Choose(int textId, const char* text = nullptr)
    {
        int row = -1;
        for (int r = 0; r < CountMenuRows(); r++) {
            const MenuItem* item = GetMenuRowItem(r);
            if (text ? (item->text && std::string(item->text) == text) : item->textId == textId)
                row = r;
        }
        ASSERT_GE(row, 0) << "no row " << textId << " in the menu shown";
        SelectItem(GetMenuRowItem(row));
        Tap(SDL_SCANCODE_RETURN);
    }

    // Runs frames until the navigation has ended; the outcome it handed over.
    static int32_t FinishMenu()
    {
        for (int i = 0; i < 30 && IsMenuNavigationActive(); i++)
            Frame();
        EXPECT_FALSE(IsMenuNavigationActive());
        return GetLastMenuOutcome();
    }
};

TEST_F(MainMenuTest, EveryGameOfTheMainMenuReachesItsLevelModeAndPanes)
{
    struct Path
    {
        std::vector<int> steps; // string ids chosen in turn
        int run;
        int level;
        int mode;
        int panes;
    };
    const Path paths[] = {
        {{STR_PLAY, STR_NEW_ADVENTURE}, kShellRun_Adventure, 0, kPlayMode_Adventure, 1},
        {{STR_PLAY, STR_TWO_PLAYER_GAMES, STR_RACE_1}, kShellRun_Match, 3, kPlayMode_Race, 2},
        {{STR_PLAY, STR_TWO_PLAYER_GAMES, STR_RACE_2}, kShellRun_Match, 4, kPlayMode_Race, 2},
        {{STR_PLAY, STR_TWO_PLAYER_GAMES, STR_BATTLE_1}, kShellRun_Match, 5, kPlayMode_Battle, 2},
        {{STR_PLAY, STR_TWO_PLAYER_GAMES, STR_BATTLE_2}, kShellRun_Match, 6, kPlayMode_Battle, 2},
        {{STR_PLAY, STR_TWO_PLAYER_GAMES, STR_CAPTURE_THE_FLAG_1},
         kShellRun_Match,
         7,
         kPlayMode_CaptureTheFlag,
         2},
        {{STR_PLAY, STR_TWO_PLAYER_GAMES, STR_CAPTURE_THE_FLAG_2},
         kShellRun_Match,
         8,
         kPlayMode_CaptureTheFlag,
         2},
    };
    for (const Path& path : paths) {
        OpenMainMenu();
        for (int step : path.steps)
            Choose(step);
        int run = ApplyMainMenuOutcome(FinishMenu());
        EXPECT_EQ(run, path.run) << "level " << path.level;
        EXPECT_EQ(gLevelIndex, path.level);
        EXPECT_EQ(gPlayMode, path.mode);
        EXPECT_EQ(gNumPanes, path.panes);
        EXPECT_FALSE(gTimeDemoMode);
    }
}

TEST_F(MainMenuTest, NewAdventureWithF10HeldOpensTheCheatLevelsInstead)
{
    OpenMainMenu();
    Choose(STR_PLAY);
    PushKey(SDL_SCANCODE_F10, true);
    Choose(STR_NEW_ADVENTURE);
    PushKey(SDL_SCANCODE_F10, false);
    Frame();
    ASSERT_EQ(CurrentMenuId(), MenuCode("chea"));
    Choose(0, "LEVEL 3: SWAMP");
    EXPECT_EQ(ApplyMainMenuOutcome(FinishMenu()), kShellRun_Adventure);
    EXPECT_EQ(gLevelIndex, 2);
    EXPECT_TRUE(gSkipLevelIntro);

    // Without F10 the same item starts at once.
    OpenMainMenu();
    Choose(STR_PLAY);
    Choose(STR_NEW_ADVENTURE);
    EXPECT_EQ(FinishMenu(), int32_t(MenuCode("adve")));
}

TEST_F(MainMenuTest, TimeDemoKeyAndIdleAndStoryOutcomesSetTheShell)
{
    EXPECT_EQ(ApplyMainMenuOutcome(int32_t(MenuCode("demo"))), kShellRun_TimeDemo);
    EXPECT_EQ(gLevelIndex, 2);
    EXPECT_EQ(gNumPanes, 1);
    EXPECT_TRUE(gTimeDemoMode);

    gPrefs.showSubtitles = 0;
    EXPECT_EQ(ApplyMainMenuOutcome(int32_t(MenuCode("ints"))), kShellRun_Story);
    EXPECT_EQ(gPrefs.showSubtitles, 1);
    EXPECT_FALSE(gTimeDemoMode);
    EXPECT_EQ(ApplyMainMenuOutcome(int32_t(MenuCode("intr"))), kShellRun_Story);
    EXPECT_EQ(gPrefs.showSubtitles, 0);

    ScopedAlertCapture alerts;
    EXPECT_EQ(ApplyMainMenuOutcome(int32_t(MenuCode("zzzz"))), kShellRun_Menu);
    EXPECT_EQ(alerts.LastMessage(), "Unimplemented menu outcome 'zzzz'");
}

TEST_F(MainMenuTest, EverySettingsPageGoesBackToTheSettingsRowItCameFrom)
{
    const int pages[] = {STR_CONTROLS, STR_GRAPHICS, STR_SOUND, STR_INTERFACE};
    OpenMainMenu();
    Choose(STR_SETTINGS);
    ASSERT_EQ(CurrentMenuId(), MenuCode("sett"));
    for (int page : pages) {
        Choose(page);
        EXPECT_NE(CurrentMenuId(), MenuCode("sett"));
        Tap(SDL_SCANCODE_ESCAPE);
        ASSERT_EQ(CurrentMenuId(), MenuCode("sett"));
        EXPECT_EQ(GetMenuRowItem(GetSelectedMenuRow())->textId, page);
    }
    const int controlPages[] = {STR_GAMEPAD, STR_KEYBOARD, STR_MOUSE};
    Choose(STR_CONTROLS);
    for (int page : controlPages) {
        Choose(page);
        Tap(SDL_SCANCODE_ESCAPE);
        ASSERT_EQ(CurrentMenuId(), MenuCode("ctrl"));
        EXPECT_EQ(GetMenuRowItem(GetSelectedMenuRow())->textId, page);
    }
    Tap(SDL_SCANCODE_ESCAPE);
    Tap(SDL_SCANCODE_ESCAPE);
    EXPECT_EQ(CurrentMenuId(), MenuCode("root"));
    EXPECT_EQ(GetMenuRowItem(GetSelectedMenuRow())->textId, STR_SETTINGS);
}

TEST_F(MainMenuTest, WithOneDisplayTheDisplayChoiceIsAbsentAndTheNextRowMovesUp)
{
    ASSERT_EQ(SDL_GetNumVideoDisplays(), 1);
    OpenMainMenu();
    Choose(STR_SETTINGS);
    Choose(STR_GRAPHICS);
    int fullScreen = -1, display = -1, vsync = -1;
    for (int r = 0; r < CountMenuRows(); r++) {
        int id = GetMenuRowItem(r)->textId;
        fullScreen = id == STR_FULL_SCREEN ? r : fullScreen;
        display = id == STR_DISPLAY ? r : display;
        vsync = id == STR_VSYNC ? r : vsync;
    }
    ASSERT_GE(display, 0);
    EXPECT_EQ(GetMenuRowText(display, 0), nullptr);
    EXPECT_FLOAT_EQ(gNav->rows[vsync].y - gNav->rows[fullScreen].y, 38);
    Tap(SDL_SCANCODE_DOWN);
    EXPECT_NE(GetSelectedMenuRow(), display);
}

TEST_F(MainMenuTest, EmptySaveSlotsAreDimmedAndCannotBeChosen)
{
    OpenMainMenu();
    Choose(STR_PLAY);
    Choose(STR_LOAD_GAME);
    ASSERT_EQ(CurrentMenuId(), MenuCode("load"));
    EXPECT_EQ(GetMenuRowItem(GetSelectedMenuRow())->textId, STR_DELETE_SAVED_GAME)
        << "with no saved game the first row that can be chosen is 'delete'";
    for (int r = 0; r < NUM_SAVE_SLOTS; r++)
        EXPECT_FALSE(IsMenuItemSelectable(GetMenuRowItem(r)));
}

TEST_F(MainMenuTest, GameSavedBetweenLevelsComesBackWithItsLevelLivesAndWeapons)
{
    // Between levels 0 and 1: the save prompt writes slot 2.
    gLevelIndex = 1;
    gPlayerStock[0] = {};
    gPlayerStock[0].lives = 2;
    gPlayerStock[0].health = 0.75f;
    gPlayerStock[0].jetFuel = 0.5f;
    gPlayerStock[0].ammo[1] = 12;
    gPlayerStock[0].ammo[4] = 3;
    gSavePromptNextLevel = 1;
    MenuStyle style = MakeMainMenuStyle();
    style.outcomeRoutine = [](int32_t outcome) {
        uint32_t code = uint32_t(outcome);
        if ((code & 0xFFFFFF00u) == (MenuCode("sf#0") & 0xFFFFFF00u))
            WriteSaveSlot(int(code & 0xFF) - '0');
    };
    OpenMenu(GetLevelIntroTable(), style);
    Choose(STR_SAVE_GAME);
    ASSERT_EQ(CurrentMenuId(), MenuCode("save"));
    SelectItem(GetMenuRowItem(2 + 2)); // headings 37 and 38, then slots 0, 1, 2
    Tap(SDL_SCANCODE_RETURN);
    EXPECT_EQ(FinishMenu(), int32_t(MenuCode("sf#2")));

    // Later, from the main menu's load page.
    gPlayerStock[0] = {};
    gLevelIndex = 0;
    OpenMainMenu();
    Choose(STR_PLAY);
    Choose(STR_LOAD_GAME);
    EXPECT_EQ(GetMenuRowItem(GetSelectedMenuRow())->number, 2) << "the saved slot is the one to choose";
    Tap(SDL_SCANCODE_RETURN);
    int32_t outcome = FinishMenu();
    EXPECT_EQ(outcome, int32_t(MenuCode("lf#2")));
    EXPECT_EQ(ApplyMainMenuOutcome(outcome), kShellRun_Adventure);
    EXPECT_TRUE(gRestoredGame);
    EXPECT_EQ(gLevelIndex, 1);
    EXPECT_EQ(gPlayMode, kPlayMode_Adventure);
    EXPECT_EQ(gPlayerStock[0].lives, 2);
    EXPECT_FLOAT_EQ(gPlayerStock[0].health, 0.75f);
    EXPECT_EQ(gPlayerStock[0].ammo[1], 12);
    EXPECT_EQ(gPlayerStock[0].ammo[4], 3);
}

TEST_F(MainMenuTest, DeletingASlotEmptiesItAndGoesBack)
{
    gLevelIndex = 2;
    ASSERT_TRUE(WriteSaveSlot(0));
    OpenMainMenu();
    Choose(STR_PLAY);
    Choose(STR_LOAD_GAME);
    Choose(STR_DELETE_SAVED_GAME);
    ASSERT_EQ(CurrentMenuId(), MenuCode("dele"));
    Tap(SDL_SCANCODE_RETURN); // slot 0 is the only one that can be chosen
    EXPECT_EQ(CurrentMenuId(), MenuCode("load"));
    SavedGameRecord record;
    EXPECT_FALSE(ReadSaveSlot(0, &record));
    EXPECT_FALSE(IsMenuItemSelectable(GetMenuRowItem(0)));
}

TEST_F(MainMenuTest, PauseMenuShowsTheSplitScreenChoiceOnlyInTwoPlayerGames)
{
    gNumPanes = 1;
    OpenMenu(GetPauseTable(), MakePauseMenuStyle());
    int shown = 0;
    for (int r = 0; r < CountMenuRows(); r++)
        shown += GetMenuRowText(r, 0) != nullptr;
    EXPECT_EQ(shown, 3) << "resume, settings, exit";
    DisposeMenuNavigation();

    gNumPanes = 2;
    gPrefs.splitScreenMode = 2;
    OpenMenu(GetPauseTable(), MakePauseMenuStyle());
    Tap(SDL_SCANCODE_DOWN);
    EXPECT_EQ(GetMenuRowItem(GetSelectedMenuRow())->textId, STR_SPLIT_SCREEN);
    Tap(SDL_SCANCODE_LEFT);
    EXPECT_EQ(gPrefs.splitScreenMode, 1);
    gNumPanes = 1;
}

TEST_F(MainMenuTest, SavedGameWithALevelBeyondTheAdventureIsNeitherOfferedNorLoaded)
{
    SavedGameRecord record = {};
    record.levelIndex = 9; // no such adventure level
    record.lives = 3;
    record.health = 1;
    ASSERT_EQ(SaveUserDataFile("FileB", "Quorvel2 Save v0", sizeof(record), &record), Tarnet::noErr);

    OpenMainMenu();
    Choose(STR_PLAY);
    Choose(STR_LOAD_GAME);
    EXPECT_FALSE(IsMenuItemSelectable(GetMenuRowItem(1)));
    EXPECT_EQ(GetMenuRowItem(GetSelectedMenuRow())->textId, STR_DELETE_SAVED_GAME);

    gLevelIndex = 0;
    EXPECT_EQ(ApplyMainMenuOutcome(int32_t(MenuCode("lf#1"))), kShellRun_Menu);
    EXPECT_EQ(gLevelIndex, 0);
}

TEST_F(MainMenuTest, SettingsPageSavesAChangedSettingWhenItIsShownAgain)
{
    gPrefsAsSaved = gPrefs;
    OpenMainMenu();
    Choose(STR_SETTINGS);
    ASSERT_EQ(GetMenuRowItem(GetSelectedMenuRow())->textId, STR_DIFFICULTY);
    Tap(SDL_SCANCODE_RIGHT);
    EXPECT_EQ(gPrefs.easyMode, 1);
    EXPECT_EQ(gPrefsAsSaved.easyMode, 0) << "nothing written while the page is open";
    Choose(STR_SOUND);
    Tap(SDL_SCANCODE_ESCAPE);
    EXPECT_EQ(gPrefsAsSaved.easyMode, 1);
}
