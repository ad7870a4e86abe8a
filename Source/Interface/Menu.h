// Menus: one table-driven system for the main menu, the pause menu, the save prompt between levels
// and every settings page. A menu is a sentinel record followed by its items; a table holds several
// menus and ends with a sentinel whose id is 0. One navigation at a time lays out one menu of its
// registered tables as text meshes (slots from the style's base slot up), moves a highlight with
// keyboard, gamepad or mouse, edits the preference bytes the items point to, keeps a history for
// "back" and finally hands a four-character outcome to the screen that opened it.
#pragma once

#include "Sound/GameSound.h"

#include <cstddef>
#include <cstdint>

struct ObjNode;

// Four-character codes, first character in the most significant byte ('adve').
constexpr uint32_t MenuCode(const char (&code)[5])
{
    return (uint32_t(uint8_t(code[0])) << 24) | (uint32_t(uint8_t(code[1])) << 16) |
           (uint32_t(uint8_t(code[2])) << 8) | uint32_t(uint8_t(code[3]));
}

// Where choosing an item leads, besides another menu's id.
constexpr uint32_t kMenuBack = MenuCode("BACK");
constexpr uint32_t kMenuExit = MenuCode("EXIT");
constexpr uint32_t kMenuNoop = MenuCode("NOOP");

constexpr int MAX_MENU_ROWS = 25;
constexpr int MAX_REGISTERED_MENUS = 32;
constexpr int MAX_MENU_HISTORY = 16;
constexpr int MAX_MENU_CHOICES = 8;
constexpr int MAX_MENU_COLUMNS = 3; // text objects of a row after its label
constexpr int MAX_MENU_PAGE_OBJECTS = 4;

// Item kinds; the layout and input routine of each come from a table indexed by kind.
enum
{
    kMISENTINEL = 0,
    kMIAction = 1,
    kMIHeading = 2,
    kMIGap = 3,
    kMIChoiceInline = 4,
    kMIChoiceColumns = 5,
    kMISlider = 6,
    kMIKeyBind = 7,
    kMIGamepadBind = 8,
    kMIMouseBind = 9,
    kMISaveSlot = 10,
    NUM_MENU_ITEM_KINDS
};

// Bits of an item's layout flags.
constexpr uint8_t kMILayoutFlag_Dimmed = 0x1; // shown dimmed, not selectable
constexpr uint8_t kMILayoutFlag_Hidden = 0x2; // takes no row

// Style flags.
enum
{
    kMenuFlag_FadeTextsOut = 0x1,     // exit: the texts fade out by twitch (else they go at once)
    kMenuFlag_FadeScreenOut = 0x2,    // exit: the style's full-screen fade-out runs
    kMenuFlag_StartExits = 0x4,       // with kMenuFlag_BackExitsAtRoot, the start button exits
    kMenuFlag_Interactive = 0x8,      // keyboard and gamepad navigation (else only back or pause exit)
    kMenuFlag_BackExitsAtRoot = 0x10, // back at the first menu exits
};

// Navigation states.
enum
{
    kMenuState_Off = 0,
    kMenuState_FadingIn = 1,
    kMenuState_Ready = 2,
    kMenuState_Exiting = 3,
    kMenuState_AwaitingKey = 4,
    kMenuState_AwaitingGamepad = 5,
    kMenuState_AwaitingMouse = 6,
};

// Mouse modes.
enum
{
    kMouseNone = 0,
    kMouseWandering = 1,
    kMouseHovering = 2,
    kMouseDraggingSlider = 3,
};

struct MenuItem;
typedef void (*MenuItemProc)(MenuItem* item);                 // chosen, or its value changed
typedef uint8_t (*MenuLayoutFlagsProc)(const MenuItem* item); // kMILayoutFlag_... bits
typedef int (*MenuChoiceCountProc)();                         // numeric choice: number of values
typedef void (*MenuChoiceTextProc)(int value, char* text, size_t capacity);
// Save-slot items: the slot's description; false when the slot holds no saved game.
typedef bool (*MenuSlotDescriptionProc)(int slot, char* text, size_t capacity);

struct MenuChoice
{
    int32_t textId; // 0 ends the list
    uint8_t value;  // stored through valuePtr
};

struct MenuSliderRange
{
    uint8_t equilibrium; // the neutral value, marked on the track
    uint8_t minValue;
    uint8_t maxValue;
    uint8_t increment; // never 0
};

// One row of a menu (128 bytes). The sentinel of a menu holds its id and the routine run after
// it is laid out.
struct MenuItem
{
    int32_t type;     // kMI...
    int32_t textId;   // label string, used when text is null
    const char* text; // literal label, or null
    uint32_t id;      // sentinel: the menu's id; item: the outcome reported when chosen (0 none)
    uint32_t leadsTo; // another menu's id, kMenuBack, kMenuExit, kMenuNoop or 0
    MenuItemProc onActivate;
    MenuLayoutFlagsProc layoutFlagsProc; // optional
    union
    {
        uint8_t* valuePtr; // choices and sliders: the preference byte edited
        int32_t number;    // bindings: the need; save slots: the slot
    };
    union
    {
        MenuSliderRange slider;
        uint32_t choiceMode; // choices: 0 a fixed list, else a numeric choice
    };
    union
    {
        MenuChoice options[MAX_MENU_CHOICES];
        struct
        {
            MenuChoiceCountProc count;
            MenuChoiceTextProc text;
        } numeric;
        MenuSlotDescriptionProc describeSlot;
    };
    float rowHeight; // in row units; 0 = the kind's default
};
static_assert(sizeof(MenuItem) == 128, "menu items are fixed-size records");

// How the screen that opens a menu wants it to look and behave.
struct MenuStyle
{
    float backdropOpacity; // 0: no backdrop
    float fadeInSpeed;
    float fadeOutSpeed;
    float textScale;
    float rowPitch; // overlay units per row unit
    int16_t baseSlot;
    float centerY;
    int labelFont; // atlas slots
    int altFont;
    float labelColor[4];    // items not selected
    float selectedColor[4]; // the selected item
    float neutralColor[4];
    float defaultValue;
    uint32_t flags;                       // kMenuFlag_...
    void (*outcomeRoutine)(int32_t code); // receives the outcome once the exit is complete
    void (*screenFadeOut)();              // the full-screen fade-out of kMenuFlag_FadeScreenOut
};

// The defaults every screen starts from (no backdrop, centre 240, flags 0).
MenuStyle MakeDefaultMenuStyle();

// --- Navigation (MenuNavigation.cpp) ---
// Opens a navigation over a table and lays out its first menu. Fatal when one is already open.
void StartMenuNavigation(MenuItem* table, const MenuStyle* style);
// Adds every menu of a table whose id is not registered yet; fatal beyond 32 menus.
void RegisterMenu(MenuItem* table);
void LayOutMenu(uint32_t menuId);                // builds the rows of a registered menu
void LayoutCurrentMenuAgain(bool keepSelection); // after a language change or a reset
int32_t GetMenuOutcome();                        // -1 until an outcome is chosen
int32_t GetLastMenuOutcome();                    // the outcome of the last navigation that ended
uint32_t CurrentMenuId();                        // 0 with no navigation
float MenuIdleSeconds();                         // since the last input
bool IsMenuMouseActive();                        // the pointer hovers or drags
bool IsMenuNavigationActive();                   // a navigation exists
void ForceMenuOutcome(int32_t code);             // while ready: that outcome, then exit
void PushMenuHistoryAndLayOut(uint32_t menuId);  // as choosing an item that leads to menuId
void GoBackInMenu();                             // as the back need
void StartMenuExit();                            // the exit with the current outcome
int GetSelectedMenuRow();                        // -1 without a selection
MenuItem* GetMenuRowItem(int row);               // null outside the rows
ObjNode* GetMenuRowText(int row, int column);    // column 0 the label, 1.. the extra columns
int CountMenuRows();
// Sets the selection to a row that can be selected; false (unchanged) otherwise.
bool SelectMenuRow(int row);
// The state of the current navigation (kMenuState_...), kMenuState_Off without one.
int GetMenuState();
int GetMenuSelectedColumn();
// A text or picture that belongs to the page shown (a note, a picture): it goes when the rows go.
void AttachMenuPageObject(ObjNode* node);
// A centred text in the label font attached to the page; null when the page holds too many.
ObjNode* MakeMenuPageText(const char* text, float x, float y, float scale, float opacity);
// Replaces the page heading shown while a capture waits (0: the heading's own text again).
void SetMenuHeadingOverride(int stringId);

// --- Layout flags of items (MenuLayout.cpp) ---
uint8_t GetMenuItemLayoutFlags(const MenuItem* item);
bool IsMenuItemSelectable(const MenuItem* item); // not a heading, gap or sentinel, neither dimmed nor hidden
uint8_t SaveSlotLayoutFlags(const MenuItem* item); // dimmed unless the slot holds a saved game

// --- Display names of bindings (MenuBindingNames.cpp) ---
void GetKeyBindingName(int16_t scancode, char* text, size_t capacity);
void GetPadBindingName(uint8_t type, uint8_t id, char* text, size_t capacity);
void GetMouseBindingName(uint8_t mouseInput, char* text, size_t capacity);

// --- The pointer (MenuMouse.cpp) ---
// The menu pointer: slot 6100, follows the mouse, fades in while the mouse is used. Fatal when
// the cursor sprite group is empty.
ObjNode* MakeMouseCursorObject();

// Sound effects the menus play (numbers of the game's effect list).
enum
{
    kMenuEffect_CursorMove = EFFECT_CHANGESELECT,
    kMenuEffect_RestoreDefaults = EFFECT_TURRETEXPLOSION,
    kMenuEffect_Back = EFFECT_CHANGEWEAPON,
    kMenuEffect_Grab = EFFECT_GRABEGG,
    kMenuEffect_Choose = EFFECT_MENUSELECT,
    kMenuEffect_Cleared = EFFECT_CRYSTALSHATTER,
    kMenuEffect_Refusal = EFFECT_BADSELECT,
};
// Plays a menu effect at volumes 64/64 (restoring defaults 85/85) and the normal rate.
void PlayMenuEffect(int effect);
// A slider's tick: the cursor effect at 85/85, pitched up with the slider's position (0..1).
void PlaySliderTick(float fraction);

// Ends the navigation at once without an outcome (a screen torn down around it).
void DisposeMenuNavigation();
