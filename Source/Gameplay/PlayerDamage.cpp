// What hurts the player: damage and death, crashes into hazards, the explosion, the shield bubble,
// weapon hits and the touch of the other player.

#include "Gameplay/Player.h"

#include "3D/TQ3D.h"
#include "Gameplay/Camera.h"
#include "Gameplay/Effects.h"
#include "Gameplay/Eggs.h"
#include "Gameplay/Weapons.h"
#include "Objects/Collision.h"
#include "Objects/DisplayGroups.h"
#include "Skeleton/Skeleton.h"
#include "Sound/GameSound.h"
#include "System/FrameRate.h"
#include "System/Input.h"
#include "System/LevelGlobals.h"
#include "System/Prefs.h"
#include "System/Random.h"

#include <algorithm>
#include <cmath>

static constexpr int kShieldModel = 5; // of the weapons model group
static constexpr int kShieldSlot = 2999;
static constexpr uint32_t kShieldCType = 0x10044;
static constexpr int kScreamWeapon = 3; // the only weapon that drains a shield

static bool IsInAnim(const ObjNode* node, int anim)
{
    return node->Skeleton && node->Skeleton->animNum == anim;
}

static void DropCarriedEgg(int player)
{
    if (gPlayers[player].carriedEgg && !gPrefs.easyMode) {
        DropEgg(player);
    }
}

void StartPlayerFlinch(int player)
{
    ObjNode* node = gPlayers[player].objNode;
    if (!node)
        return;
    DropCarriedEgg(player);
    if (!IsInAnim(node, PLAYER_ANIM_RECOVER) && node->Skeleton)
        MorphToSkeletonAnim(node->Skeleton, PLAYER_ANIM_RECOVER, 3);
}

// In battle mode a player out of lives decides the match.
static void CheckBattleDecided(int player)
{
    if (gPlayMode != kPlayMode_Battle || gPlayers[player].lives > 0)
        return;
    ShowWinLoseSprite(player, WINLOSE_LOSE);
    ShowWinLoseSprite(1 - player, WINLOSE_WIN);
    BeginLevelEnd(5);
}

bool DamagePlayer(int player, float amount, int deathKind, const Point3D* where, bool flinch)
{
    PlayerRecord& record = gPlayers[player];
    ObjNode* node = record.objNode;

    // 1. Untouchable, or already dead.
    if (record.invincibleTimer > 0)
        return false;
    if (record.health < 0)
        return true;

    // 2. Hurt but alive.
    record.health -= amount;
    if (record.health > 0) {
        if (flinch)
            StartPlayerFlinch(player);
        Rumble(0.6f, 0.6f, 200, player); // the body hit
        return false;
    }

    // 3. Dead: everything the player was doing stops.
    record.health = 0;
    StopWeaponCharge(player);
    record.jetOn = false;
    if (node)
        StopEffectChannelIfPlaying(&node->LoopChannel, EFFECT_JETPACKHUM);
    DropCarriedEgg(player);
    if (gPlayerDead[player])
        return true;
    gPlayerDead[player] = true;

    if (deathKind == PLAYER_DEATH_EXPLODE) {
        ExplodePlayer(player, where ? where : (node ? &node->Position : nullptr));
    } else if (node) {
        if (node->Skeleton)
            MorphToSkeletonAnim(node->Skeleton, PLAYER_ANIM_FALL, 3);
        record.invincibleTimer = 8;
        gRespawnTimer[player] = 8;
        gCameraOrbit[player] = true;
        PlayEffectAt(EFFECT_BODYHIT, &node->Position);
        Rumble(0.6f, 0.6f, 200, player);
    }

    CheckBattleDecided(player);
    return true;
}

void KillPlayer(int player, int deathKind, const Point3D* where)
{
    PlayerRecord& record = gPlayers[player];
    float savedTimer = record.invincibleTimer;
    record.invincibleTimer = 0; // immediate: a kill is not blocked by invincibility
    DamagePlayer(player, record.health + 1, deathKind, where, false);
    if (!gPlayerDead[player])
        record.invincibleTimer = savedTimer;
}

bool CrashPlayer(ObjNode* playerObj, ObjNode* hazard, int deathKind)
{
    int player = PlayerIndexOf(playerObj);
    if (deathKind == PLAYER_DEATH_FALL) {
        // Turn 20 degrees away from the side the hazard lies on.
        float facingX = std::sin(playerObj->Rotation.y);
        float facingZ = std::cos(playerObj->Rotation.y);
        float side = facingX * (hazard->Position.x - playerObj->Position.x) +
                     facingZ * (hazard->Position.z - playerObj->Position.z);
        playerObj->Rotation.y += side > 0 ? 0.34906587f : -0.34906587f;
        playerObj->Rotation.x *= 1 + 0.2f * RandomSigned();
        BurstSparks(&playerObj->Position, 200, 1, PARTICLE_SObjType_Sparks, 100, 1.0f);
    }
    if (gPlayers[player].invincibleTimer <= 0)
        KillPlayer(player, deathKind, &playerObj->Position);
    return true;
}

void ExplodePlayer(int player, const Point3D*)
{
    PlayerRecord& record = gPlayers[player];
    ObjNode* node = record.objNode;
    if (!node)
        return;
    MakeFireExplosion(&node->Position, 70, 400);
    MakeSmokeBurst(&node->Position, 30, 250);
    BurstSparks(&node->Position, 400, 1, PARTICLE_SObjType_Sparks, 100, 1.0f);
    for (ObjNode* part = node; part; part = part->ChainNext)
        part->StatusFlags |= NODEBIT_INVISIBLE | NODEBIT_FROZEN;
    node->CType = 0;
    float wait = record.lives > 0 || gPlayMode == kPlayMode_Race || gPlayMode == kPlayMode_CaptureTheFlag
                     ? 3.0f
                     : 6.0f;
    record.invincibleTimer = wait;
    gRespawnTimer[player] = wait;
    gPlayerDead[player] = true;
    gCameraOrbit[player] = false;
    PlayEffectAtRate(EFFECT_PLANECRASH, &node->Position, kNormalRate, 0.5f);
    Rumble(1.0f, 1.0f, 500, player);
}

// --- The shield ---

static bool ShieldBubbleHit(ObjNode* weapon, ObjNode* self, const Point3D*, const Vector3D*)
{
    ShieldHit(int(self->Variant), weapon->Damage, 1.0f, false);
    return true;
}

void MakeShieldBubble(int player)
{
    PlayerRecord& record = gPlayers[player];
    ObjNode* node = record.objNode;
    if (!node || record.shieldObj)
        return;
    ObjectDefinition def = {};
    def.artGroup = MODEL_GROUP_WEAPONS;
    def.artIndex = kShieldModel;
    def.position = node->Position;
    def.statusFlags = NODEBIT_TEXTURE_SCROLL | NODEBIT_ADDITIVE | NODEBIT_FOG_OFF | NODEBIT_DEPTH_WRITE_OFF |
                      NODEBIT_ROT_XZY | NODEBIT_SHOW_BACKFACES;
    def.slot = kShieldSlot;
    def.scale = node->BoundingRadius * 1.1f;
    def.drawProc = DrawWithScrolledSecondLayer;
    ObjNode* bubble = MakeNewDisplayGroupObject(&def);
    bubble->Variant = player;
    bubble->CType = kShieldCType;
    bubble->Tint.a = 0; // seen only while it flashes
    bubble->WeaponHitProc = ShieldBubbleHit;
    record.shieldObj = bubble;
}

void UpdateShieldBubble(int player)
{
    PlayerRecord& record = gPlayers[player];
    ObjNode* bubble = record.shieldObj;
    ObjNode* node = record.objNode;
    if (!bubble || !node)
        return;
    float dt = gFrameSeconds;
    bubble->Tint.a -= 3 * dt;
    if (bubble->Tint.a <= 0) {
        bubble->Tint.a = 0;
        if (record.shieldTimer <= 0) {
            DisposeObject(bubble);
            record.shieldObj = nullptr;
            return;
        }
    }
    SetNodeVisible(bubble, !(node->StatusFlags & NODEBIT_INVISIBLE));
    bubble->TextureOffset.u += 0.8f * dt;
    bubble->TextureOffset.v += 0.3f * dt;
    bubble->ExtraFloats[0] -= 0.4f * dt; // the second layer's offsets
    bubble->ExtraFloats[1] -= 0.5f * dt;
    bubble->Position = node->Position;
    bubble->Rotation = node->Rotation;
    RebuildNodeTransform(bubble);
}

void ShieldHit(int player, float amount, float flash, bool flinch)
{
    PlayerRecord& record = gPlayers[player];
    if (record.invincibleTimer > 0)
        return;
    record.shieldTimer = std::max(0.0f, record.shieldTimer - amount);
    if (record.shieldObj) {
        if (record.shieldObj->Tint.a < 0.2f) {
            if (record.objNode)
                PlayEffectAtRate(EFFECT_SHIELD, &record.objNode->Position, kNormalRate, 0.3f);
            Rumble(0.4f, 0.4f, 150, player);
        }
        record.shieldObj->Tint.a = flash;
    }
    if (flinch)
        StartPlayerFlinch(player);
}

bool PlayerHitByWeapon(ObjNode* weapon, ObjNode* self, const Point3D*, const Vector3D*)
{
    int player = PlayerIndexOf(self);
    if (gPlayers[player].shieldTimer <= 0)
        DamagePlayer(player, weapon->Damage, PLAYER_DEATH_FALL, nullptr, true);
    else if (weapon->Variant == kScreamWeapon)
        ShieldHit(player, weapon->Damage, 1.0f, false);
    return true;
}

void PlayBodyHit(int player, float volume)
{
    const ObjNode* node = gPlayers[player].objNode;
    if (node)
        PlayEffectAtRate(EFFECT_BODYHIT, &node->Position, kNormalRate, volume);
    RumbleForEffect(EFFECT_BODYHIT, player);
}

bool PlayerTouchesPlayer(ObjNode* self, ObjNode* other)
{
    if (other->Skeleton == nullptr || (other->CType & 0x3) == 0 || other == self)
        return false;
    int a = PlayerIndexOf(self);
    int b = PlayerIndexOf(other);
    if (gPlayers[a].invincibleTimer > 0 || gPlayers[b].invincibleTimer > 0)
        return true;
    PlayEffectAt(EFFECT_BODYHIT, &self->Position);
    float angle = std::acos(DotClamped(&self->MotionDir, &other->MotionDir));
    float damage = std::max(0.5f, angle / (PI / 2));
    bool aDead = DamagePlayer(a, damage, PLAYER_DEATH_FALL, nullptr, true);
    bool bDead = DamagePlayer(b, damage, PLAYER_DEATH_FALL, nullptr, true);
    gPlayers[a].invincibleTimer = 0.5f;
    gPlayers[b].invincibleTimer = 0.5f;
    if (gPlayMode == kPlayMode_Battle && aDead && bDead && gPlayers[a].lives <= 0 && gPlayers[b].lives <= 0) {
        ShowWinLoseSprite(0, WINLOSE_DRAW);
        ShowWinLoseSprite(1, WINLOSE_DRAW);
    }
    return true;
}
