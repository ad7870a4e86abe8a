// The mouse in menus: hovering selects the row under the pointer, and the menu pointer itself.

#include "Interface/MenuLocal.h"

#include "3D/MetaObjects.h"
#include "3D/Sprites.h"
#include "3D/TextMesh.h"
#include "Objects/ObjNode.h"
#include "System/Alerts.h"
#include "System/FrameRate.h"
#include "System/Input.h"

#include <algorithm>
#include <cfloat>

static constexpr float kHoverMargin = 5; // rows are easier to hit a little above and below
static constexpr float kColumnHalfWidth = 85;
static constexpr int kCursorSlot = 6100;
static constexpr float kCursorScale = 35;
static constexpr float kCursorStereoOffset = 4.5f;
static constexpr float kCursorFadeInSpeed = 8;
static constexpr float kCursorFadeOutSpeed = 4;

// The box of every text of a row, widened above and below.
static bool RowBounds(int row, TextMeshExtents* bounds)
{
    const MenuRow& r = gNav->rows[row];
    bool any = false;
    TextMeshExtents box = {FLT_MAX, -FLT_MAX, FLT_MAX, -FLT_MAX};
    for (ObjNode* text : r.texts) {
        if (!text)
            continue;
        TextMeshExtents e;
        if (text->Genre == TEXTMESH_GENRE) {
            e = TextMesh_GetExtents(text);
        } else {
            // A slider track: its width around its centre, the row's height.
            float half = r.height * gNav->style.rowPitch / 2;
            e = {text->Position.y - half, text->Position.y + half, kSliderCenterX - kSliderTrackWidth / 2,
                 kSliderCenterX + kSliderTrackWidth / 2};
        }
        box.top = std::min(box.top, e.top);
        box.bottom = std::max(box.bottom, e.bottom);
        box.left = std::min(box.left, e.left);
        box.right = std::max(box.right, e.right);
        any = true;
    }
    box.top -= kHoverMargin;
    box.bottom += kHoverMargin;
    *bounds = box;
    return any;
}

bool IsPointerOverRow(int row)
{
    if (!gNav || row < 0 || row >= gNav->numRows)
        return false;
    TextMeshExtents box;
    if (!RowBounds(row, &box))
        return false;
    SDL_FPoint p = GetMouseOverlayPosition();
    return p.x >= box.left && p.x <= box.right && p.y >= box.top && p.y <= box.bottom;
}

int MenuColumnUnderPointer(int row)
{
    const MenuItem* item = gNav->rows[row].item;
    if (item->type < kMIKeyBind || item->type > kMIMouseBind)
        return 0;
    float x = GetMouseOverlayPosition().x;
    for (int column = 0; column < BindingColumnCount(item->type); column++) {
        float centre = BindingColumnX(item->type, column);
        if (x >= centre - kColumnHalfWidth && x <= centre + kColumnHalfWidth)
            return column;
    }
    return -1;
}

bool NavigateMenuMouseHover()
{
    if (!gMouseMotionNow)
        return gNav->mouseMode == kMouseHovering;

    gNav->mouseMode = kMouseWandering;
    for (int row = 0; row < gNav->numRows; row++) {
        const MenuRow& r = gNav->rows[row];
        if ((r.layoutFlags & kMILayoutFlag_Hidden) || !IsMenuItemSelectable(r.item) || !IsPointerOverRow(row))
            continue;
        gNav->mouseMode = kMouseHovering;
        gNav->hoveredColumn = MenuColumnUnderPointer(row);
        if (row != gNav->selectedRow) {
            int old = gNav->selectedRow;
            gNav->selectedRow = row;
            gNav->selectedColumn = std::max(0, gNav->hoveredColumn);
            gNav->sliderRefused = false;
            UpdateMenuHighlight(old);
            PlayMenuEffect(kMenuEffect_CursorMove);
        }
        return true;
    }
    if (gNav->mouseMode != kMouseWandering)
        FatalAssertion("NavigateMenuMouseHover", __LINE__, "gNav->mouseState == kMouseWandering");
    return false;
}

// ---------------------------------------------------------------------------------------------------
// The pointer
// ---------------------------------------------------------------------------------------------------

static void MoveMouseCursor(ObjNode* cursor)
{
    SDL_FPoint p = GetMouseOverlayPosition();
    cursor->Position.x = p.x;
    cursor->Position.y = p.y;
    if (!gGamepadLastUsed)
        cursor->Tint.a = std::min(1.0f, cursor->Tint.a + kCursorFadeInSpeed * gFrameSeconds);
    else
        cursor->Tint.a = std::max(0.0f, cursor->Tint.a - kCursorFadeOutSpeed * gFrameSeconds);
}

ObjNode* MakeMouseCursorObject()
{
    if (gNumSpritesInGroupList[SPRITE_GROUP_CURSOR] == 0)
        FatalAssertion("MakeMouseCursorObject", __LINE__, "gNumSpritesInGroupList[SPRITE_GROUP_CURSOR] != 0");
    SDL_FPoint p = GetMouseOverlayPosition();
    ObjectDefinition def = {};
    def.artGroup = SPRITE_GROUP_CURSOR;
    def.artIndex = 0;
    def.position = {p.x, p.y, 0};
    def.slot = kCursorSlot;
    def.scale = kCursorScale;
    def.statusFlags = NODEBIT_RUNS_WHEN_PAUSED | NODEBIT_NO_CULLING;
    def.moveProc = MoveMouseCursor;
    ObjNode* cursor = MakeSpriteObject(&def, false);
    if (!cursor)
        return nullptr;
    cursor->StereoOffset = kCursorStereoOffset;
    cursor->Tint.a = 0;
    MakeOverlayOnly(cursor);
    return cursor;
}
