// Weapons.h: the player's five weapons. Each player carries a stun gun (0), a flare gun (1), homing
// missiles (2), the sonic scream (3) and bombs (4), each with its own ammunition, and fires the selected
// one with the fire need. A shot is a node that moves itself and tests a line segment (the scream: a
// box) every frame; what it strikes decides the effect in its WeaponHitProc from the shot's Damage and
// Variant (the weapon number). Missiles and bombs end in a blast ring that hurts everything near it,
// the shooter included. Every frame an aim ray finds what each player points at; missiles lock on to
// it and the infobar draws the aim points.
#pragma once

#include <cstdint>

#include "3D/Math3D.h"

struct ObjNode;

enum
{
    WEAPON_STUN_GUN = 0,
    WEAPON_FLARE_GUN = 1,
    WEAPON_MISSILE = 2,
    WEAPON_SONIC_SCREAM = 3,
    WEAPON_BOMB = 4,
    NUM_WEAPONS = 5
};

constexpr int16_t MAX_WEAPON_AMMO = 999;
// The jet pack's two muzzles, player-local, left then right; a sparkle on each flashes when it fires.
constexpr Point3D PLAYER_MUZZLE_POINTS[2] = {{15, 14, -17}, {-15, 14, -17}};
constexpr uint32_t CTYPE_SHOT = 0x400;
constexpr uint32_t CTYPE_AIMABLE = 0x40000; // what the aim ray and a missile's lock look for

// Slots of the weapon nodes.
constexpr uint16_t STUN_SHOT_SLOT = 2951;
constexpr uint16_t FLARE_SLOT = 628;
constexpr uint16_t MISSILE_SLOT = 150;
constexpr uint16_t BOMB_SLOT = 150;
constexpr uint16_t SONIC_SCREAM_SLOT = 3010;
constexpr uint16_t BLAST_RING_SLOT = 3040;

// --- Firing and choosing (WeaponFire.cpp) ---

// The fire need held (newlyPressed false) or newly pressed (true): fires the current weapon when its
// rhythm allows, or charges the sonic scream.
void FireWeapon(int player, bool newlyPressed);
void ReleaseWeapon(int player); // the fire need released: lets the charged scream go
// The next weapon with ammunition in direction step (+1 / -1). An automatic change (manual false,
// when a weapon runs dry) skips the scream unless nothing else has any ammunition.
void SelectWeapon(int player, bool manual, int step);
void SelectNextWeapon(int player);     // the next-weapon need
void SelectPreviousWeapon(int player); // the previous-weapon need
// Adds rounds of a weapon (a pick-up), at most 999; a player without a weapon takes this one.
void GiveWeaponAmmo(int player, int weapon, int rounds);
void StopWeaponCharge(int player); // the charge and its sound end (death, level end)
void ResetFireRepeat(int player);  // the fire need is up: the next stun press fires at once
// Every frame from the player update: the aim target under the aim ray and the two aim points.
void UpdateWeaponAim(int player);
// Collision masks: the other player's CType bit joined to the shots' world mask.
uint32_t OtherPlayerBit(int shooter);

// --- Shots (Shots.cpp, ShotsBlast.cpp) ---

// The shots of weapons 0, 1, 2 and 4 from the player's muzzle along the aim direction.
ObjNode* FireStunShot(int player, const Point3D* muzzle, const Vector3D* aim);
ObjNode* FireFlare(int player, const Point3D* muzzle, const Vector3D* aim);
ObjNode* FireMissile(int player, const Point3D* muzzle, const Vector3D* aim);
ObjNode* DropBomb(int player, const Point3D* muzzle, const Vector3D* aim);
// The invisible scream box from the player's head, damaging with the charge (0.3..1).
ObjNode* LaunchSonicScream(int player, float charge);
// The damaging ring at a missile or bomb explosion; tinted (r, g, b) when additive, plain otherwise.
ObjNode* MakeBlastRing(const Point3D* point);
