// The game's menu tables and the screens that run them: the main menu, the settings pages, the
// pause menu and the save prompt between levels. The tables live with the shell because their
// items reach into the saved games, the level cycle and the window.
#pragma once

#include "Interface/Menu.h"

#include <cstddef>
#include <cstdint>

// --- Tables ---
MenuItem* GetMainMenuTable();               // 'root', 'play', 'info', 'bttl', 'chea', 'load', 'dele'
MenuItem* GetSettingsTable();               // 'sett' and its pages
MenuItem* GetCalibrationTable(bool inGame); // 'cali': the full page from the main menu, a note in a game
MenuItem* GetPauseTable();                  // 'paus' (split-screen rows only in two-player games)
MenuItem* GetQuitConfirmTable();            // 'rlyq'
MenuItem* GetLevelIntroTable();             // 'lvin' and 'save'

// Registers the settings pages with the navigation just opened.
void RegisterSettingsMenus(bool inGame);

// The description of a save slot ("Level 2   14 March 2026"); false when the slot holds no game.
bool DescribeSaveSlot(int slot, char* text, size_t capacity);

// The level the save prompt is shown before (1 or 2 for its headings).
extern int gSavePromptNextLevel;

// --- Styles ---
MenuStyle MakeMainMenuStyle();  // flags 0x9, centre 302.5
MenuStyle MakePauseMenuStyle(); // flags 0x1D, with a backdrop

// --- Main-menu outcomes ---
enum
{
    kShellRun_Menu = 0,  // back to the main menu (a screen was shown, or nothing to do)
    kShellRun_Adventure, // the adventure from gLevelIndex, one player
    kShellRun_Match,     // one two-player level
    kShellRun_TimeDemo,  // the time demo's level
    kShellRun_Story,     // the intro story, then the main menu again
    kShellRun_Credits,   // the credits, then the main menu again
    kShellRun_Attract,   // the attract screen, then the main menu again
};

// Sets the shell globals for a main-menu outcome and says what the shell runs next. Unknown
// codes show the alert "Unimplemented menu outcome '%c%c%c%c'".
int ApplyMainMenuOutcome(int32_t outcome);
extern bool gRestoredGame;   // the adventure continues a saved game (its stock is already set)
extern bool gSkipLevelIntro; // the cheat levels start without the level intro
extern bool gMenuOpenInGame; // the pause menu is open: in-game variants of the settings pages

// --- Screens (MenuScreens.cpp) ---
int32_t DoMainMenuScreen(); // runs the main menu until it has an outcome
// The same in its steps: the view, picture, pointer and menu; one frame (false once the menu has
// ended); the fade-out and clean-up, returning the outcome (-1 when the menu was still open).
void OpenMainMenuScreen();
bool RunMainMenuScreenFrame();
int32_t CloseMainMenuScreen();
// The main menu's pictures loaded again: textures take the stereo colours when they load.
void ReloadMainMenuArt();
