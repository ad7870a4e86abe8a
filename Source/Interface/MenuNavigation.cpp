// The navigation: opening a menu table, the per-frame driver, the history behind "back" and the
// exit that hands the outcome to the screen.

#include "Interface/MenuLocal.h"

#include "Objects/ObjNode.h"
#include "System/Alerts.h"
#include "System/FrameRate.h"
#include "System/Input.h"
#include "System/Memory.h"

#include <algorithm>
#include <cstring>

MenuNavigation* gNav = nullptr;
MenuItem* gRegisteredMenus[MAX_REGISTERED_MENUS];
int gNumMenusRegistered = 0;
int32_t gLastMenuOutcome = -1;
int gLastMenuEffect = 0;
int gMenuEffectCount = 0;

MenuStyle MakeDefaultMenuStyle()
{
    MenuStyle style;
    std::memset(&style, 0, sizeof(style));
    style.fadeInSpeed = 3.3333333f;
    style.fadeOutSpeed = 5;
    style.textScale = 0.45f;
    style.rowPitch = 38;
    style.baseSlot = 6000;
    style.centerY = 240;
    style.labelFont = 1;
    style.altFont = 2;
    const float label[4] = {0.7f, 0.6f, 0.6f, 1};
    const float white[4] = {1, 1, 1, 1};
    std::memcpy(style.labelColor, label, sizeof(label));
    std::memcpy(style.selectedColor, white, sizeof(white));
    std::memcpy(style.neutralColor, white, sizeof(white));
    style.defaultValue = 1;
    return style;
}

void PlayMenuEffect(int effect)
{
    gLastMenuEffect = effect;
    gMenuEffectCount++;
    uint32_t volume = effect == kMenuEffect_RestoreDefaults ? 85 : 64;
    PlayEffect_Parms(int16_t(effect), volume, volume, kNormalRate);
}

void PlaySliderTick(float fraction)
{
    gLastMenuEffect = kMenuEffect_CursorMove;
    gMenuEffectCount++;
    PlayEffect_Parms(EFFECT_CHANGESELECT, 85, 85, uint32_t((0.5f + 0.4f * fraction) * float(kNormalRate)));
}

// ---------------------------------------------------------------------------------------------------
// Registration
// ---------------------------------------------------------------------------------------------------

static MenuItem* FindRegisteredMenu(uint32_t menuId)
{
    for (int i = 0; i < gNumMenusRegistered; i++) {
        if (gRegisteredMenus[i]->id == menuId)
            return gRegisteredMenus[i];
    }
    return nullptr;
}

void RegisterMenu(MenuItem* table)
{
    MenuItem* entry = table;
    while (entry->id != 0) {
        if (entry->type != kMISENTINEL)
            FatalAssertion("RegisterMenu", __LINE__, "entry->type == kMISENTINEL");
        if (!FindRegisteredMenu(entry->id)) {
            if (gNumMenusRegistered >= MAX_REGISTERED_MENUS)
                FatalAssertion("RegisterMenu", __LINE__, "gNumMenusRegistered < MAX_REGISTERED_MENUS");
            gRegisteredMenus[gNumMenusRegistered++] = entry;
        }
        // On to the next menu's sentinel.
        entry++;
        while (entry->type != kMISENTINEL)
            entry++;
    }
}

// ---------------------------------------------------------------------------------------------------
// Selection and history
// ---------------------------------------------------------------------------------------------------

static int FirstSelectableRow()
{
    for (int row = 0; row < gNav->numRows; row++) {
        if (IsMenuItemSelectable(gNav->rows[row].item))
            return row;
    }
    return -1;
}

bool SelectMenuRow(int row)
{
    if (!gNav || row < 0 || row >= gNav->numRows || !IsMenuItemSelectable(gNav->rows[row].item))
        return false;
    int old = gNav->selectedRow;
    gNav->selectedRow = row;
    gNav->selectedColumn = 0;
    UpdateMenuHighlight(old);
    return true;
}

// Moves the selection by one row, wrapping, over the rows that cannot be selected.
static void MoveSelection(int delta)
{
    if (gNav->numRows == 0)
        return;
    int start = gNav->selectedRow < 0 ? (delta > 0 ? gNav->numRows - 1 : 0) : gNav->selectedRow;
    int row = start;
    for (int tries = 0; tries < gNav->numRows; tries++) {
        row = (row + delta + gNav->numRows) % gNav->numRows;
        if (IsMenuItemSelectable(gNav->rows[row].item)) {
            bool hadSelection = gNav->selectedRow >= 0;
            int old = gNav->selectedRow;
            gNav->selectedRow = row;
            gNav->selectedColumn = 0;
            gNav->sliderRefused = false;
            UpdateMenuHighlight(old);
            if (hadSelection)
                PlayMenuEffect(kMenuEffect_CursorMove);
            return;
        }
    }
}

void LayOutMenu(uint32_t menuId)
{
    MenuItem* sentinel = FindRegisteredMenu(menuId);
    if (!sentinel)
        FatalAssertion("LayOutMenu", __LINE__, "menuStartSentinel->id == menuID");
    if (sentinel->type != kMISENTINEL)
        FatalAssertion("LayOutMenu", __LINE__, "menuStartSentinel->type == kMISENTINEL");

    // 1. The history entry names the menu shown.
    gNav->menuId = menuId;
    gNav->sentinel = sentinel;
    gNav->history[gNav->historyPos].menuId = menuId;
    gNav->headingOverride = 0;
    gNav->sliderRefused = false;
    if (gNav->mouseMode == kMouseDraggingSlider)
        gNav->mouseMode = kMouseWandering;

    // 2. Rows, positions and texts.
    BuildMenuRows();

    // 3. The selection the history remembers, or the first row that can be chosen.
    int remembered = gNav->history[gNav->historyPos].selectedRow;
    gNav->selectedRow = -1;
    gNav->selectedColumn = 0;
    if (!SelectMenuRow(remembered))
        SelectMenuRow(FirstSelectableRow());

    // 4. The menu's own routine, now that its rows exist.
    if (sentinel->onActivate)
        sentinel->onActivate(sentinel);
}

void LayoutCurrentMenuAgain(bool keepSelection)
{
    if (!gNav)
        return;
    gNav->history[gNav->historyPos].selectedRow = keepSelection ? gNav->selectedRow : -1;
    int column = gNav->selectedColumn;
    LayOutMenu(gNav->menuId);
    if (keepSelection)
        gNav->selectedColumn = column;
}

void PushMenuHistoryAndLayOut(uint32_t menuId)
{
    if (gNav->historyPos + 1 >= MAX_MENU_HISTORY)
        FatalAssertion("PushMenuHistoryAndLayOut", __LINE__, "gNav->historyPos + 1 < MAX_MENU_HISTORY");
    gNav->history[gNav->historyPos].selectedRow = gNav->selectedRow;
    gNav->historyPos++;
    gNav->history[gNav->historyPos] = {menuId, -1};
    LayOutMenu(menuId);
}

void GoBackInMenu()
{
    if (gNav->historyPos > 0) {
        gNav->historyPos--;
        PlayMenuEffect(kMenuEffect_Back);
        LayOutMenu(gNav->history[gNav->historyPos].menuId);
    } else if (gNav->style.flags & kMenuFlag_BackExitsAtRoot) {
        PlayMenuEffect(kMenuEffect_Back);
        StartMenuExit();
    } else {
        PlayMenuEffect(kMenuEffect_Refusal);
    }
}

// ---------------------------------------------------------------------------------------------------
// Exit
// ---------------------------------------------------------------------------------------------------

void StartMenuExit()
{
    gNav->state = kMenuState_Exiting;
    gNav->mouseMode = kMouseNone;
}

// The exit is complete: everything the navigation made goes, then the screen hears the outcome.
static void FinishMenuExit()
{
    // 1. A screen that wants it fades the whole picture out first.
    if ((gNav->style.flags & kMenuFlag_FadeScreenOut) && gNav->style.screenFadeOut)
        gNav->style.screenFadeOut();

    // 2. The rows fade away by twitch or go at once; so do the backdrop and the arrows.
    DisposeMenuRows((gNav->style.flags & kMenuFlag_FadeTextsOut) != 0);
    DisposeObject(gNav->backdrop);
    DisposeObject(gNav->arrows[0]);
    DisposeObject(gNav->arrows[1]);

    // 3. The press that ended the menu must not act on the screen behind it.
    PollInput();

    // 4. The navigation is gone before the screen's routine runs, so that it may open another.
    int32_t outcome = gNav->outcome;
    MenuStyle style = gNav->style;
    gLastMenuOutcome = outcome;
    DisposeObject(gNav->driver);
    SafeDisposePtr(gNav);
    gNav = nullptr;
    gNumMenusRegistered = 0;
    if (style.outcomeRoutine)
        style.outcomeRoutine(outcome);
}

// ---------------------------------------------------------------------------------------------------
// The driver
// ---------------------------------------------------------------------------------------------------

static bool AnyInputThisFrame()
{
    if (gMouseMotionNow)
        return true;
    for (int need = kNeedMenuUp; need <= kNeedPause; need++) {
        if (GetNeedState(need, -1) == KEYSTATE_PRESSED)
            return true;
    }
    return false;
}

static bool IsCapturing()
{
    return gNav->state >= kMenuState_AwaitingKey;
}

static void RunReadyState()
{
    bool interactive = (gNav->style.flags & kMenuFlag_Interactive) != 0;
    bool backPressed = GetNeedState(kNeedMenuBack, -1) == KEYSTATE_PRESSED ||
                       GetMouseButtonState(kMouseButton4) == KEYSTATE_PRESSED;

    if (interactive && !backPressed) {
        // Keyboard and gamepad move the highlight; otherwise the pointer may.
        if (GetNeedState(kNeedMenuUp, -1) == KEYSTATE_PRESSED)
            MoveSelection(-1);
        else if (GetNeedState(kNeedMenuDown, -1) == KEYSTATE_PRESSED)
            MoveSelection(+1);
        else
            NavigateMenuMouseHover();

        // The selected item reads its own input.
        int row = gNav->selectedRow;
        if (row >= 0) {
            switch (gNav->rows[row].item->type) {
            case kMIAction:
            case kMISaveSlot:
                NavigateActionItem(row);
                break;
            case kMIChoiceInline:
            case kMIChoiceColumns:
                NavigateChoiceItem(row);
                break;
            case kMISlider:
                NavigateSliderItem(row);
                break;
            case kMIKeyBind:
            case kMIGamepadBind:
            case kMIMouseBind:
                NavigateBindingItem(row);
                break;
            default:
                break;
            }
        }
    }

    if (gNav->state != kMenuState_Ready)
        return;
    bool goBack = backPressed || (!interactive && GetNeedState(kNeedPause, -1) == KEYSTATE_PRESSED);
    if (goBack)
        GoBackInMenu();
}

static void ApplyMenuOpacity()
{
    for (int row = 0; row < gNav->numRows; row++) {
        for (ObjNode* text : gNav->rows[row].texts) {
            if (text && text->Tint.a > gNav->opacity)
                text->Tint.a = gNav->opacity;
        }
    }
}

static void MoveMenuDriver(ObjNode*)
{
    // 1. Idle time, and the start button that leaves menus which allow it.
    gNav->idleSeconds = AnyInputThisFrame() ? 0 : gNav->idleSeconds + gFrameSeconds;
    const uint32_t startExits = kMenuFlag_StartExits | kMenuFlag_BackExitsAtRoot;
    if ((gNav->style.flags & startExits) == startExits && !IsCapturing() &&
        gNav->state != kMenuState_Exiting && GetNeedState(kNeedMenuStart, -1) == KEYSTATE_PRESSED)
        StartMenuExit();

    // 2. The backdrop follows the height of the rows.
    gNav->backdropHeight += (gNav->backdropTarget - gNav->backdropHeight) * std::min(1.0f, gFrameSeconds * 5);

    switch (gNav->state) {
    case kMenuState_FadingIn:
        gNav->opacity += gFrameSeconds * gNav->style.fadeInSpeed;
        if (gNav->opacity >= 1) {
            gNav->opacity = 1;
            gNav->state = kMenuState_Ready;
        }
        break;

    case kMenuState_Ready:
        RunReadyState();
        break;

    case kMenuState_Exiting:
        if (gNav->style.flags & kMenuFlag_FadeTextsOut) {
            gNav->state = kMenuState_Off;
        } else {
            gNav->opacity -= gFrameSeconds * gNav->style.fadeOutSpeed;
            ApplyMenuOpacity();
            if (gNav->opacity <= 0)
                gNav->state = kMenuState_Off;
        }
        if (gNav->state == kMenuState_Off)
            FinishMenuExit();
        break;

    case kMenuState_AwaitingKey:
    case kMenuState_AwaitingGamepad:
    case kMenuState_AwaitingMouse:
        RunMenuCapture();
        break;

    default:
        break;
    }
}

// ---------------------------------------------------------------------------------------------------
// Opening
// ---------------------------------------------------------------------------------------------------

void StartMenuNavigation(MenuItem* table, const MenuStyle* style)
{
    if (gNav)
        FatalAssertion("InitMenuNavigation", __LINE__, "gNav == NULL");
    gNav = static_cast<MenuNavigation*>(AllocPtrClear(int32_t(sizeof(MenuNavigation))));
    gNav->style = *style;
    gNav->selectedRow = -1;
    gNav->outcome = -1;
    gLastMenuOutcome = -1;
    gNav->state = kMenuState_FadingIn;
    gNumMenusRegistered = 0;
    RegisterMenu(table);

    // The driver moves the menu every frame, also while the game is paused.
    ObjectDefinition def = {};
    def.genre = CUSTOM_DRAW_GENRE;
    def.slot = style->baseSlot;
    def.statusFlags = NODEBIT_RUNS_WHEN_PAUSED | NODEBIT_NO_CULLING | NODEBIT_INVISIBLE;
    def.moveProc = MoveMenuDriver;
    def.scale = 1;
    gNav->driver = MakeNewObject(&def);

    if (style->backdropOpacity > 0) {
        def.statusFlags = NODEBIT_RUNS_WHEN_PAUSED | NODEBIT_NO_CULLING;
        def.moveProc = nullptr;
        def.drawProc = DrawMenuBackdrop;
        gNav->backdrop = MakeNewObject(&def);
        MakeOverlayOnly(gNav->backdrop);
        gNav->backdrop->Tint.a = style->backdropOpacity;
    }

    LayOutMenu(table->id);
    gNav->backdropHeight = gNav->backdropTarget;
}

// ---------------------------------------------------------------------------------------------------
// Queries
// ---------------------------------------------------------------------------------------------------

int32_t GetMenuOutcome()
{
    return gNav ? gNav->outcome : gLastMenuOutcome;
}

int32_t GetLastMenuOutcome()
{
    return gLastMenuOutcome;
}

uint32_t CurrentMenuId()
{
    return gNav ? gNav->menuId : 0;
}

float MenuIdleSeconds()
{
    return gNav ? gNav->idleSeconds : 0;
}

bool IsMenuMouseActive()
{
    return gNav && (gNav->mouseMode == kMouseHovering || gNav->mouseMode == kMouseDraggingSlider);
}

bool IsMenuNavigationActive()
{
    return gNav != nullptr;
}

void ForceMenuOutcome(int32_t code)
{
    if (!gNav || gNav->state != kMenuState_Ready)
        return;
    gNav->outcome = code;
    StartMenuExit();
}

int GetSelectedMenuRow()
{
    return gNav ? gNav->selectedRow : -1;
}

MenuItem* GetMenuRowItem(int row)
{
    if (!gNav || row < 0 || row >= gNav->numRows)
        return nullptr;
    return gNav->rows[row].item;
}

ObjNode* GetMenuRowText(int row, int column)
{
    if (!gNav || row < 0 || row >= gNav->numRows || column < 0 || column > MAX_MENU_COLUMNS)
        return nullptr;
    return gNav->rows[row].texts[column];
}

int CountMenuRows()
{
    return gNav ? gNav->numRows : 0;
}

int GetMenuState()
{
    return gNav ? gNav->state : kMenuState_Off;
}

int GetMenuSelectedColumn()
{
    return gNav ? gNav->selectedColumn : 0;
}

void DisposeMenuNavigation()
{
    if (!gNav)
        return;
    gLastMenuOutcome = -1;
    DisposeMenuRows(false);
    DisposeObject(gNav->backdrop);
    DisposeObject(gNav->arrows[0]);
    DisposeObject(gNav->arrows[1]);
    DisposeObject(gNav->driver);
    SafeDisposePtr(gNav);
    gNav = nullptr;
    gNumMenusRegistered = 0;
}
