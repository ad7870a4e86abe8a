// What the menu files share among themselves; the rest of the game uses Interface/Menu.h.
#pragma once

#include "Interface/Menu.h"

struct MenuHistoryEntry
{
    uint32_t menuId;
    int selectedRow;
};

struct MenuRow
{
    MenuItem* item;
    ObjNode* texts[1 + MAX_MENU_COLUMNS]; // the label and the extra columns, one chain from texts[0]
    ObjNode* slider;                      // sliders: the track node
    float y;                              // centre, overlay units
    float height;                         // row units
    uint8_t layoutFlags;
};

// The one navigation.
struct MenuNavigation
{
    uint32_t menuId;
    MenuItem* sentinel;
    int numRows;
    MenuRow rows[MAX_MENU_ROWS];
    int selectedRow; // -1 none
    int selectedColumn;
    int state;       // kMenuState_...
    float opacity;   // the menu's fade, 0..1
    int32_t outcome; // -1 until chosen
    MenuHistoryEntry history[MAX_MENU_HISTORY];
    int historyPos; // history[historyPos] is the menu shown
    int mouseMode;  // kMouse...
    int hoveredColumn;
    float idleSeconds;
    ObjNode* driver;
    ObjNode* backdrop;
    float backdropHeight; // follows backdropTarget at speed 5
    float backdropTarget;
    ObjNode* arrows[2]; // beside the selected choice's value
    ObjNode* pageObjects[MAX_MENU_PAGE_OBJECTS];
    uint32_t saveSlotBits;
    MenuStyle style;
    int headingOverride; // string shown in the page heading while a capture waits, 0 none

    // Editing.
    float sliderRepeat;       // seconds-ish until the held key steps again
    bool sliderRefused;       // the slider shook at a bound; stays quiet while the key is held
    float dragLastKnobX;      // where the tick last played during a drag
    float captureTime;        // seconds since the capture began (pulse)
    bool captureAwaitRelease; // a gamepad capture waits until confirm is up
};

extern MenuNavigation* gNav;
extern MenuItem* gRegisteredMenus[MAX_REGISTERED_MENUS];
extern int gNumMenusRegistered;
extern int32_t gLastMenuOutcome;

// The last menu effect asked for and how many were, for tests and the sound hookup.
extern int gLastMenuEffect;
extern int gMenuEffectCount;

// Layout (MenuLayout.cpp).
void BuildMenuRows();                 // every row of gNav->menuId, positions and texts
void DisposeMenuRows(bool fadeOut);   // deletes (or fades out) every row's objects
void RefreshMenuRowText(int row);     // rebuilds the texts of one row after its value changed
void UpdateMenuHighlight(int oldRow); // colours and scales after the selection moved
void ShakeMenuRow(int row);           // the refusal wiggle with the refusal sound
ObjNode* MakeMenuText(const char* text, float x, float y, float scale, int slot, int flags);
void SqueezeMenuText(ObjNode* node, float maxWidth);
float MenuRowTextScale(const MenuRow& row);
float DefaultRowHeight(int kind);
void DrawMenuBackdrop(ObjNode* node); // the dark panel behind the rows
void DrawMenuSlider(ObjNode* node);   // a slider track with its equilibrium mark and knob
float SliderKnobX(const MenuItem* item);
constexpr float kSliderCenterX = 460;
constexpr float kSliderTrackWidth = 120;
void PositionChoiceArrows(); // the arrows beside the selected choice's value, or hidden
void PulseChoiceArrows();

// Editing (MenuEditing.cpp): the input routine of each kind.
void NavigateActionItem(int row);
void NavigateChoiceItem(int row);
void NavigateSliderItem(int row);
void ChooseMenuItem(int row);
void StepSlider(int row, int direction); // one key step; at a bound a single shake
void GetChoiceText(const MenuItem* item, char* text, size_t capacity);
int CountChoices(const MenuItem* item);
int CurrentChoiceIndex(const MenuItem* item); // -1 when the byte holds no listed value
void UpdateSliderNode(int row);

// Bindings (MenuBindings.cpp).
void NavigateBindingItem(int row);
void RunMenuCapture(); // states 4-6
void GetBindingColumnText(const MenuItem* item, int column, char* text, size_t capacity);
int BindingColumnCount(int kind);
float BindingColumnX(int kind, int column);

// Mouse (MenuMouse.cpp).
bool NavigateMenuMouseHover(); // true while the pointer hovers a row
int MenuColumnUnderPointer(int row);
bool IsPointerOverRow(int row);
