// Laying a menu out: the rows' heights and positions, the text objects of each item kind, the
// highlight, the backdrop, the choice arrows and the layout flags (dimmed, hidden).

#include "Interface/MenuLocal.h"

#include "3D/Atlas.h"
#include "3D/OGL_Support.h"
#include "3D/TextMesh.h"
#include "Interface/LocalizedStrings.h"
#include "Interface/Overlay.h"
#include "Interface/StringIDs.h"
#include "Interface/Twitch.h"
#include "Objects/ObjNode.h"
#include "System/Alerts.h"
#include "System/Input.h"
#include "System/Prefs.h"

#include <GL/gl.h>
#include <algorithm>
#include <cstdio>
#include <cstring>

static constexpr float kCentreX = 320;
static constexpr float kLabelColumnX = 100;
static constexpr float kLabelColumnWidth = 230;
static constexpr float kValueColumnX = 460;
static constexpr float kValueColumnWidth = 150;
static constexpr float kCentredLabelWidth = 560;
static constexpr float kBindingNameWidth = 170;
static constexpr float kBindingColumnWidth = 160;
static constexpr float kSlotLabelX = 100;
static constexpr float kSlotDescriptionX = 220;
static constexpr float kSlotDescriptionWidth = 380;
static constexpr float kDimmedOpacity = 0.5f;
static constexpr float kRowFadeStagger = 0.035f; // seconds between the rows' fade-ins
static constexpr float kBackdropWidth = 560;
static constexpr int kArrowSlotOffset = 90;

// ---------------------------------------------------------------------------------------------------
// Layout flags
// ---------------------------------------------------------------------------------------------------

uint8_t GetMenuItemLayoutFlags(const MenuItem* item)
{
    return item->layoutFlagsProc ? item->layoutFlagsProc(item) : 0;
}

bool IsMenuItemSelectable(const MenuItem* item)
{
    if (!item)
        return false;
    switch (item->type) {
    case kMISENTINEL:
    case kMIHeading:
    case kMIGap:
        return false;
    default:
        return (GetMenuItemLayoutFlags(item) & (kMILayoutFlag_Dimmed | kMILayoutFlag_Hidden)) == 0;
    }
}

uint8_t SaveSlotLayoutFlags(const MenuItem* item)
{
    bool exists = gNav && item->number >= 0 && item->number < 32 && (gNav->saveSlotBits >> item->number) & 1;
    return exists ? 0 : kMILayoutFlag_Dimmed;
}

float DefaultRowHeight(int kind)
{
    switch (kind) {
    case kMIHeading:
        return 0.9f;
    case kMIGap:
        return 0.5f;
    case kMIKeyBind:
    case kMIGamepadBind:
    case kMIMouseBind:
        return 0.8f;
    default:
        return 1.0f;
    }
}

float MenuRowTextScale(const MenuRow& row)
{
    return row.height * gNav->style.textScale;
}

// ---------------------------------------------------------------------------------------------------
// Texts
// ---------------------------------------------------------------------------------------------------

ObjNode* MakeMenuText(const char* text, float x, float y, float scale, int slot, int flags)
{
    ObjectDefinition def = {};
    def.artGroup = uint8_t(gNav->style.labelFont);
    def.position = {x, y, 0};
    def.scale = scale;
    def.slot = int16_t(slot);
    def.statusFlags = NODEBIT_RUNS_WHEN_PAUSED;
    ObjNode* node = TextMesh_New(text, flags, &def);
    MakeOverlayOnly(node);
    return node;
}

void SqueezeMenuText(ObjNode* node, float maxWidth)
{
    const TextMeshBox* box = TextMesh_GetBox(node);
    float width = (box->textRight - box->textLeft) * node->Scale.x;
    if (width > maxWidth && width > 0) {
        node->Scale.x *= maxWidth / width;
        RebuildNodeTransform(node);
    }
}

static const char* ItemLabel(const MenuItem* item)
{
    return item->text ? item->text : GetLocalizedString(item->textId);
}

// Row r's column c lives in a slot of its own, rising along the chain (twitch drivers take the next).
static int TextSlot(int row, int column)
{
    return gNav->style.baseSlot + 1 + row * 3 + column;
}

static void SetTextColor(ObjNode* node, const float color[4], float opacity)
{
    node->Tint = {color[0], color[1], color[2], opacity};
}

// ---------------------------------------------------------------------------------------------------
// The layout routine of each kind
// ---------------------------------------------------------------------------------------------------

static void AddColumn(int row, int column, const char* text, float x, float maxWidth, int flags)
{
    MenuRow& r = gNav->rows[row];
    ObjNode* node = MakeMenuText(text, x, r.y, MenuRowTextScale(r), TextSlot(row, column), flags);
    SqueezeMenuText(node, maxWidth);
    r.texts[column] = node;
    if (column > 0)
        AppendNodeToChain(r.texts[0], node);
}

static void LayOutCentredLabel(int row)
{
    AddColumn(row, 0, ItemLabel(gNav->rows[row].item), kCentreX, kCentredLabelWidth, 0);
}

static void LayOutHeading(int row)
{
    MenuRow& r = gNav->rows[row];
    int textId = gNav->headingOverride ? gNav->headingOverride : r.item->textId;
    const char* text = (r.item->text && !gNav->headingOverride) ? r.item->text : GetLocalizedString(textId);
    AddColumn(row, 0, text, kCentreX, kCentredLabelWidth, 0);
    r.texts[0]->ArtGroup = gNav->style.altFont;
    TextMesh_Update(text, 0, r.texts[0]);
}

static void LayOutChoiceInline(int row)
{
    char value[128], text[256];
    GetChoiceText(gNav->rows[row].item, value, sizeof(value));
    std::snprintf(text, sizeof(text), "%s: %s", ItemLabel(gNav->rows[row].item), value);
    AddColumn(row, 0, text, kCentreX, kCentredLabelWidth, 0);
}

static void LayOutChoiceColumns(int row)
{
    char value[128], text[256];
    std::snprintf(text, sizeof(text), "%s:", ItemLabel(gNav->rows[row].item));
    AddColumn(row, 0, text, kLabelColumnX, kLabelColumnWidth, TEXT_ALIGN_LEFT);
    GetChoiceText(gNav->rows[row].item, value, sizeof(value));
    AddColumn(row, 1, value, kValueColumnX, kValueColumnWidth, 0);
}

static void LayOutSlider(int row)
{
    MenuRow& r = gNav->rows[row];
    const MenuItem* entry = r.item;
    if (!entry->valuePtr)
        FatalAssertion("LayOutSlider", __LINE__, "sliderData->valuePtr");
    if (entry->slider.increment == 0)
        FatalAssertion("LayOutSlider", __LINE__, "sliderData->increment != 0");
    if (!(entry->slider.equilibrium >= entry->slider.minValue))
        FatalAssertion("LayOutSlider", __LINE__, "sliderData->equilibrium >= entry->slider.minValue");
    if (!(entry->slider.equilibrium <= entry->slider.maxValue))
        FatalAssertion("LayOutSlider", __LINE__, "sliderData->equilibrium <= entry->slider.maxValue");

    char text[256];
    std::snprintf(text, sizeof(text), "%s:", ItemLabel(entry));
    AddColumn(row, 0, text, kLabelColumnX, kLabelColumnWidth, TEXT_ALIGN_LEFT);
    std::snprintf(text, sizeof(text), "%d ", int(*entry->valuePtr));
    AddColumn(row, 1, text, kSliderCenterX + kSliderTrackWidth / 2 + 12, 80, TEXT_ALIGN_LEFT);

    // The track is drawn by its own node in the row's third slot.
    ObjectDefinition def = {};
    def.genre = CUSTOM_DRAW_GENRE;
    def.slot = int16_t(TextSlot(row, 2));
    def.position = {kSliderCenterX, r.y, 0};
    def.scale = 1;
    def.statusFlags = NODEBIT_RUNS_WHEN_PAUSED | NODEBIT_NO_CULLING;
    def.drawProc = DrawMenuSlider;
    ObjNode* track = MakeNewObject(&def);
    MakeOverlayOnly(track);
    track->Variant = row;
    r.texts[2] = track;
    AppendNodeToChain(r.texts[0], track);
}

static void LayOutBinding(int row)
{
    MenuRow& r = gNav->rows[row];
    const MenuItem* item = r.item;
    AddColumn(row, 0, GetLocalizedString(STR_NEED_FIRST + item->number), kLabelColumnX, kBindingNameWidth,
              TEXT_ALIGN_LEFT);
    char text[128];
    for (int column = 0; column < BindingColumnCount(item->type); column++) {
        GetBindingColumnText(item, column, text, sizeof(text));
        AddColumn(row, 1 + column, text, BindingColumnX(item->type, column), kBindingColumnWidth, 0);
    }
}

static void LayOutSaveSlot(int row)
{
    const MenuItem* item = gNav->rows[row].item;
    char text[256];
    std::snprintf(text, sizeof(text), "%s %d", ItemLabel(item), item->number + 1);
    AddColumn(row, 0, text, kSlotLabelX, kSlotDescriptionX - kSlotLabelX - 10, TEXT_ALIGN_LEFT);
    if (!item->describeSlot || !item->describeSlot(item->number, text, sizeof(text)))
        std::snprintf(text, sizeof(text), "---------------- %s ----------------",
                      GetLocalizedString(STR_SAVE_SLOT_EMPTY));
    AddColumn(row, 1, text, kSlotDescriptionX, kSlotDescriptionWidth, TEXT_ALIGN_LEFT);
}

typedef void (*RowLayoutProc)(int row);
static const RowLayoutProc kRowLayouts[NUM_MENU_ITEM_KINDS] = {
    nullptr,             // sentinel
    LayOutCentredLabel,  // action
    LayOutHeading,       // heading
    nullptr,             // gap
    LayOutChoiceInline,  // inline choice
    LayOutChoiceColumns, // column choice
    LayOutSlider,        // slider
    LayOutBinding,       // key binding
    LayOutBinding,       // gamepad binding
    LayOutBinding,       // mouse binding
    LayOutSaveSlot,      // save slot
};

// ---------------------------------------------------------------------------------------------------
// Rows
// ---------------------------------------------------------------------------------------------------

void DisposeMenuRows(bool fadeOut)
{
    for (int row = 0; row < gNav->numRows; row++) {
        MenuRow& r = gNav->rows[row];
        if (r.texts[0]) {
            bool faded = false;
            if (fadeOut) {
                // Each text fades on its own; the chain is taken apart so that each can go alone.
                for (ObjNode* text : r.texts) {
                    if (text && text->Genre == TEXTMESH_GENRE) {
                        text->ChainNext = nullptr;
                        text->ChainRoot = nullptr;
                        faded =
                            MakeTwitch(text, kTwitchPreset_MenuFadeOut | kTwitchFlags_KillPuppet) != nullptr;
                        if (!faded)
                            DisposeObject(text);
                    } else if (text) {
                        text->ChainNext = nullptr;
                        text->ChainRoot = nullptr;
                        DisposeObject(text);
                    }
                }
            } else {
                DisposeObject(r.texts[0]);
            }
        }
        std::memset(&r, 0, sizeof(r));
    }
    gNav->numRows = 0;
    for (ObjNode*& node : gNav->pageObjects) {
        DisposeObject(node);
        node = nullptr;
    }
    if (gNav->arrows[0])
        SetNodeVisible(gNav->arrows[0], false);
    if (gNav->arrows[1])
        SetNodeVisible(gNav->arrows[1], false);
}

// Save-slot items are dimmed unless their slot exists; the bits must be known before any row's
// flags are asked for.
static void NoteExistingSaveSlots(MenuItem* items, int count)
{
    gNav->saveSlotBits = 0;
    char scratch[256];
    for (int i = 0; i < count; i++) {
        const MenuItem* item = &items[i];
        if (item->type == kMISaveSlot && item->describeSlot && item->number >= 0 && item->number < 32 &&
            item->describeSlot(item->number, scratch, sizeof(scratch)))
            gNav->saveSlotBits |= 1u << item->number;
    }
}

void BuildMenuRows()
{
    DisposeMenuRows(false);

    // 1. Count the rows.
    MenuItem* items = gNav->sentinel + 1;
    int count = 0;
    while (items[count].type != kMISENTINEL) {
        if (items[count].type < 0 || items[count].type >= NUM_MENU_ITEM_KINDS)
            FatalAssertion("LayOutMenu", __LINE__, "entry->type < kMI_NUM_ITEM_TYPES");
        count++;
        if (count > MAX_MENU_ROWS)
            FatalAssertion("LayOutMenu", __LINE__, "gNav->numRows <= MAX_MENU_ROWS");
    }
    gNav->numRows = count;
    NoteExistingSaveSlots(items, count);

    // 2. Heights; hidden items take no room.
    float pitch = gNav->style.rowPitch;
    float total = 0;
    for (int row = 0; row < count; row++) {
        MenuRow& r = gNav->rows[row];
        r.item = &items[row];
        r.height = r.item->rowHeight > 0 ? r.item->rowHeight : DefaultRowHeight(r.item->type);
        r.layoutFlags = GetMenuItemLayoutFlags(r.item);
        if (!(r.layoutFlags & kMILayoutFlag_Hidden))
            total += r.height * pitch;
    }

    // 3. Positions from the top of the block, then each row's texts.
    float y = gNav->style.centerY - total / 2;
    int shown = 0;
    for (int row = 0; row < count; row++) {
        MenuRow& r = gNav->rows[row];
        if (r.layoutFlags & kMILayoutFlag_Hidden)
            continue;
        r.y = y + r.height * pitch / 2;
        y += r.height * pitch;
        RowLayoutProc layout = kRowLayouts[r.item->type];
        if (!layout)
            continue;
        layout(row);

        bool dimmed = (r.layoutFlags & kMILayoutFlag_Dimmed) != 0;
        const float* color = r.item->type == kMIHeading ? gNav->style.neutralColor : gNav->style.labelColor;
        for (ObjNode* text : r.texts) {
            if (!text)
                continue;
            SetTextColor(text, color, dimmed ? kDimmedOpacity : 1.0f);
            Twitch* fade = MakeTwitch(text, kTwitchPreset_MenuFadeIn | kTwitchFlags_HideUntilStarted);
            if (fade)
                fade->delay = shown * kRowFadeStagger;
        }
        shown++;
    }
    gNav->backdropTarget = total + pitch;
}

void RefreshMenuRowText(int row)
{
    MenuRow& r = gNav->rows[row];
    if (!r.texts[0])
        return;
    const MenuItem* item = r.item;
    char value[128], text[256];
    switch (item->type) {
    case kMIChoiceInline:
        GetChoiceText(item, value, sizeof(value));
        std::snprintf(text, sizeof(text), "%s: %s", ItemLabel(item), value);
        TextMesh_Update(text, 0, r.texts[0]);
        r.texts[0]->Scale.x = r.texts[0]->Scale.y;
        SqueezeMenuText(r.texts[0], kCentredLabelWidth);
        break;
    case kMIChoiceColumns:
        GetChoiceText(item, value, sizeof(value));
        TextMesh_Update(value, 0, r.texts[1]);
        r.texts[1]->Scale.x = r.texts[1]->Scale.y;
        SqueezeMenuText(r.texts[1], kValueColumnWidth);
        break;
    case kMISlider:
        UpdateSliderNode(row);
        break;
    case kMIKeyBind:
    case kMIGamepadBind:
    case kMIMouseBind:
        for (int column = 0; column < BindingColumnCount(item->type); column++) {
            ObjNode* node = r.texts[1 + column];
            GetBindingColumnText(item, column, text, sizeof(text));
            TextMesh_Update(text, 0, node);
            node->Scale.x = node->Scale.y;
            SqueezeMenuText(node, kBindingColumnWidth);
        }
        break;
    default:
        break;
    }
    PositionChoiceArrows();
}

void UpdateMenuHighlight(int oldRow)
{
    if (oldRow >= 0 && oldRow < gNav->numRows && oldRow != gNav->selectedRow) {
        for (ObjNode* text : gNav->rows[oldRow].texts) {
            if (text && text->Genre == TEXTMESH_GENRE) {
                std::memcpy(&text->Tint, gNav->style.labelColor, 3 * sizeof(float));
                MakeTwitch(text, kTwitchPreset_MenuDeselect | kTwitchFlags_Chain);
            }
        }
    }
    int row = gNav->selectedRow;
    if (row >= 0 && row != oldRow) {
        for (ObjNode* text : gNav->rows[row].texts) {
            if (text && text->Genre == TEXTMESH_GENRE) {
                std::memcpy(&text->Tint, gNav->style.selectedColor, 3 * sizeof(float));
                MakeTwitch(text, kTwitchPreset_MenuSelect | kTwitchFlags_Chain);
            }
        }
    }
    PositionChoiceArrows();
}

void ShakeMenuRow(int row)
{
    PlayMenuEffect(kMenuEffect_Refusal);
    if (row < 0 || row >= gNav->numRows)
        return;
    for (ObjNode* text : gNav->rows[row].texts) {
        if (text)
            MakeTwitch(text, kTwitchPreset_PadlockWiggle | kTwitchFlags_Chain);
    }
}

// ---------------------------------------------------------------------------------------------------
// Choice arrows
// ---------------------------------------------------------------------------------------------------

static ObjNode* MakeArrow(const char* glyph, int index)
{
    ObjNode* arrow =
        MakeMenuText(glyph, 0, 0, gNav->style.textScale, gNav->style.baseSlot + kArrowSlotOffset + index, 0);
    SetTextColor(arrow, gNav->style.selectedColor, 1);
    return arrow;
}

void PositionChoiceArrows()
{
    int row = gNav->selectedRow;
    bool wanted = row >= 0 && gNav->rows[row].item->type == kMIChoiceColumns && gNav->rows[row].texts[1];
    if (!wanted) {
        for (ObjNode* arrow : gNav->arrows) {
            if (arrow)
                SetNodeVisible(arrow, false);
        }
        return;
    }
    if (!gNav->arrows[0]) {
        gNav->arrows[0] = MakeArrow("<", 0);
        gNav->arrows[1] = MakeArrow(">", 1);
    }
    TextMeshExtents value = TextMesh_GetExtents(gNav->rows[row].texts[1]);
    float y = gNav->rows[row].y;
    float scale = MenuRowTextScale(gNav->rows[row]);
    float xs[2] = {std::min(value.left, kValueColumnX - 40) - 14,
                   std::max(value.right, kValueColumnX + 40) + 14};
    for (int i = 0; i < 2; i++) {
        ObjNode* arrow = gNav->arrows[i];
        arrow->Position = {xs[i], y, 0};
        arrow->Scale = {scale, scale, 1};
        RebuildNodeTransform(arrow);
        SetNodeVisible(arrow, true);
    }
}

void PulseChoiceArrows()
{
    for (ObjNode* arrow : gNav->arrows) {
        if (arrow && !(arrow->StatusFlags & NODEBIT_INVISIBLE))
            MakeTwitch(arrow, kTwitchPreset_MenuSelect);
    }
}

// ---------------------------------------------------------------------------------------------------
// Drawing of the backdrop and the sliders
// ---------------------------------------------------------------------------------------------------

static void FillOverlayRect(float left, float top, float right, float bottom)
{
    glBegin(GL_QUADS);
    glVertex2f(left, top);
    glVertex2f(right, top);
    glVertex2f(right, bottom);
    glVertex2f(left, bottom);
    glEnd();
}

void DrawMenuBackdrop(ObjNode* node)
{
    if (!gNav)
        return;
    uint32_t savedFlagsOverride = gMaterialFlagsOverride;
    OGL_PushState();
    SetOverlayProjection(node->StereoOffset, 1);
    OGL_DisableTexture2D();
    OGL_EnableBlend();
    float half = gNav->backdropHeight / 2;
    float y = gNav->style.centerY;
    OGL_SetColor4f(0, 0, 0, node->Tint.a * gNav->opacity);
    FillOverlayRect(kCentreX - kBackdropWidth / 2, y - half, kCentreX + kBackdropWidth / 2, y + half);
    OGL_PopState();
    gMaterialFlagsOverride = savedFlagsOverride;
}

float SliderKnobX(const MenuItem* item)
{
    float range = float(item->slider.maxValue) - float(item->slider.minValue);
    float fraction = range > 0 ? (float(*item->valuePtr) - item->slider.minValue) / range : 0;
    fraction = std::clamp(fraction, 0.0f, 1.0f);
    return kSliderCenterX - kSliderTrackWidth / 2 + fraction * kSliderTrackWidth;
}

void DrawMenuSlider(ObjNode* node)
{
    if (!gNav || node->Variant < 0 || node->Variant >= gNav->numRows)
        return;
    const MenuRow& r = gNav->rows[node->Variant];
    const MenuItem* item = r.item;
    bool selected = node->Variant == gNav->selectedRow;
    const float* color = selected ? gNav->style.selectedColor : gNav->style.labelColor;
    float opacity = std::min(node->Tint.a, gNav->opacity);
    float left = kSliderCenterX - kSliderTrackWidth / 2;
    float right = kSliderCenterX + kSliderTrackWidth / 2;
    float y = r.y;
    float h = r.height * gNav->style.rowPitch;

    uint32_t savedFlagsOverride = gMaterialFlagsOverride;
    OGL_PushState();
    SetOverlayProjection(node->StereoOffset, 1);
    OGL_DisableTexture2D();
    OGL_EnableBlend();

    // Track, then the equilibrium mark, then the knob on top.
    OGL_SetColor4f(color[0] * 0.5f, color[1] * 0.5f, color[2] * 0.5f, opacity * 0.8f);
    FillOverlayRect(left, y - h * 0.06f, right, y + h * 0.06f);
    float range = float(item->slider.maxValue) - float(item->slider.minValue);
    float mark = range > 0
                     ? left + (item->slider.equilibrium - item->slider.minValue) / range * kSliderTrackWidth
                     : left;
    OGL_SetColor4f(color[0], color[1], color[2], opacity * 0.6f);
    FillOverlayRect(mark - 1, y - h * 0.18f, mark + 1, y + h * 0.18f);
    float knob = SliderKnobX(item);
    OGL_SetColor4f(color[0], color[1], color[2], opacity);
    FillOverlayRect(knob - 4, y - h * 0.24f, knob + 4, y + h * 0.24f);

    OGL_PopState();
    gMaterialFlagsOverride = savedFlagsOverride;
}

void SetMenuHeadingOverride(int stringId)
{
    if (!gNav)
        return;
    gNav->headingOverride = stringId;
    for (int row = 0; row < gNav->numRows; row++) {
        MenuRow& r = gNav->rows[row];
        if (r.item->type != kMIHeading || !r.texts[0])
            continue;
        const char* text = stringId ? GetLocalizedString(stringId) : ItemLabel(r.item);
        TextMesh_Update(text, 0, r.texts[0]);
        r.texts[0]->Scale.x = r.texts[0]->Scale.y;
        SqueezeMenuText(r.texts[0], kCentredLabelWidth);
        return; // the page heading is the first one
    }
}

void AttachMenuPageObject(ObjNode* node)
{
    for (ObjNode*& slot : gNav->pageObjects) {
        if (!slot) {
            slot = node;
            return;
        }
    }
    DisposeObject(node); // a page holds only a few extras
}

ObjNode* MakeMenuPageText(const char* text, float x, float y, float scale, float opacity)
{
    if (!gNav)
        return nullptr;
    ObjNode* node = MakeMenuText(text, x, y, scale, gNav->style.baseSlot + kArrowSlotOffset + 2, 0);
    SetTextColor(node, gNav->style.neutralColor, opacity);
    AttachMenuPageObject(node);
    return node;
}
