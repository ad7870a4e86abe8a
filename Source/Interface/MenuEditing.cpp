// The input routines of actions, save slots, choices and sliders: choosing, stepping a choice,
// stepping and dragging a slider. Every edit writes the preference byte the item points to.

#include "Interface/MenuLocal.h"

#include "3D/Atlas.h"
#include "3D/TextMesh.h"
#include "Interface/LocalizedStrings.h"
#include "Objects/ObjNode.h"
#include "System/Alerts.h"
#include "System/FrameRate.h"
#include "System/Input.h"

#include <algorithm>
#include <cmath>
#include <cstdio>

static constexpr float kSliderFirstRepeat = 2.5f;
static constexpr float kSliderNextRepeat = 1.0f;
static constexpr float kSliderRepeatRate = 12;
static constexpr float kDragTickDistance = 7;

static bool Pressed(int need)
{
    return GetNeedState(need, -1) == KEYSTATE_PRESSED;
}

static bool MousePressed(int input)
{
    return GetMouseButtonState(input) == KEYSTATE_PRESSED;
}

// The pointer is over this row (hover mode), so clicks and the wheel act on it.
static bool MouseOnRow(int row)
{
    return gNav->mouseMode == kMouseHovering && row == gNav->selectedRow && IsPointerOverRow(row);
}

// ---------------------------------------------------------------------------------------------------
// Actions and save slots
// ---------------------------------------------------------------------------------------------------

void ChooseMenuItem(int row)
{
    MenuItem* item = gNav->rows[row].item;
    if (item->leadsTo != kMenuBack)
        PlayMenuEffect(kMenuEffect_Choose);
    gNav->outcome = int32_t(item->id);
    if (item->onActivate)
        item->onActivate(item);
    if (!gNav)
        return; // the routine closed the menu

    uint32_t leadsTo = item->leadsTo;
    if (leadsTo == 0 || leadsTo == kMenuNoop)
        return;
    if (leadsTo == kMenuBack)
        GoBackInMenu();
    else if (leadsTo == kMenuExit)
        StartMenuExit();
    else
        PushMenuHistoryAndLayOut(leadsTo);
}

void NavigateActionItem(int row)
{
    if (Pressed(kNeedMenuConfirm) || (MouseOnRow(row) && MousePressed(kMouseButtonLeft)))
        ChooseMenuItem(row);
}

// ---------------------------------------------------------------------------------------------------
// Choices
// ---------------------------------------------------------------------------------------------------

int CountChoices(const MenuItem* item)
{
    if (item->choiceMode != 0)
        return item->numeric.count ? std::max(0, item->numeric.count()) : 0;
    int count = 0;
    while (count < MAX_MENU_CHOICES && item->options[count].textId != 0)
        count++;
    return count;
}

int CurrentChoiceIndex(const MenuItem* item)
{
    if (!item->valuePtr)
        return -1;
    int value = *item->valuePtr;
    if (item->choiceMode != 0)
        return value < CountChoices(item) ? value : -1;
    for (int i = 0; i < CountChoices(item); i++) {
        if (item->options[i].value == value)
            return i;
    }
    return -1;
}

void GetChoiceText(const MenuItem* item, char* text, size_t capacity)
{
    int index = CurrentChoiceIndex(item);
    if (index < 0)
        std::snprintf(text, capacity, "%s", GetLocalizedString(0));
    else if (item->choiceMode != 0 && item->numeric.text)
        item->numeric.text(index, text, capacity);
    else if (item->choiceMode != 0)
        std::snprintf(text, capacity, "%d", index + 1);
    else
        std::snprintf(text, capacity, "%s", GetLocalizedString(item->options[index].textId));
}

// One step of a choice. Keys and the wheel stop at the ends (a shake); clicks wrap around.
static void StepChoice(int row, int delta, bool wrap)
{
    MenuItem* item = gNav->rows[row].item;
    int count = CountChoices(item);
    if (count <= 0 || !item->valuePtr) {
        ShakeMenuRow(row);
        return;
    }
    int index = CurrentChoiceIndex(item);
    int next;
    if (index < 0)
        next = delta > 0 ? 0 : count - 1; // a byte holding no listed value steps onto the list
    else
        next = index + delta;
    if (next < 0 || next >= count) {
        if (!wrap) {
            ShakeMenuRow(row);
            return;
        }
        next = (next + count) % count;
    }

    *item->valuePtr = item->choiceMode != 0 ? uint8_t(next) : item->options[next].value;
    PlayMenuEffect(kMenuEffect_CursorMove);
    RefreshMenuRowText(row);
    if (item->onActivate)
        item->onActivate(item);
    if (gNav)
        PulseChoiceArrows();
}

void NavigateChoiceItem(int row)
{
    if (Pressed(kNeedMenuLeft))
        StepChoice(row, -1, false);
    else if (Pressed(kNeedMenuRight))
        StepChoice(row, +1, false);
    else if (MouseOnRow(row) && MousePressed(kMouseButtonLeft))
        StepChoice(row, +1, true);
    else if (MouseOnRow(row) && MousePressed(kMouseButtonRight))
        StepChoice(row, -1, true);
    else if (MouseOnRow(row) && (MousePressed(kMouseWheelDown) || MousePressed(kMouseWheelLeft)))
        StepChoice(row, -1, false);
    else if (MouseOnRow(row) && (MousePressed(kMouseWheelUp) || MousePressed(kMouseWheelRight)))
        StepChoice(row, +1, false);
    else if (Pressed(kNeedMenuConfirm))
        ShakeMenuRow(row);
}

// ---------------------------------------------------------------------------------------------------
// Sliders
// ---------------------------------------------------------------------------------------------------

// The objects of a laid-out slider row: its label, value text and track.
static void GetSliderComponents(int row, ObjNode* nodes[3])
{
    const MenuRow& r = gNav->rows[row];
    if (r.item->type != kMISlider)
        FatalAssertion("GetSliderComponents", __LINE__, "entry->type == kMISlider");
    for (int i = 0; i < 3; i++) {
        nodes[i] = r.texts[i];
        if (!nodes[i])
            FatalAssertion("GetSliderComponents", __LINE__, "nodes[i]");
    }
}

void UpdateSliderNode(int row)
{
    if (!gNav->rows[row].texts[0])
        return; // the row is hidden
    ObjNode* nodes[3];
    GetSliderComponents(row, nodes);
    char text[16];
    std::snprintf(text, sizeof(text), "%d ", int(*gNav->rows[row].item->valuePtr));
    TextMesh_Update(text, TEXT_ALIGN_LEFT, nodes[1]);
}

// Sound and routine after a slider's value changed.
static void SliderChanged(int row, bool tick)
{
    MenuItem* item = gNav->rows[row].item;
    if (tick) {
        const MenuSliderRange& range = item->slider;
        int span = range.maxValue > range.minValue ? range.maxValue - range.minValue : 1;
        PlaySliderTick(float(*item->valuePtr - range.minValue) / float(span));
    }
    UpdateSliderNode(row);
    if (item->onActivate)
        item->onActivate(item);
}

void StepSlider(int row, int direction)
{
    MenuItem* item = gNav->rows[row].item;
    int increment = item->slider.increment;
    int value = *item->valuePtr;
    int rounded = int(std::lround(double(value) / increment)) * increment;
    int next =
        std::clamp(rounded + direction * increment, int(item->slider.minValue), int(item->slider.maxValue));
    if (next == value) {
        // At a bound: one shake per press, then silence while the key stays down.
        if (!gNav->sliderRefused)
            ShakeMenuRow(row);
        gNav->sliderRefused = true;
        return;
    }
    *item->valuePtr = uint8_t(next);
    SliderChanged(row, true);
}

// The value under the pointer, snapped to the increment and clamped to the range.
static int SliderValueAtPointer(const MenuItem* item)
{
    float left = kSliderCenterX - kSliderTrackWidth / 2;
    float fraction = std::clamp((GetMouseOverlayPosition().x - left) / kSliderTrackWidth, 0.0f, 1.0f);
    float raw = item->slider.minValue + fraction * (float(item->slider.maxValue) - item->slider.minValue);
    int increment = item->slider.increment;
    int snapped = int(std::lround(raw / increment)) * increment;
    return std::clamp(snapped, int(item->slider.minValue), int(item->slider.maxValue));
}

static void DragSlider(int row)
{
    MenuItem* item = gNav->rows[row].item;
    bool held = IsStateDown(GetMouseButtonState(kMouseButtonLeft));
    if (!held) {
        gNav->mouseMode = kMouseHovering;
        PlayMenuEffect(kMenuEffect_Choose);
        if (item->onActivate)
            item->onActivate(item);
        return;
    }
    int value = SliderValueAtPointer(item);
    if (value == *item->valuePtr)
        return;
    *item->valuePtr = uint8_t(value);
    float knob = SliderKnobX(item);
    bool tick = std::fabs(knob - gNav->dragLastKnobX) >= kDragTickDistance;
    if (tick)
        gNav->dragLastKnobX = knob;
    UpdateSliderNode(row);
    if (tick)
        PlayMenuEffect(kMenuEffect_CursorMove);
}

void NavigateSliderItem(int row)
{
    if (gNav->mouseMode == kMouseDraggingSlider) {
        DragSlider(row);
        return;
    }

    uint8_t left = GetNeedState(kNeedMenuLeft, -1);
    uint8_t right = GetNeedState(kNeedMenuRight, -1);
    if (left == KEYSTATE_PRESSED || right == KEYSTATE_PRESSED) {
        // A new press steps at once and may shake again at a bound.
        gNav->sliderRefused = false;
        gNav->sliderRepeat = kSliderFirstRepeat;
        StepSlider(row, left == KEYSTATE_PRESSED ? -1 : +1);
    } else if (IsStateDown(left) != IsStateDown(right)) {
        // Held: the repeat counter runs down with the strength of the push.
        float strength = GetNeedAnalogValue(kNeedMenuLeft, -1) + GetNeedAnalogValue(kNeedMenuRight, -1);
        gNav->sliderRepeat -= kSliderRepeatRate * gFrameSeconds * strength;
        if (gNav->sliderRepeat <= 0) {
            gNav->sliderRepeat = kSliderNextRepeat;
            StepSlider(row, IsStateDown(left) ? -1 : +1);
        }
    } else if (MouseOnRow(row) && MousePressed(kMouseButtonLeft)) {
        gNav->mouseMode = kMouseDraggingSlider;
        gNav->dragLastKnobX = SliderKnobX(gNav->rows[row].item);
        PlayMenuEffect(kMenuEffect_Grab);
        DragSlider(row);
    } else if (Pressed(kNeedMenuConfirm)) {
        ShakeMenuRow(row);
    }
}
