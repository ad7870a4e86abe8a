// Firing, charging and choosing the player's weapons, and the aim ray that missiles lock on to.

#include "Gameplay/Weapons.h"

#include "3D/Picking.h"
#include "Gameplay/Effects.h"
#include "Gameplay/Player.h"
#include "Objects/ObjNode.h"
#include "Sound/GameSound.h"
#include "System/FrameRate.h"
#include "System/Prefs.h"

#include <algorithm>

static constexpr float kStunRepeatSeconds = 0.16f;
static constexpr float kChargePerSecond = 0.5f;
static constexpr float kMinScreamCharge = 0.3f;
static constexpr uint32_t kAimStatusMask = NODEBIT_INVISIBLE;
static constexpr int kMuzzleSparkleFlash = 50; // half size of the flash

static float gFireRepeatTimer[MAX_PLAYERS]; // seconds to the next stun shot while fire is held

uint32_t OtherPlayerBit(int shooter)
{
    return 2u >> shooter;
}

static Vector3D AimDirection(const ObjNode* node)
{
    Vector3D forward = {0, 0, -1};
    Vector3D aim;
    TransformVector(&forward, &node->Transform, &aim);
    return aim;
}

// The next muzzle side through the player's transform, with that side's sparkle on the jet pack flashing.
static Point3D NextMuzzlePoint(int player)
{
    PlayerRecord& record = gPlayers[player];
    ObjNode* node = record.objNode;
    record.muzzleSide ^= 1;
    Point3D muzzle;
    TransformPoint(&PLAYER_MUZZLE_POINTS[record.muzzleSide], &node->Transform, &muzzle);

    ObjNode* jetPack = node->ChainNext;
    int16_t sparkle = jetPack ? jetPack->SparkleSlots[record.muzzleSide] : -1;
    if (sparkle >= 0 && sparkle < SPARKLE_LIMIT && gSparkleTable[sparkle].isActive) {
        gSparkleTable[sparkle].color[3] = 1;
        gSparkleTable[sparkle].halfSize = kMuzzleSparkleFlash;
    }
    return muzzle;
}

// One shot of weapon 0, 1, 2 or 4 from the next muzzle along the aim.
static void FireShot(int player, int weapon)
{
    ObjNode* node = gPlayers[player].objNode;
    Point3D muzzle = NextMuzzlePoint(player);
    Vector3D aim = AimDirection(node);
    switch (weapon) {
    case WEAPON_STUN_GUN:
        FireStunShot(player, &muzzle, &aim);
        break;
    case WEAPON_FLARE_GUN:
        FireFlare(player, &muzzle, &aim);
        break;
    case WEAPON_MISSILE:
        FireMissile(player, &muzzle, &aim);
        break;
    default:
        DropBomb(player, &muzzle, &aim);
        break;
    }
}

// A round is spent; a dry weapon gives way to the next one with ammunition.
static void SpendRound(int player, int weapon)
{
    PlayerRecord& record = gPlayers[player];
    record.ammo[weapon]--;
    if (record.ammo[weapon] <= 0)
        SelectWeapon(player, false, +1);
}

static void ChargeScream(int player, bool newlyPressed)
{
    PlayerRecord& record = gPlayers[player];
    if (newlyPressed) {
        record.weaponCharge = 0;
        return;
    }
    record.weaponCharge = std::min(1.0f, record.weaponCharge + kChargePerSecond * gFrameSeconds);
    if (record.chargeChannel == -1 || !IsEffectChannelBusy(record.chargeChannel))
        record.chargeChannel = PlayEffect_Parms(EFFECT_WEAPONCHARGE, 85, 64, kNormalRate);
}

void FireWeapon(int player, bool newlyPressed)
{
    PlayerRecord& record = gPlayers[player];
    int weapon = record.currentWeapon;
    if (weapon < 0 || weapon >= NUM_WEAPONS || !record.objNode)
        return;
    float& repeat = gFireRepeatTimer[player];
    repeat -= gFrameSeconds;

    switch (weapon) {
    case WEAPON_STUN_GUN:
        if (repeat > 0)
            return;
        repeat += kStunRepeatSeconds;
        break;
    case WEAPON_SONIC_SCREAM:
        ChargeScream(player, newlyPressed);
        return;
    default:
        if (!newlyPressed)
            return;
        break;
    }
    if (record.ammo[weapon] <= 0) // a dry weapon selected by hand
        return;
    FireShot(player, weapon);
    SpendRound(player, weapon);
}

void ResetFireRepeat(int player)
{
    gFireRepeatTimer[player] = 0;
}

void StopWeaponCharge(int player)
{
    PlayerRecord& record = gPlayers[player];
    record.weaponCharge = 0;
    StopEffectChannelIfPlaying(&record.chargeChannel, EFFECT_WEAPONCHARGE);
    record.chargeChannel = -1;
}

void ReleaseWeapon(int player)
{
    PlayerRecord& record = gPlayers[player];
    if (record.currentWeapon != WEAPON_SONIC_SCREAM) {
        record.weaponCharge = 0;
        return;
    }
    float charge = record.weaponCharge;
    StopWeaponCharge(player);
    if (charge <= kMinScreamCharge || !record.objNode || record.ammo[WEAPON_SONIC_SCREAM] <= 0)
        return;
    LaunchSonicScream(player, charge);
    SpendRound(player, WEAPON_SONIC_SCREAM);
}

void SelectWeapon(int player, bool manual, int step)
{
    PlayerRecord& record = gPlayers[player];
    record.weaponCharge = 0;
    gFireRepeatTimer[player] = 0;
    int start = std::max<int>(record.currentWeapon, 0);
    int choice = start;
    for (int w = start;;) {
        w = ((w + step) % NUM_WEAPONS + NUM_WEAPONS) % NUM_WEAPONS;
        if (w == start) {
            if (start == WEAPON_SONIC_SCREAM)
                return; // nothing else has ammunition: no change, no sound
            choice = WEAPON_SONIC_SCREAM;
            break;
        }
        bool skipped = (w == WEAPON_SONIC_SCREAM && !manual) || record.ammo[w] <= 0;
        if (!skipped) {
            choice = w;
            break;
        }
    }
    StopEffectChannelIfPlaying(&record.chargeChannel, EFFECT_WEAPONCHARGE);
    record.chargeChannel = -1;
    PlayEffect_Parms(EFFECT_CHANGEWEAPON, 128, 128, kNormalRate);
    record.currentWeapon = int16_t(choice);
}

void SelectNextWeapon(int player)
{
    SelectWeapon(player, true, +1);
}

void SelectPreviousWeapon(int player)
{
    SelectWeapon(player, true, -1);
}

void GiveWeaponAmmo(int player, int weapon, int rounds)
{
    if (weapon < 0 || weapon >= NUM_WEAPONS)
        return;
    PlayerRecord& record = gPlayers[player];
    record.ammo[weapon] = int16_t(std::clamp(record.ammo[weapon] + rounds, 0, int(MAX_WEAPON_AMMO)));
    if (record.currentWeapon == -1)
        record.currentWeapon = int16_t(weapon);
}

void UpdateWeaponAim(int player)
{
    PlayerRecord& record = gPlayers[player];
    ObjNode* node = record.objNode;
    if (!node)
        return;
    Vector3D aim = AimDirection(node);

    // 1. What the ray from the player along the aim strikes first, among what can be aimed at.
    PickRay ray = {};
    ray.origin = node->Position;
    ray.direction = aim;
    Point3D hitPoint;
    Vector3D hitNormal;
    uint32_t statusMask = kAimStatusMask | (NODEBIT_CULLED_PANE0 << player);
    ObjNode* target =
        OGL_DoRayCollision(&ray, statusMask, OtherPlayerBit(player) | CTYPE_AIMABLE, &hitPoint, &hitNormal);
    record.aimTarget = target;
    record.aimTargetStamp = target ? target->Stamp : 0;

    // 2. The reticle points ahead; nearer with stereo so the eyes can fuse them.
    bool stereo = gPrefs.stereoMode != 0;
    float near = stereo ? 800.0f : 1000.0f;
    float far = stereo ? 500.0f : 5000.0f;
    const Point3D& p = node->Position;
    record.aimPoints[0] = {p.x + aim.x * near, p.y + aim.y * near, p.z + aim.z * near};
    const Point3D& a = record.aimPoints[0];
    record.aimPoints[1] = {a.x + aim.x * far, a.y + aim.y * far, a.z + aim.z * far};
}
