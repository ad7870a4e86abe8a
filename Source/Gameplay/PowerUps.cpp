// Power-ups: a turning, bobbing base with a glowing icon on top. Flying through one gives its stock
// to the player; the icon fades, and with two panes it comes back after a wait, with one pane it is
// gone for the level once no pane sees it.
//
// Node fields used (on the base):
//  - Phase: 0 available, 1 taken (icon fading), 3 waiting to return, 2 returning;
//  - Variant: the weapon of a weapon power-up; IntSlots[0]: its ammunition;
//  - FloatSlots[0]: bob phase; FloatSlots[1]: the wait before returning;
//  - ChainNext: the icon, whose Tint.a is its opacity.

#include "Gameplay/HazardsLocal.h"

#include "3D/TQ3D.h"
#include "Gameplay/Player.h"
#include "Objects/Shadows.h"
#include "Sound/GameSound.h"
#include "System/FrameRate.h"
#include "System/LevelGlobals.h"
#include "System/ProgramState.h"
#include "System/Random.h"

#include <algorithm>
#include <cmath>

enum
{
    kPowerUpKind_Weapon,
    kPowerUpKind_Fuel,
    kPowerUpKind_Health,
    kPowerUpKind_Shield,
    kPowerUpKind_Life,
};

static constexpr int kBaseModel = 9;
static constexpr int kFuelBaseModel = 10;
static constexpr int kFirstWeaponIconModel = 15;
static constexpr int kNoPowerUpWeapon = 3; // the sonic scream is never picked up
static constexpr int kLastWeapon = 4;
static constexpr int kBaseSlot = 105;
static constexpr int kIconSlot = 3003;
static constexpr float kHoverHeight = 200;
static constexpr float kBobHeight = 15;
static constexpr int kMaxAmmo = 999;
static constexpr float kMaxShield = 3;
static constexpr uint32_t kIconStatus =
    NODEBIT_ADDITIVE | NODEBIT_FOG_OFF | NODEBIT_LIGHTING_OFF | NODEBIT_SHOW_BACKFACES;

int WeaponPowerUpAmount(int weapon)
{
    if (weapon < 0 || weapon > kLastWeapon || weapon == kNoPowerUpWeapon)
        return 0;
    if (weapon == 0)
        return 25;
    if (weapon == 2)
        return gPlayMode == kPlayMode_Adventure ? 10 : 4;
    return 20;
}

static void ApplyPowerUp(ObjNode* pow, int player)
{
    PlayerRecord& record = gPlayers[player];
    bool adventure = gPlayMode == kPlayMode_Adventure;
    switch (pow->IntSlots[1]) {
    case kPowerUpKind_Life:
        record.lives += 1;
        break;
    case kPowerUpKind_Health:
        record.health = std::min(1.0f, record.health + (adventure ? 0.5f : 0.25f));
        break;
    case kPowerUpKind_Fuel:
        record.jetFuel = std::min(1.0f, record.jetFuel + 0.5f);
        break;
    case kPowerUpKind_Shield:
        record.shieldTimer = std::min(kMaxShield, record.shieldTimer + 1.5f);
        if (!record.shieldObj)
            MakeShieldBubble(player);
        break;
    case kPowerUpKind_Weapon: {
        int weapon = pow->Variant;
        int16_t& ammo = record.ammo[weapon];
        ammo = int16_t(std::min(kMaxAmmo, int(ammo) + pow->IntSlots[0]));
        if (record.currentWeapon == -1)
            record.currentWeapon = int16_t(weapon);
        break;
    }
    default:
        break;
    }
}

// The pick-up; never blocks the player.
static bool TakePowerUp(ObjNode* pow, ObjNode* playerObj)
{
    if (pow->Phase != 0)
        return false;
    int player = PlayerIndexOf(playerObj);
    ApplyPowerUp(pow, player);
    pow->Phase = 1;
    pow->CType = 0;
    PlayEffectAtRate(EFFECT_GETPOW, &pow->Position, kNormalRate, 0.6f);
    RumbleForEffect(EFFECT_GETPOW, player);
    return false;
}

static void MovePowerUp(ObjNode* pow)
{
    // 1. Gone with its window (it comes back with the window unless it was taken with one pane).
    if (IsObjectOutOfRange(pow)) {
        DisposeObject(pow);
        return;
    }
    float dt = gFrameSeconds;
    ObjNode* icon = pow->ChainNext;

    // 2. Turn and bob; the icon follows.
    pow->Rotation.y += PI * dt;
    pow->FloatSlots[0] += 2.5f * dt;
    pow->Position.y = pow->InitPosition.y + kBobHeight * std::sin(pow->FloatSlots[0]);
    RebuildNodeTransform(pow);
    if (icon) {
        icon->Rotation.y = pow->Rotation.y;
        icon->Position.y = pow->Position.y;
        RebuildNodeTransform(icon);
    }

    // 3. Taken, waiting and returning.
    switch (pow->Phase) {
    case 1:
        if (icon)
            icon->Tint.a -= 2 * dt;
        if (icon && icon->Tint.a > 0)
            break;
        if (icon)
            icon->Tint.a = 0;
        if (gNumPanes == 2) {
            pow->Phase = 3;
            pow->FloatSlots[1] = gPlayMode == kPlayMode_Race ? 5.0f : 10.0f;
        } else if (IsNodeCulledInAllPanes(pow)) {
            ForgetMapItem(pow);
            DisposeObject(pow);
        }
        break;
    case 3:
        pow->FloatSlots[1] -= dt;
        if (pow->FloatSlots[1] <= 0)
            pow->Phase = 2;
        break;
    case 2:
        if (icon)
            icon->Tint.a += 2 * dt;
        if (!icon || icon->Tint.a >= 1) {
            if (icon)
                icon->Tint.a = 1;
            pow->Phase = 0;
            pow->CType = CTYPE_POWERUP;
        }
        break;
    default:
        break;
    }
}

static ObjNode* MakePowerUp(MapItemType* item, float x, float z, int kind, int iconModel)
{
    Point3D where = {x, item->terrainY + kHoverHeight, z};
    int baseModel = kind == kPowerUpKind_Fuel ? kFuelBaseModel : kBaseModel;
    ObjNode* pow = MakeHazardPart(MODEL_GROUP_GLOBAL, baseModel, where, kBaseSlot, RandomUnit() * PI2, 10, 0,
                                  MovePowerUp);
    pow->TerrainItem = item;
    pow->Phase = 0;
    pow->IntSlots[1] = kind;
    pow->CType = CTYPE_POWERUP;
    pow->TriggerProc = TakePowerUp;
    SquareBoxFromModelBounds(pow, 1.5f);
    pow->FloatSlots[0] = RandomUnit() * PI2;

    ObjNode* icon = AppendHazardPart(pow, MODEL_GROUP_GLOBAL, iconModel, where, kIconSlot, pow->Rotation.y,
                                     10, kIconStatus);
    icon->Tint.a = 1;
    MakeShadowNode(pow, 0, 5, 2, true);
    return pow;
}

bool AddWeaponPOW(MapItemType* item, float x, float z)
{
    int weapon = item->parm[0];
    if (WeaponPowerUpAmount(weapon) == 0)
        return true; // the scream (or no weapon at all) has no power-up; the item counts as added
    ObjNode* pow = MakePowerUp(item, x, z, kPowerUpKind_Weapon, kFirstWeaponIconModel + weapon);
    pow->Variant = weapon;
    pow->IntSlots[0] = WeaponPowerUpAmount(weapon);
    return true;
}

bool AddFuelPOW(MapItemType* item, float x, float z)
{
    MakePowerUp(item, x, z, kPowerUpKind_Fuel, 11);
    return true;
}

bool AddHealthPOW(MapItemType* item, float x, float z)
{
    MakePowerUp(item, x, z, kPowerUpKind_Health, 12);
    return true;
}

bool AddShieldPOW(MapItemType* item, float x, float z)
{
    MakePowerUp(item, x, z, kPowerUpKind_Shield, 13);
    return true;
}

bool AddLifePOW(MapItemType* item, float x, float z)
{
    MakePowerUp(item, x, z, kPowerUpKind_Life, 14);
    return true;
}
