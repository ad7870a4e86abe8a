// The controls pages: rows of key, gamepad and mouse bindings, clearing a binding and capturing a
// new one. A binding taken by one need is first removed from the other needs of the same page, so
// one input never drives two needs; the third and fourth key and gamepad slots hold fixed defaults
// the pages neither show nor clear.

#include "Interface/MenuLocal.h"

#include "Interface/LocalizedStrings.h"
#include "Interface/StringIDs.h"
#include "Objects/ObjNode.h"
#include "System/Alerts.h"
#include "System/FrameRate.h"
#include "System/Input.h"
#include "System/Prefs.h"

#include <SDL.h>
#include <cmath>
#include <cstdio>

static constexpr int kScancodeX = 27;
static constexpr int kMaxCapturedButton = 20;
static constexpr int kMaxCapturedAxis = 5;
static constexpr int kAxisCaptureThreshold = 24575;

static bool Pressed(int need)
{
    return GetNeedState(need, -1) == KEYSTATE_PRESSED;
}

static bool KeyPressed(int scancode)
{
    return QueryKeyState(scancode) == KEYSTATE_PRESSED;
}

static bool MousePressed(int input)
{
    return GetMouseButtonState(input) == KEYSTATE_PRESSED;
}

static InputBinding& BindingOfRow(int row)
{
    int need = gNav->rows[row].item->number;
    if (need < 0 || need >= NUM_CONTROL_NEEDS)
        FatalAssertion("BindingOfRow", __LINE__, "need < NUM_CONTROL_NEEDS");
    return gPrefs.bindings[need];
}

int BindingColumnCount(int kind)
{
    return kind == kMIMouseBind ? 1 : MAX_USER_BINDINGS_PER_NEED;
}

float BindingColumnX(int kind, int column)
{
    if (kind == kMIMouseBind)
        return 460;
    return column == 0 ? 300 : 470;
}

static bool IsCapturingColumn(const MenuItem* item, int column)
{
    if (gNav->state < kMenuState_AwaitingKey || gNav->selectedRow < 0)
        return false;
    return gNav->rows[gNav->selectedRow].item == item && gNav->selectedColumn == column;
}

void GetBindingColumnText(const MenuItem* item, int column, char* text, size_t capacity)
{
    if (IsCapturingColumn(item, column)) {
        int waiting = item->type == kMIMouseBind ? STR_BINDING_WAITING_MOUSE : STR_BINDING_WAITING;
        std::snprintf(text, capacity, "%s", GetLocalizedString(waiting));
        return;
    }
    if (item->number < 0 || item->number >= NUM_CONTROL_NEEDS) {
        std::snprintf(text, capacity, "???");
        return;
    }
    const InputBinding& binding = gPrefs.bindings[item->number];
    switch (item->type) {
    case kMIKeyBind:
        GetKeyBindingName(binding.key[column], text, capacity);
        break;
    case kMIGamepadBind:
        GetPadBindingName(binding.pad[column].type, binding.pad[column].id, text, capacity);
        break;
    default:
        GetMouseBindingName(binding.mouseButton, text, capacity);
        break;
    }
}

// The selected column shows in the selected colour, the other in the label colour.
static void HighlightBindingColumn(int row)
{
    MenuRow& r = gNav->rows[row];
    for (int column = 0; column < BindingColumnCount(r.item->type); column++) {
        ObjNode* node = r.texts[1 + column];
        if (!node)
            continue;
        const float* color =
            column == gNav->selectedColumn ? gNav->style.selectedColor : gNav->style.labelColor;
        node->Tint.r = color[0];
        node->Tint.g = color[1];
        node->Tint.b = color[2];
    }
}

static void RefreshRowsOfKind(int kind)
{
    for (int row = 0; row < gNav->numRows; row++) {
        if (gNav->rows[row].item->type == kind)
            RefreshMenuRowText(row);
    }
}

static void ClearBinding(int row)
{
    InputBinding& binding = BindingOfRow(row);
    int column = gNav->selectedColumn;
    switch (gNav->rows[row].item->type) {
    case kMIKeyBind:
        binding.key[column] = 0;
        break;
    case kMIGamepadBind:
        binding.pad[column] = {kPadBindingNone, 0};
        break;
    default:
        binding.mouseButton = 0;
        break;
    }
    PlayMenuEffect(kMenuEffect_Cleared);
    RefreshMenuRowText(row);
}

static void BeginCapture(int row)
{
    int kind = gNav->rows[row].item->type;
    if (kind == kMIGamepadBind && CountOpenControllers() == 0) {
        // Nothing to listen to: say so in the heading and refuse.
        SetMenuHeadingOverride(STR_NO_GAMEPAD);
        ShakeMenuRow(row);
        return;
    }
    PlayMenuEffect(kMenuEffect_Grab);
    LockAllInputStates();
    gNav->captureTime = 0;
    gNav->captureAwaitRelease = true;
    if (kind == kMIKeyBind) {
        gNav->state = kMenuState_AwaitingKey;
        SetMenuHeadingOverride(STR_PRESS_A_KEY_HEADING);
    } else if (kind == kMIGamepadBind) {
        gNav->state = kMenuState_AwaitingGamepad;
        SetMenuHeadingOverride(STR_PRESS_A_BUTTON_HEADING);
    } else {
        gNav->state = kMenuState_AwaitingMouse;
    }
    RefreshMenuRowText(row);
}

static void EndCapture(int row, bool cancelled)
{
    gNav->state = kMenuState_Ready;
    SetMenuHeadingOverride(0);
    if (cancelled)
        ShakeMenuRow(row);
    else
        PlayMenuEffect(kMenuEffect_Choose);
    RefreshRowsOfKind(gNav->rows[row].item->type);
    ObjNode* node = gNav->rows[row].texts[1 + gNav->selectedColumn];
    if (node)
        node->Tint.a = 1;
    HighlightBindingColumn(row);
}

void NavigateBindingItem(int row)
{
    int kind = gNav->rows[row].item->type;
    int columns = BindingColumnCount(kind);
    bool mouseOnRow = gNav->mouseMode == kMouseHovering && IsPointerOverRow(row);

    // 1. Which column: left and right, or the one under the pointer when clicked.
    if (Pressed(kNeedMenuLeft) && gNav->selectedColumn > 0)
        gNav->selectedColumn--;
    else if (Pressed(kNeedMenuRight) && gNav->selectedColumn < columns - 1)
        gNav->selectedColumn++;
    if (mouseOnRow && (MousePressed(kMouseButtonLeft) || MousePressed(kMouseButtonMiddle))) {
        int column = MenuColumnUnderPointer(row);
        if (column >= 0 && column < columns)
            gNav->selectedColumn = column;
    }
    if (gNav->selectedColumn >= columns)
        gNav->selectedColumn = columns - 1;
    HighlightBindingColumn(row);

    // 2. Clearing.
    if (Pressed(kNeedMenuDelete) || KeyPressed(kScancodeX) ||
        (mouseOnRow && MousePressed(kMouseButtonMiddle))) {
        ClearBinding(row);
        return;
    }

    // 3. A capture: Return or keypad Enter on key rows, confirm on the others, or a click.
    bool start;
    if (kind == kMIKeyBind)
        start = KeyPressed(SDL_SCANCODE_RETURN) || KeyPressed(SDL_SCANCODE_KP_ENTER);
    else
        start = Pressed(kNeedMenuConfirm) || KeyPressed(SDL_SCANCODE_KP_ENTER);
    if (mouseOnRow && MousePressed(kMouseButtonLeft) && MenuColumnUnderPointer(row) >= 0)
        start = true;
    if (start)
        BeginCapture(row);
}

// ---------------------------------------------------------------------------------------------------
// Captures
// ---------------------------------------------------------------------------------------------------

static void AwaitKeyPress(int row)
{
    int keyNo = gNav->selectedColumn;
    if (!(keyNo >= 0))
        FatalAssertion("AwaitKeyPress", __LINE__, "keyNo >= 0");
    if (!(keyNo < MAX_USER_BINDINGS_PER_NEED))
        FatalAssertion("AwaitKeyPress", __LINE__, "keyNo < MAX_USER_BINDINGS_PER_NEED");

    if (KeyPressed(SDL_SCANCODE_ESCAPE) || MousePressed(kMouseButtonLeft) ||
        MousePressed(kMouseButtonRight)) {
        EndCapture(row, true);
        return;
    }
    for (int scancode = 0; scancode < NUM_KEY_STATES; scancode++) {
        if (!KeyPressed(scancode))
            continue;
        // The key leaves every other row of the page that shows it.
        for (int other = 0; other < gNav->numRows; other++) {
            if (gNav->rows[other].item->type != kMIKeyBind)
                continue;
            InputBinding& binding = BindingOfRow(other);
            for (int slot = 0; slot < MAX_USER_BINDINGS_PER_NEED; slot++) {
                if (binding.key[slot] == scancode)
                    binding.key[slot] = 0;
            }
        }
        BindingOfRow(row).key[keyNo] = int16_t(scancode);
        EndCapture(row, false);
        return;
    }
}

static bool SamePad(PadBinding a, PadBinding b)
{
    return a.type == b.type && a.id == b.id;
}

// The first button or pushed axis of an open controller; false when nothing is pressed.
static bool FindPressedPadInput(PadBinding* found, bool* startPressed)
{
    *startPressed = false;
    for (int slot = 0; slot < MAX_LOCAL_PLAYERS; slot++) {
        SDL_GameController* controller = GetController(slot);
        if (!controller)
            continue;
        if (SDL_GameControllerGetButton(controller, SDL_CONTROLLER_BUTTON_START)) {
            *startPressed = true;
            return false;
        }
        for (int button = 0; button <= kMaxCapturedButton; button++) {
            if (SDL_GameControllerGetButton(controller, SDL_GameControllerButton(button))) {
                *found = {kPadBindingButton, uint8_t(button)};
                return true;
            }
        }
        for (int axis = 0; axis <= kMaxCapturedAxis; axis++) {
            int value = SDL_GameControllerGetAxis(controller, SDL_GameControllerAxis(axis));
            if (value < -kAxisCaptureThreshold || value > kAxisCaptureThreshold) {
                *found = {uint8_t(value < 0 ? kPadBindingAxisMinus : kPadBindingAxisPlus), uint8_t(axis)};
                return true;
            }
        }
    }
    return false;
}

static void AwaitGamepadPress(int row)
{
    int keyNo = gNav->selectedColumn;
    if (!(keyNo >= 0))
        FatalAssertion("AwaitGamepadPress", __LINE__, "keyNo >= 0");
    if (!(keyNo < MAX_USER_BINDINGS_PER_NEED))
        FatalAssertion("AwaitGamepadPress", __LINE__, "keyNo < MAX_USER_BINDINGS_PER_NEED");

    // The confirm press that began the capture must be let go first.
    if (gNav->captureAwaitRelease) {
        uint8_t confirm = GetNeedState(kNeedMenuConfirm, -1);
        if (confirm != KEYSTATE_UP && confirm != KEYSTATE_RELEASED)
            return;
        gNav->captureAwaitRelease = false;
    }

    PadBinding found;
    bool startPressed;
    bool any = FindPressedPadInput(&found, &startPressed);
    if (startPressed || KeyPressed(SDL_SCANCODE_ESCAPE) || MousePressed(kMouseButtonLeft) ||
        MousePressed(kMouseButtonRight) || CountOpenControllers() == 0) {
        EndCapture(row, true);
        return;
    }
    if (!any)
        return;
    for (int other = 0; other < gNav->numRows; other++) {
        if (gNav->rows[other].item->type != kMIGamepadBind)
            continue;
        InputBinding& binding = BindingOfRow(other);
        for (int slot = 0; slot < MAX_USER_BINDINGS_PER_NEED; slot++) {
            if (SamePad(binding.pad[slot], found))
                binding.pad[slot] = {kPadBindingNone, 0};
        }
    }
    BindingOfRow(row).pad[keyNo] = found;
    EndCapture(row, false);
}

static void AwaitMousePress(int row)
{
    if (KeyPressed(SDL_SCANCODE_ESCAPE) || Pressed(kNeedMenuConfirm) || Pressed(kNeedMenuBack)) {
        EndCapture(row, true);
        return;
    }
    for (int input = 1; input < NUM_MOUSE_STATES; input++) {
        if (!MousePressed(input))
            continue;
        for (int other = 0; other < gNav->numRows; other++) {
            if (gNav->rows[other].item->type == kMIMouseBind && BindingOfRow(other).mouseButton == input)
                BindingOfRow(other).mouseButton = 0;
        }
        BindingOfRow(row).mouseButton = uint8_t(input);
        EndCapture(row, false);
        return;
    }
}

void RunMenuCapture()
{
    int row = gNav->selectedRow;
    if (row < 0)
        FatalAssertion("RunMenuCapture", __LINE__, "gNav->selectedRow >= 0");

    // The waiting column pulses.
    gNav->captureTime += gFrameSeconds;
    ObjNode* node = gNav->rows[row].texts[1 + gNav->selectedColumn];
    if (node)
        node->Tint.a = (std::sin(10 * gNav->captureTime) + 1) / 2;

    switch (gNav->state) {
    case kMenuState_AwaitingKey:
        AwaitKeyPress(row);
        break;
    case kMenuState_AwaitingGamepad:
        AwaitGamepadPress(row);
        break;
    default:
        AwaitMousePress(row);
        break;
    }
}
